// An axis-aligned box in doubles; EMPTY until a point is enclosed.
#pragma once

#include <algorithm>

#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/Location.h"

namespace geo {

struct DBox {
  DPoint3D min{1, 1, 1};
  DPoint3D max{-1, -1, -1};

  static const DBox EMPTY;

  [[nodiscard]] constexpr bool IsEmpty() const { return min.x > max.x || min.y > max.y || min.z > max.z; }
  void Enclose(const DPoint3D& p) {
    if (IsEmpty()) {
      min = max = p;
      return;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
  }
  void Enclose(const DBox& other) {
    if (other.IsEmpty()) {
      return;
    }
    Enclose(other.min);
    Enclose(other.max);
  }
  [[nodiscard]] DPoint3D GetCenter() const { return {(min.x + max.x) / 2, (min.y + max.y) / 2, (min.z + max.z) / 2}; }
  // The axis-aligned box around this box's eight corners placed by location; EMPTY stays
  // EMPTY.
  // Corner i of eight: x from bit 1, y from bit 2, z from bit 4 (set: the max side).
  [[nodiscard]] constexpr DPoint3D Corner(int i) const {
    return {(i & 1) ? max.x : min.x, (i & 2) ? max.y : min.y, (i & 4) ? max.z : min.z};
  }
  [[nodiscard]] DBox Transformed(const Location& location) const {
    DBox out;
    if (IsEmpty()) {
      return out;
    }
    for (int corner = 0; corner < 8; ++corner) {
      out.Enclose(location.Transform(Corner(corner)));
    }
    return out;
  }
};

inline constexpr DBox DBox::EMPTY{};

}  // namespace geo
