#include "ViewProjection.h"

#include <cmath>

namespace symbols_tool {

namespace {

// Page units per world unit (orthographic) or the focal length in page units, as the
// camera itself projects.
double PixelScale(const geo::Camera3D& camera) {
  const double half = camera.GetViewportWidth() / 2.0;
  if (camera.IsOrthographic()) {
    const double width = camera.GetOrthographicWidth();
    return width > 0.0 ? camera.GetViewportWidth() / width : 1.0;
  }
  const double tangent = std::tan(camera.GetPerspectiveHFOV() / 2.0);
  return tangent > 0.0 ? half / tangent : half;
}

}  // namespace

ViewProjection::ViewProjection(const geo::Camera3D& camera)
    : m_toScreen(camera.GetWorldToScreenMatrix()),
      m_orthographic(camera.IsOrthographic()),
      m_width(camera.GetViewportWidth()),
      m_height(camera.GetViewportHeight()),
      m_pixelScale(PixelScale(camera)) {}

bool ViewProjection::Project(const geo::DPoint3D& point, PagePoint& out) const {
  if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) {
    return false;
  }
  const double depth = m_toScreen.TransformW(point);
  if (!m_orthographic && !(depth > 0.0)) {
    return false;
  }
  const geo::DPoint3D screen = m_toScreen.Transform(point);
  // Orthographic: the third row is the depth in front of the camera.
  const double near = m_orthographic ? -screen.z : 1.0 / depth;
  const double y = m_height - screen.y;
  if (!(std::fabs(screen.x) <= kFarthestPageCoordinate) || !(std::fabs(y) <= kFarthestPageCoordinate) ||
      !std::isfinite(near)) {
    return false;
  }
  out = {screen.x, y, near};
  return true;
}

double ViewProjection::NearnessSpan(double near, double pageDistance) const {
  // Perspective: a page distance p at depth d spans p * d / f of the world, and the
  // nearness 1/d changes by that times 1/d squared.
  return m_orthographic ? pageDistance / m_pixelScale : pageDistance * std::fabs(near) / m_pixelScale;
}

}  // namespace symbols_tool
