// A ray: an origin and a direction, in doubles. Cameras cast them through screen points
// and callers intersect them with planes.
#pragma once

#include <cmath>

#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/DVec3.h"

namespace geo {

class DRay {
 public:
  DRay() = default;
  DRay(const DPoint3D& origin, const DVec3& direction) : m_origin(origin), m_direction(direction) {}

  [[nodiscard]] const DPoint3D& GetOrigin() const { return m_origin; }
  [[nodiscard]] const DVec3& GetDirection() const { return m_direction; }

  // The point at parameter t: origin + t * direction.
  [[nodiscard]] DPoint3D Lirp(double t) const { return m_origin + m_direction * t; }

  // Where the ray meets the plane through planePoint with the given normal: t such that
  // Lirp(t) lies in the plane. False when the ray runs parallel to the plane or the
  // plane lies behind the origin.
  bool RaycastPlane(const DPoint3D& planePoint, const DVec3& normal, double& t) const {
    const double facing = Dot(m_direction, normal);
    if (std::fabs(facing) <= 1e-12 * m_direction.Length() * normal.Length()) {
      return false;
    }
    const double along = Dot(planePoint - m_origin, normal) / facing;
    if (along < 0.0) {
      return false;
    }
    t = along;
    return true;
  }

 private:
  DPoint3D m_origin;
  DVec3 m_direction{0, 0, -1};
};

}  // namespace geo
