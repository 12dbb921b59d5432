// A rotation as a unit quaternion (x, y, z, w); identity is (0, 0, 0, 1).
#pragma once

#include <cmath>

namespace geo {

template <class T>
struct Quaternion {
  T x = 0;
  T y = 0;
  T z = 0;
  T w = 1;

  constexpr Quaternion() = default;
  constexpr Quaternion(T x_, T y_, T z_, T w_) : x(x_), y(y_), z(z_), w(w_) {}

  // Rotation by angle (radians) about a unit axis.
  static Quaternion FromAxisAngle(T ax, T ay, T az, T angle) {
    const T half = angle / 2;
    const T s = std::sin(half);
    return {ax * s, ay * s, az * s, std::cos(half)};
  }

  [[nodiscard]] T Norm() const { return std::sqrt(x * x + y * y + z * z + w * w); }
  [[nodiscard]] Quaternion Normalized() const {
    const T n = Norm();
    if (n == 0) {
      return Quaternion();
    }
    return {x / n, y / n, z / n, w / n};
  }
  constexpr bool operator==(const Quaternion&) const = default;
};

}  // namespace geo
