// A 2D drawing context: what markups draw their primitives for. It carries the device
// resolution, horizontal and vertical, in whole dots per inch.
#pragma once

#include "orrinsymbols/util/RefCounted.h"

namespace oxcontext {

class Context2D : public util::RefCounted {
 public:
  Context2D() = default;

  void SetResolution(int horizontal, int vertical) {
    m_horizontal = horizontal;
    m_vertical = vertical;
  }
  [[nodiscard]] int GetHorizontalResolution() const { return m_horizontal; }
  [[nodiscard]] int GetVerticalResolution() const { return m_vertical; }

 protected:
  ~Context2D() override = default;

 private:
  int m_horizontal = 96;
  int m_vertical = 96;
};

}  // namespace oxcontext
