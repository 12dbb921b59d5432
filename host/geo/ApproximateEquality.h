// Equality within a tolerance, for scalars, points, vectors and matrices.
#pragma once

#include <cmath>

#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/Traits.h"

namespace geo {

template <class T>
bool ApproximateEquality(T a, T b, T tolerance = Traits<T>::s_EPSILON) {
  return std::fabs(a - b) <= tolerance;
}

inline bool ApproximateEquality(const DPoint3D& a, const DPoint3D& b, double tolerance = Traits<double>::s_EPSILON) {
  return ApproximateEquality(a.x, b.x, tolerance) && ApproximateEquality(a.y, b.y, tolerance) &&
         ApproximateEquality(a.z, b.z, tolerance);
}

inline bool ApproximateEquality(const DVec3& a, const DVec3& b, double tolerance = Traits<double>::s_EPSILON) {
  return ApproximateEquality(a.x, b.x, tolerance) && ApproximateEquality(a.y, b.y, tolerance) &&
         ApproximateEquality(a.z, b.z, tolerance);
}

}  // namespace geo
