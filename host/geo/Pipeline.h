// A drawing pipeline: the current transformation matrix from model coordinates to
// device pixels, with a stack to save and restore it, and the device resolution.
#pragma once

#include <vector>

#include "orrinsymbols/geo/DMat44.h"
#include "orrinsymbols/geo/DPoint3D.h"

namespace geo {

class Pipeline {
 public:
  Pipeline() = default;
  virtual ~Pipeline() = default;

  [[nodiscard]] const DMat44& GetCurrentMatrix() const { return m_current; }
  void SetCurrentMatrix(const DMat44& matrix) { m_current = matrix; }
  // Applies matrix before the current one (model-side).
  void Concat(const DMat44& matrix) { m_current = m_current * matrix; }
  void Push() { m_saved.push_back(m_current); }
  // False when nothing was pushed.
  bool Pop();

  // A model point in device pixels.
  [[nodiscard]] DPoint3D Transform(const DPoint3D& point) const { return m_current.Transform(point); }

  // Device dots per inch; drawing contexts size their strokes and texts from it.
  [[nodiscard]] float GetResolution() const { return m_resolution; }
  void SetResolution(float dotsPerInch) { m_resolution = dotsPerInch; }

 private:
  DMat44 m_current;
  std::vector<DMat44> m_saved;
  float m_resolution = 96.0f;
};

}  // namespace geo
