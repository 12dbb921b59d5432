// The creation record of a flattened symbol: the common texts and its 2D placement.
#pragma once

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/geo/FMat33.h"
#include "orrinsymbols/symbol3d/SymbolInfoBase.h"

namespace oxannotations {

struct OXSYMBOLS_EXPORT SymbolInfoFlattened : SymbolInfoBase {
  geo::FMat33 xform;
};

}  // namespace oxannotations
