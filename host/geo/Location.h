// A placement: a 3 by 3 float matrix (orientation times uniform scale) and a double
// translation. A point p maps to mat * p + pos.
#pragma once

#include "orrinsymbols/geo/DMat33.h"
#include "orrinsymbols/geo/DMat44.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/FMat33.h"
#include "orrinsymbols/geo/Quaternion.h"

namespace geo {

class Location {
 public:
  // The default location is the identity.
  constexpr Location() = default;
  constexpr Location(const FMat33& mat, const DPoint3D& pos) : m_mat(mat), m_pos(pos) {}
  // From a 4 by 4 affine transform: its upper-left 3 by 3 part and its last column.
  explicit Location(const DMat44& xform);

  static const Location IDENTITY;
  static const Location ZERO;

  void Set(const DPoint3D& pos, const Quaternion<float>& orientation, float scale);
  // Splits into translation, rotation and uniform scale.
  void Get(DPoint3D& pos, Quaternion<float>& orientation, float& scale) const;

  void SetPos(const DPoint3D& pos) { m_pos = pos; }
  void SetMat(const FMat33& mat) { m_mat = mat; }
  [[nodiscard]] const DPoint3D& GetPos() const { return m_pos; }
  [[nodiscard]] const FMat33& GetMat() const { return m_mat; }

  // Composition: (a * b) applies b first, then a.
  [[nodiscard]] Location operator*(const Location& other) const;
  Location& operator*=(const Location& other) { return *this = *this * other; }
  [[nodiscard]] Location Inverse() const;
  // The 4 by 4 affine transform of this location (translation in the last column).
  [[nodiscard]] DMat44 GetXform() const;
  // This location followed by nothing but the linear map m applied first: the matrix
  // becomes mat * m, the translation stays.
  [[nodiscard]] Location operator*(const DMat33& m) const;
  [[nodiscard]] DPoint3D Transform(const DPoint3D& p) const;
  [[nodiscard]] DVec3 TransformVector(const DVec3& v) const;

  [[nodiscard]] bool IsApproximately(const Location& other, double tolerance = 1e-5) const;
  bool operator==(const Location& other) const { return m_mat == other.m_mat && m_pos == other.m_pos; }

 private:
  FMat33 m_mat = FMat33::IDENTITY;
  DPoint3D m_pos = DPoint3D::ORIGIN;
};

// The linear map m applied after location: matrix m * mat, translation m * pos.
[[nodiscard]] Location operator*(const DMat33& m, const Location& location);

inline constexpr Location Location::IDENTITY{FMat33::IDENTITY, DPoint3D::ORIGIN};
inline constexpr Location Location::ZERO{FMat33::ZERO, DPoint3D::ORIGIN};

}  // namespace geo
