// A 3 by 3 double matrix (row-major).
#pragma once

#include "geo/DVec3.h"
#include "geo/FMat33.h"

namespace geo {

struct DMat33 {
  double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

  constexpr DMat33() = default;
  explicit DMat33(const FMat33& f) {
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        m[r][c] = f.m[r][c];
      }
    }
  }
  [[nodiscard]] DVec3 operator*(const DVec3& v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
  }
};

}  // namespace geo
