// A 3 by 3 float matrix (row-major), the orientation and scale part of a Location.
#pragma once

#include <cmath>

#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/Quaternion.h"

namespace geo {

struct FMat33 {
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

  constexpr FMat33() = default;
  constexpr FMat33(float a, float b, float c, float d, float e, float f, float g, float h, float i)
      : m{{a, b, c}, {d, e, f}, {g, h, i}} {}

  static const FMat33 IDENTITY;
  static const FMat33 ZERO;

  [[nodiscard]] constexpr float Get(int row, int column) const { return m[row][column]; }
  constexpr void Set(int row, int column, float value) { m[row][column] = value; }

  // Scale along each axis: the lengths of the columns.
  [[nodiscard]] DVec3 GetScale() const {
    auto column = [&](int c) {
      return std::sqrt(double(m[0][c]) * m[0][c] + double(m[1][c]) * m[1][c] + double(m[2][c]) * m[2][c]);
    };
    return {column(0), column(1), column(2)};
  }
  // One scale for the whole matrix: the cube root of the determinant's magnitude.
  [[nodiscard]] float GetUniformScale() const { return std::cbrt(std::fabs(Determinant())); }
  // The matrix with each column divided by its length (no change for a zero column).
  [[nodiscard]] FMat33 WithoutScale() const {
    const DVec3 s = GetScale();
    const double scales[3] = {s.x, s.y, s.z};
    FMat33 r = *this;
    for (int c = 0; c < 3; ++c) {
      if (scales[c] == 0.0) {
        continue;
      }
      for (int row = 0; row < 3; ++row) {
        r.m[row][c] = static_cast<float>(r.m[row][c] / scales[c]);
      }
    }
    return r;
  }
  [[nodiscard]] constexpr float Determinant() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  }
  [[nodiscard]] FMat33 Transposed() const {
    FMat33 t;
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        t.m[r][c] = m[c][r];
      }
    }
    return t;
  }
  // General inverse; the zero matrix when singular.
  [[nodiscard]] FMat33 Inverse() const;
  [[nodiscard]] FMat33 operator*(const FMat33& o) const {
    FMat33 r = ZERO;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        float sum = 0;
        for (int k = 0; k < 3; ++k) {
          sum += m[i][k] * o.m[k][j];
        }
        r.m[i][j] = sum;
      }
    }
    return r;
  }
  [[nodiscard]] FMat33 operator*(float s) const {
    FMat33 r = *this;
    for (auto& row : r.m) {
      for (float& v : row) {
        v *= s;
      }
    }
    return r;
  }

  static FMat33 FromQuaternion(const Quaternion<float>& q);
  // The rotation of a matrix that is a pure rotation (scale removed beforehand).
  [[nodiscard]] Quaternion<float> ToQuaternion() const;

  bool operator==(const FMat33& o) const {
    for (int r = 0; r < 3; ++r) {
      for (int c = 0; c < 3; ++c) {
        if (m[r][c] != o.m[r][c]) {
          return false;
        }
      }
    }
    return true;
  }
};

inline constexpr FMat33 FMat33::IDENTITY{1, 0, 0, 0, 1, 0, 0, 0, 1};
inline constexpr FMat33 FMat33::ZERO{0, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace geo
