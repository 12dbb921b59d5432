// An axis-aligned box in floats (shape-local bounds); empty until a point is added.
#pragma once

#include <algorithm>

namespace geo {

struct FBox {
  float min[3] = {1, 1, 1};
  float max[3] = {-1, -1, -1};

  [[nodiscard]] bool IsEmpty() const { return min[0] > max[0]; }
  void Add(float x, float y, float z) {
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
};

}  // namespace geo
