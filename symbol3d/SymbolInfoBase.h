// The creation record common to 3D symbols and their flattened form: texts, tooltip
// flags, the symbol file and the identifier of the symbol's own node.
#pragma once

#include <string>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

struct OXSYMBOLS_EXPORT SymbolInfoBase {
  std::string title;
  std::string description;
  bool showTooltipTitle = false;
  bool showTooltipDescription = false;
  util::Symbol fileName;
  util::Symbol name;
  // Identifier path of the symbol's own node, without the leading "/".
  util::Symbol id;
};

}  // namespace oxannotations
