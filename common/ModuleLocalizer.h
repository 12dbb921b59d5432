// The one message localizer of the annotation classes, over "oxbase:oxmodulesStrings",
// made on first use (thread-safe) and kept until the module unloads.
#pragma once

#include "orrinsymbols/util/Localizer.h"

namespace oxcommon {

[[nodiscard]] const util::Localizer& ModuleLocalizer();

}  // namespace oxcommon
