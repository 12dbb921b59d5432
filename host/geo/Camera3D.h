// A viewing camera: a location, either an orthographic width or a perspective
// horizontal field of view (radians), and the viewport it draws into (pixels).
//
// The location maps camera space to the world. The camera looks along its -Z axis; its
// X axis (U) points right on screen and its Y axis (V) up. Screen coordinates are
// pixels from the viewport's top-left corner, x to the right and y downwards.
#pragma once

#include "orrinsymbols/geo/DMat44.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/DRay.h"
#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/Location.h"

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

  // The viewport in pixels; sizes below 1 are taken as 1.
  void SetViewport(int width, int height);
  [[nodiscard]] int GetViewportWidth() const { return m_viewportWidth; }
  [[nodiscard]] int GetViewportHeight() const { return m_viewportHeight; }

  [[nodiscard]] DPoint3D GetEye() const { return m_location.GetPos(); }
  // Unit vectors in the world: right on screen, up on screen, and towards the viewer.
  [[nodiscard]] DVec3 GetU() const;
  [[nodiscard]] DVec3 GetV() const;
  [[nodiscard]] DVec3 GetW() const;

  // World to screen pixels. Orthographic: z is the depth in front of the camera.
  // Perspective: points are divided by their depth (Transform does it) and z is 1.
  [[nodiscard]] DMat44 GetWorldToScreenMatrix() const;
  // The screen position of a world point; false for a perspective camera when the point
  // is not in front of it.
  bool WorldToScreen(const DPoint3D& point, double& sx, double& sy) const;
  // The ray from the camera through a screen point, with a direction of length 1.
  [[nodiscard]] DRay ScreenXYToNormalizedRay(double sx, double sy) const;

 private:
  // Pixels per world unit at the focal plane (orthographic) or the focal length in
  // pixels (perspective).
  [[nodiscard]] double PixelScale() const;

  Location m_location;
  bool m_orthographic = false;
  double m_value = 0.785398;  // 45 degrees
  int m_viewportWidth = 800;
  int m_viewportHeight = 600;
};

}  // namespace geo
