// Numeric tolerances per scalar type.
#pragma once

namespace geo {

template <class T>
struct Traits;

template <>
struct Traits<float> {
  static constexpr float s_EPSILON = 1e-5f;
};

template <>
struct Traits<double> {
  static constexpr double s_EPSILON = 1e-9;
};

}  // namespace geo
