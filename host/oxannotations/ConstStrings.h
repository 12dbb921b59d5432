// Names shared by the host and annotation modules: class names (also the names of
// saved content elements), icons and cursors.
#pragma once

#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

struct ConstStrings {
  // Frozen: class names are the element names of saved documents.
  static const util::Symbol oxSymbol3D;
  static const util::Symbol oxSymbol3DFlattened;
  static const util::Symbol oxSymbol2D;
  static const util::Symbol oxDistanceIcon;
  static const util::Symbol oxDistancePreselectionCursor;
  static const util::Symbol oxStampIcon;
  static const util::Symbol oxStampPreselectionCursor;
};

}  // namespace oxannotations
