#include "geo/Location.h"

#include <cmath>

namespace geo {

void Location::Set(const DPoint3D& pos, const Quaternion<float>& orientation, float scale) {
  m_mat = FMat33::FromQuaternion(orientation) * scale;
  m_pos = pos;
}

void Location::Get(DPoint3D& pos, Quaternion<float>& orientation, float& scale) const {
  pos = m_pos;
  scale = m_mat.GetUniformScale();
  if (scale == 0.0f) {
    orientation = Quaternion<float>();
    return;
  }
  orientation = (m_mat * (1.0f / scale)).ToQuaternion();
}

Location Location::operator*(const Location& other) const {
  const DVec3 moved = DMat33(m_mat) * DVec3(other.m_pos.x, other.m_pos.y, other.m_pos.z);
  return Location(m_mat * other.m_mat, DPoint3D(moved.x + m_pos.x, moved.y + m_pos.y, moved.z + m_pos.z));
}

Location::Location(const DMat44& xform) {
  DMat33 mat;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      mat.m[r][c] = xform.m[r][c];
    }
  }
  m_mat = mat.ToFMat33();
  m_pos = DPoint3D(xform.m[0][3], xform.m[1][3], xform.m[2][3]);
}

DMat44 Location::GetXform() const {
  DMat44 xform;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      xform.m[r][c] = m_mat.m[r][c];
    }
  }
  xform.m[0][3] = m_pos.x;
  xform.m[1][3] = m_pos.y;
  xform.m[2][3] = m_pos.z;
  return xform;
}

Location Location::operator*(const DMat33& m) const {
  return Location((DMat33(m_mat) * m).ToFMat33(), m_pos);
}

Location operator*(const DMat33& m, const Location& location) {
  const DPoint3D& p = location.GetPos();
  const DVec3 moved = m * DVec3(p.x, p.y, p.z);
  return Location((m * DMat33(location.GetMat())).ToFMat33(), DPoint3D(moved.x, moved.y, moved.z));
}

Location Location::Inverse() const {
  const FMat33 inverse = m_mat.Inverse();
  const DVec3 back = DMat33(inverse) * DVec3(-m_pos.x, -m_pos.y, -m_pos.z);
  return Location(inverse, DPoint3D(back.x, back.y, back.z));
}

DPoint3D Location::Transform(const DPoint3D& p) const {
  const DVec3 v = DMat33(m_mat) * DVec3(p.x, p.y, p.z);
  return {v.x + m_pos.x, v.y + m_pos.y, v.z + m_pos.z};
}

DVec3 Location::TransformVector(const DVec3& v) const {
  return DMat33(m_mat) * v;
}

bool Location::IsApproximately(const Location& other, double tolerance) const {
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      if (std::fabs(m_mat.m[r][c] - other.m_mat.m[r][c]) > tolerance) {
        return false;
      }
    }
  }
  return std::fabs(m_pos.x - other.m_pos.x) <= tolerance && std::fabs(m_pos.y - other.m_pos.y) <= tolerance &&
         std::fabs(m_pos.z - other.m_pos.z) <= tolerance;
}

}  // namespace geo
