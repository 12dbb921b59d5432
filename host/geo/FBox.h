// An axis-aligned box in floats (shape-local bounds); EMPTY until a point is enclosed.
#pragma once

#include <algorithm>

namespace geo {

struct FBox {
  float min[3] = {1, 1, 1};
  float max[3] = {-1, -1, -1};

  static const FBox EMPTY;

  [[nodiscard]] constexpr bool IsEmpty() const { return min[0] > max[0] || min[1] > max[1] || min[2] > max[2]; }
  void Enclose(float x, float y, float z) {
    if (IsEmpty()) {
      min[0] = max[0] = x, min[1] = max[1] = y, min[2] = max[2] = z;
      return;
    }
    const float p[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
      min[i] = std::min(min[i], p[i]);
      max[i] = std::max(max[i], p[i]);
    }
  }
  void Enclose(const FBox& other) {
    if (other.IsEmpty()) {
      return;
    }
    Enclose(other.min[0], other.min[1], other.min[2]);
    Enclose(other.max[0], other.max[1], other.max[2]);
  }
  // The centre as x, y, z.
  void GetCenter(float center[3]) const {
    for (int i = 0; i < 3; ++i) {
      center[i] = (min[i] + max[i]) / 2;
    }
  }
};

inline constexpr FBox FBox::EMPTY{};

}  // namespace geo
