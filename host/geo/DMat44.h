// A 4 by 4 double matrix (row-major), for hosts that hand transforms over as matrices,
// and for projections: points are columns (x, y, z, 1) multiplied from the right.
#pragma once

#include "geo/DPoint3D.h"
#include "geo/Location.h"

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

  // The placement as a matrix: its 3 by 3 part and its translation in the last column.
  [[nodiscard]] static DMat44 FromLocation(const Location& location) {
    DMat44 r;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        r.m[i][j] = location.GetMat().m[i][j];
      }
    }
    r.m[0][3] = location.GetPos().x;
    r.m[1][3] = location.GetPos().y;
    r.m[2][3] = location.GetPos().z;
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
};

}  // namespace geo
