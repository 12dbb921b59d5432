// A point in model space, in doubles. BAD marks a point that was never set.
#pragma once

#include <limits>

namespace geo {

struct DVec3;

struct DPoint3D {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  constexpr DPoint3D() = default;
  constexpr DPoint3D(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}

  static const DPoint3D BAD;
  static const DPoint3D ORIGIN;

  [[nodiscard]] constexpr bool IsBad() const { return x == std::numeric_limits<double>::max(); }
  constexpr bool operator==(const DPoint3D&) const = default;
};

inline constexpr DPoint3D DPoint3D::BAD{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                                        std::numeric_limits<double>::max()};
inline constexpr DPoint3D DPoint3D::ORIGIN{0.0, 0.0, 0.0};

}  // namespace geo
