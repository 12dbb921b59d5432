// An axis-aligned box in doubles; empty until a point is added.
#pragma once

#include <algorithm>

#include "geo/DPoint3D.h"

namespace geo {

struct DBox {
  DPoint3D min{1, 1, 1};
  DPoint3D max{-1, -1, -1};

  [[nodiscard]] bool IsEmpty() const { return min.x > max.x; }
  void Add(const DPoint3D& p) {
    if (IsEmpty()) {
      min = max = p;
      return;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
  }
  [[nodiscard]] DPoint3D Center() const { return {(min.x + max.x) / 2, (min.y + max.y) / 2, (min.z + max.z) / 2}; }
};

}  // namespace geo
