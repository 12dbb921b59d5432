#include "geo/FMat33.h"

namespace geo {

FMat33 FMat33::Inverse() const {
  const float det = Determinant();
  if (det == 0.0f) {
    return ZERO;
  }
  const float inv = 1.0f / det;
  FMat33 r;
  r.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) * inv;
  r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * inv;
  r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * inv;
  r.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) * inv;
  r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * inv;
  r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * inv;
  r.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) * inv;
  r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * inv;
  r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * inv;
  return r;
}

FMat33 FMat33::FromQuaternion(const Quaternion<float>& q0) {
  const Quaternion<float> q = q0.Normalized();
  const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
  return FMat33(1 - 2 * (yy + zz), 2 * (xy - wz), 2 * (xz + wy),  //
                2 * (xy + wz), 1 - 2 * (xx + zz), 2 * (yz - wx),  //
                2 * (xz - wy), 2 * (yz + wx), 1 - 2 * (xx + yy));
}

Quaternion<float> FMat33::ToQuaternion() const {
  const float trace = m[0][0] + m[1][1] + m[2][2];
  Quaternion<float> q;
  if (trace > 0) {
    const float s = std::sqrt(trace + 1.0f) * 2;
    q = {(m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s, 0.25f * s};
  } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
    const float s = std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]) * 2;
    q = {0.25f * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[2][1] - m[1][2]) / s};
  } else if (m[1][1] > m[2][2]) {
    const float s = std::sqrt(1.0f + m[1][1] - m[0][0] - m[2][2]) * 2;
    q = {(m[0][1] + m[1][0]) / s, 0.25f * s, (m[1][2] + m[2][1]) / s, (m[0][2] - m[2][0]) / s};
  } else {
    const float s = std::sqrt(1.0f + m[2][2] - m[0][0] - m[1][1]) * 2;
    q = {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25f * s, (m[1][0] - m[0][1]) / s};
  }
  q = q.Normalized();
  // One sign for one rotation, so decompositions compare equal.
  if (q.w < 0) {
    q = {-q.x, -q.y, -q.z, -q.w};
  }
  return q;
}

}  // namespace geo
