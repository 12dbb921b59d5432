#include "symbol3d/FlattenedSerializedContentVisitor.h"

#include "symbol3d/SymbolContentKeys.h"

namespace oxannotations {

void FlattenedSerializedContentVisitor::VisitLocation(const util::Symbol& key, const geo::Location& value) {
  // The position is not part of a 2D placement (it is written as the bad point).
  if (key == symbolkeys::xform) {
    info.xform = value.GetMat();
  }
}

}  // namespace oxannotations
