// One model part a symbol is attached to: its identifier path, the path of its assembly
// (may be empty), where the part was last seen, and the symbol's offset from it.
#pragma once

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

struct OXSYMBOLS_EXPORT ConnectedPartInfo {
  util::Symbol partId;
  util::Symbol assemblyPartId;
  geo::DPoint3D lastPos;
  geo::DVec3 offset;
};

}  // namespace oxannotations
