// A displacement in model space, in doubles, with the point arithmetic it takes part in.
#pragma once

#include <cmath>
#include <limits>

#include "orrinsymbols/geo/DPoint3D.h"

namespace geo {

struct DVec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  constexpr DVec3() = default;
  constexpr DVec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

  static const DVec3 BAD;
  static const DVec3 ZERO;

  // The BAD marker, or a vector that is not finite.
  [[nodiscard]] bool IsBad() const {
    return x == std::numeric_limits<double>::max() || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z);
  }
  [[nodiscard]] double Length() const { return std::sqrt(x * x + y * y + z * z); }
  constexpr DVec3 operator+(const DVec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
  constexpr DVec3 operator-(const DVec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
  constexpr DVec3 operator*(double s) const { return {x * s, y * s, z * s}; }
  constexpr bool operator==(const DVec3&) const = default;
};

inline constexpr DVec3 DVec3::BAD{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::max()};
inline constexpr DVec3 DVec3::ZERO{0.0, 0.0, 0.0};

// The way from b to a; BAD when either point is unset.
constexpr DVec3 operator-(const DPoint3D& a, const DPoint3D& b) {
  if (a.IsBad() || b.IsBad()) {
    return DVec3::BAD;
  }
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr DPoint3D operator+(const DPoint3D& p, const DVec3& v) {
  return {p.x + v.x, p.y + v.y, p.z + v.z};
}
constexpr DPoint3D operator-(const DPoint3D& p, const DVec3& v) {
  return {p.x - v.x, p.y - v.y, p.z - v.z};
}
constexpr double Dot(const DVec3& a, const DVec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
constexpr DVec3 Cross(const DVec3& a, const DVec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// The vector scaled to length 1; the vector itself when it has no length.
inline DVec3 Normalized(const DVec3& v) {
  const double length = v.Length();
  return length == 0.0 ? v : v * (1.0 / length);
}

}  // namespace geo
