// An axis-aligned box in floats (shape-local bounds); EMPTY until a point is enclosed.
#pragma once

#include <algorithm>

#include "orrinsymbols/geo/DBox.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/Location.h"

namespace geo {

struct FBox {
  float min[3] = {1, 1, 1};
  float max[3] = {-1, -1, -1};

  static const FBox EMPTY;

  // The float box around a double box (EMPTY stays EMPTY).
  [[nodiscard]] static FBox FromDBox(const DBox& box) {
    FBox out;
    if (box.IsEmpty()) {
      return out;
    }
    out.Enclose(static_cast<float>(box.min.x), static_cast<float>(box.min.y), static_cast<float>(box.min.z));
    out.Enclose(static_cast<float>(box.max.x), static_cast<float>(box.max.y), static_cast<float>(box.max.z));
    return out;
  }

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
  [[nodiscard]] DPoint3D GetCenter() const {
    return {(static_cast<double>(min[0]) + max[0]) / 2, (static_cast<double>(min[1]) + max[1]) / 2,
            (static_cast<double>(min[2]) + max[2]) / 2};
  }
  // The axis-aligned box around this box's eight corners placed by location; EMPTY stays
  // EMPTY.
  [[nodiscard]] FBox Transformed(const Location& location) const {
    FBox out;
    if (IsEmpty()) {
      return out;
    }
    for (int corner = 0; corner < 8; ++corner) {
      const DPoint3D p = location.Transform(
          DPoint3D((corner & 1) ? max[0] : min[0], (corner & 2) ? max[1] : min[1], (corner & 4) ? max[2] : min[2]));
      out.Enclose(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    }
    return out;
  }
};

inline constexpr FBox FBox::EMPTY{};

}  // namespace geo
