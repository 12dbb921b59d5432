// A 4 by 4 float matrix (row-major): the homogeneous form of a 3 by 3 matrix, used to
// compose a matrix with per-axis scales.
#pragma once

#include "orrinsymbols/geo/FMat33.h"

namespace geo {

struct FMat44 {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  constexpr FMat44() = default;
  // The 3 by 3 matrix in the upper left, no translation.
  explicit FMat44(const FMat33& f) {
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        m[r][c] = f.m[r][c];
      }
    }
  }

  // Scales x, y and z by sx, sy and sz.
  [[nodiscard]] static FMat44 Scale(float sx, float sy, float sz) {
    FMat44 s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    s.m[2][2] = sz;
    return s;
  }

  [[nodiscard]] FMat44 operator*(const FMat44& o) const {
    FMat44 r;
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) {
        float sum = 0;
        for (int k = 0; k < 4; ++k) {
          sum += m[i][k] * o.m[k][j];
        }
        r.m[i][j] = sum;
      }
    }
    return r;
  }

  // The upper-left 3 by 3 part.
  [[nodiscard]] FMat33 GetMat33() const {
    FMat33 f;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        f.m[r][c] = m[r][c];
      }
    }
    return f;
  }
};

}  // namespace geo
