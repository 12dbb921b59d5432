// A 4 by 4 double matrix (row-major), for hosts that hand transforms over as matrices,
// and for projections: points are columns (x, y, z, 1) multiplied from the right. An
// affine transform keeps its translation in the last column (Location::GetXform makes one).
#pragma once

#include <cmath>
#include <utility>

#include "orrinsymbols/geo/DPoint3D.h"

namespace geo {

struct DMat44 {
  double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  [[nodiscard]] DMat44 operator*(const DMat44& o) const {
    DMat44 r;
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) {
        double sum = 0;
        for (int k = 0; k < 4; ++k) {
          sum += m[i][k] * o.m[k][j];
        }
        r.m[i][j] = sum;
      }
    }
    return r;
  }

  // The point mapped and divided by its homogeneous coordinate (when that is not 0).
  [[nodiscard]] DPoint3D Transform(const DPoint3D& p) const {
    double out[4];
    for (int i = 0; i < 4; ++i) {
      out[i] = m[i][0] * p.x + m[i][1] * p.y + m[i][2] * p.z + m[i][3];
    }
    if (out[3] != 0.0 && out[3] != 1.0) {
      return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
    }
    return {out[0], out[1], out[2]};
  }
  // The homogeneous coordinate the point maps to (1 for affine matrices).
  [[nodiscard]] double TransformW(const DPoint3D& p) const {
    return m[3][0] * p.x + m[3][1] * p.y + m[3][2] * p.z + m[3][3];
  }

  // Inverts in place by Gauss-Jordan elimination with partial pivoting; false (matrix
  // unchanged) when it is singular.
  bool Invert() {
    double a[4][4];
    double inv[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) {
        a[r][c] = m[r][c];
      }
    }
    for (int col = 0; col < 4; ++col) {
      int pivot = col;
      for (int r = col + 1; r < 4; ++r) {
        if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
          pivot = r;
        }
      }
      if (a[pivot][col] == 0.0) {
        return false;
      }
      if (pivot != col) {
        for (int c = 0; c < 4; ++c) {
          std::swap(a[pivot][c], a[col][c]);
          std::swap(inv[pivot][c], inv[col][c]);
        }
      }
      const double scale = 1.0 / a[col][col];
      for (int c = 0; c < 4; ++c) {
        a[col][c] *= scale;
        inv[col][c] *= scale;
      }
      for (int r = 0; r < 4; ++r) {
        if (r == col || a[r][col] == 0.0) {
          continue;
        }
        const double factor = a[r][col];
        for (int c = 0; c < 4; ++c) {
          a[r][c] -= factor * a[col][c];
          inv[r][c] -= factor * inv[col][c];
        }
      }
    }
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) {
        m[r][c] = inv[r][c];
      }
    }
    return true;
  }
};

}  // namespace geo
