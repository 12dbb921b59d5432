// A viewing camera: a location and either an orthographic width or a perspective
// horizontal field of view (radians).
#pragma once

#include "geo/Location.h"

namespace geo {

class Camera3D {
 public:
  Camera3D() = default;
  static Camera3D Orthographic(const Location& location, double width) {
    Camera3D c;
    c.m_location = location, c.m_orthographic = true, c.m_value = width;
    return c;
  }
  static Camera3D Perspective(const Location& location, double hfov) {
    Camera3D c;
    c.m_location = location, c.m_orthographic = false, c.m_value = hfov;
    return c;
  }

  [[nodiscard]] bool IsOrthographic() const { return m_orthographic; }
  [[nodiscard]] double GetOrthographicWidth() const { return m_orthographic ? m_value : 0.0; }
  [[nodiscard]] double GetPerspectiveHFOV() const { return m_orthographic ? 0.0 : m_value; }
  [[nodiscard]] const Location& GetLocation() const { return m_location; }
  void SetLocation(const Location& location) { m_location = location; }

 private:
  Location m_location;
  bool m_orthographic = false;
  double m_value = 0.785398;  // 45 degrees
};

}  // namespace geo
