// How a view maps the world onto a 2D page: a camera's projection in page units (one a
// viewport pixel, y upwards from the bottom-left corner) with each point's nearness, a
// number that grows towards the viewer and that a flat face carries linearly across the
// page (the world depth for an orthographic camera, its inverse for a perspective one),
// so that depth buffers and edges can compare points of the page by it.
#pragma once

#include "geo/Camera3D.h"
#include "geo/DMat44.h"
#include "geo/DPoint3D.h"

namespace symbols_tool {

class ViewProjection {
 public:
  struct PagePoint {
    double x = 0.0;
    double y = 0.0;
    double near = 0.0;
  };

  // Page coordinates farther out than this are taken as not seen, so that a stray vertex
  // cannot carry the drawing out of the range its integer geometry holds.
  static constexpr double kFarthestPageCoordinate = 1e9;

  explicit ViewProjection(const geo::Camera3D& camera);

  [[nodiscard]] double PageWidth() const { return m_width; }
  [[nodiscard]] double PageHeight() const { return m_height; }
  [[nodiscard]] bool IsOrthographic() const { return m_orthographic; }

  // False when the point cannot be drawn: not finite, behind a perspective camera, or
  // beyond kFarthestPageCoordinate.
  [[nodiscard]] bool Project(const geo::DPoint3D& point, PagePoint& out) const;
  // How much the nearness of a surface sloped at 45 degrees to the view changes over
  // the given distance on the page, at a point of the given nearness.
  [[nodiscard]] double NearnessSpan(double near, double pageDistance) const;

 private:
  geo::DMat44 m_toScreen;
  bool m_orthographic;
  double m_width;
  double m_height;
  double m_pixelScale;  // page units per world unit (orthographic) or focal length
};

}  // namespace symbols_tool
