// A 4 by 4 double matrix (row-major), for hosts that hand transforms over as matrices.
#pragma once

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
};

}  // namespace geo
