#include "common/ModuleLocalizer.h"

namespace oxcommon {

const util::Localizer& ModuleLocalizer() {
  static const util::Localizer localizer("oxbase:oxmodulesStrings");
  return localizer;
}

}  // namespace oxcommon
