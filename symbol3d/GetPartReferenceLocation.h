// Where a connected part stands for its symbol: the centre of its members' geometry box,
// taken in the part's own axes, with the part's orientation and scale. Also the scale
// removal that placement computations share, and the kind of shape data whose load they
// wait for.
#pragma once

#include <cstdint>

#include "orrinsymbols/geo/FMat33.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/oxk/ShapeInstance.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

// Frozen host value: the kind of shape data whose status says whether a shape's
// geometry has loaded.
inline constexpr int32_t kGeometryData = 4;

// The part's reference location, or, with an assembly, the assembly's: placed like the
// part (or assembly) with its position at the centre of the geometry box of the members
// shown in the part's scene. False without a part, its instance or scene, while a
// member's geometry is not loaded, or when no member has geometry.
[[nodiscard]] bool GetPartReferenceLocation(const util::SmartPtr<oxk::ShapeInstance>& part, geo::Location& out,
                                            const util::SmartPtr<oxk::Instance>& assembly);

// m without its per-axis scale (each column scaled to length 1), unless that scale is 1
// within the float tolerance.
[[nodiscard]] geo::FMat33 RemoveScale(const geo::FMat33& m);

}  // namespace oxannotations
