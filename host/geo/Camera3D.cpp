#include "geo/Camera3D.h"

#include <algorithm>
#include <cmath>

namespace geo {
namespace {

DVec3 Column(const FMat33& m, int c) {
  return Normalized(DVec3(m.m[0][c], m.m[1][c], m.m[2][c]));
}

// One row of the view transform: the axis and its translation term for the eye.
void SetRow(DMat44& r, int row, const DVec3& axis, const DPoint3D& eye, double factor) {
  r.m[row][0] = axis.x * factor;
  r.m[row][1] = axis.y * factor;
  r.m[row][2] = axis.z * factor;
  r.m[row][3] = -Dot(axis, DVec3(eye.x, eye.y, eye.z)) * factor;
}

}  // namespace

void Camera3D::SetViewport(int width, int height) {
  m_viewportWidth = std::max(width, 1);
  m_viewportHeight = std::max(height, 1);
}

DVec3 Camera3D::GetU() const {
  return Column(m_location.GetMat(), 0);
}

DVec3 Camera3D::GetV() const {
  return Column(m_location.GetMat(), 1);
}

DVec3 Camera3D::GetW() const {
  return Column(m_location.GetMat(), 2);
}

double Camera3D::PixelScale() const {
  const double half = m_viewportWidth / 2.0;
  if (m_orthographic) {
    return m_value > 0.0 ? m_viewportWidth / m_value : 1.0;
  }
  const double tangent = std::tan(m_value / 2.0);
  return tangent > 0.0 ? half / tangent : half;
}

DMat44 Camera3D::GetWorldToScreenMatrix() const {
  const DPoint3D eye = GetEye();
  const DVec3 u = GetU(), v = GetV(), w = GetW();
  const double s = PixelScale();
  const double cx = m_viewportWidth / 2.0, cy = m_viewportHeight / 2.0;
  DMat44 r;
  if (m_orthographic) {
    SetRow(r, 0, u, eye, s);
    SetRow(r, 1, v, eye, -s);
    SetRow(r, 2, w, eye, -1.0);
    r.m[0][3] += cx;
    r.m[1][3] += cy;
    r.m[3][0] = r.m[3][1] = r.m[3][2] = 0.0;
    r.m[3][3] = 1.0;
    return r;
  }
  // Homogeneous coordinate: the depth in front of the camera, -w . (p - eye).
  SetRow(r, 3, w, eye, -1.0);
  SetRow(r, 0, u, eye, s);
  SetRow(r, 1, v, eye, -s);
  for (int j = 0; j < 4; ++j) {
    r.m[0][j] += cx * r.m[3][j];
    r.m[1][j] += cy * r.m[3][j];
    r.m[2][j] = r.m[3][j];
  }
  return r;
}

bool Camera3D::WorldToScreen(const DPoint3D& point, double& sx, double& sy) const {
  const DMat44 m = GetWorldToScreenMatrix();
  if (!m_orthographic && m.TransformW(point) <= 0.0) {
    return false;
  }
  const DPoint3D screen = m.Transform(point);
  sx = screen.x;
  sy = screen.y;
  return true;
}

DRay Camera3D::ScreenXYToNormalizedRay(double sx, double sy) const {
  const DPoint3D eye = GetEye();
  const DVec3 u = GetU(), v = GetV(), w = GetW();
  const double s = PixelScale();
  const double dx = (sx - m_viewportWidth / 2.0) / s;
  const double dy = -(sy - m_viewportHeight / 2.0) / s;
  if (m_orthographic) {
    return DRay(eye + u * dx + v * dy, w * -1.0);
  }
  return DRay(eye, Normalized(u * dx + v * dy - w));
}

}  // namespace geo
