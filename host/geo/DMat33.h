// A 3 by 3 double matrix (row-major).
#pragma once

#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/FMat33.h"

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
  [[nodiscard]] DMat33 operator*(const DMat33& o) const {
    DMat33 r;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
      }
    }
    return r;
  }
  [[nodiscard]] double Determinant() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  }
  // Inverts in place; false (matrix unchanged) when it is singular.
  bool Invert() {
    const double det = Determinant();
    if (det == 0.0) {
      return false;
    }
    const double inv = 1.0 / det;
    DMat33 r;
    r.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) * inv;
    r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * inv;
    r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * inv;
    r.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) * inv;
    r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * inv;
    r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * inv;
    r.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) * inv;
    r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * inv;
    r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * inv;
    *this = r;
    return true;
  }
  [[nodiscard]] FMat33 ToFMat33() const {
    FMat33 f;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        f.m[r][c] = static_cast<float>(m[r][c]);
      }
    }
    return f;
  }
};

}  // namespace geo
