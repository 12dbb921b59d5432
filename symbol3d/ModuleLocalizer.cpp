#include "symbol3d/ModuleLocalizer.h"

namespace oxannotations {

const util::Localizer& ModuleLocalizer() {
  static const util::Localizer localizer("oxbase:oxmodulesStrings");
  return localizer;
}

}  // namespace oxannotations
