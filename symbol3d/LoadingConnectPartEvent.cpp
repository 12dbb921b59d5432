#include "symbol3d/LoadingConnectPartEvent.h"

#include "symbol3d/SymbolAnnotation.h"

namespace oxannotations {

LoadingConnectPartEvent::LoadingConnectPartEvent(const util::SmartPtr<oxk::ShapeInstance>& part,
                                                 const util::SmartPtr<SymbolAnnotation>& owner, bool update,
                                                 bool offset)
    : partShapeInstance(part), annotation(owner), updateLocation(update), useOffset(offset) {}

LoadingConnectPartEvent::~LoadingConnectPartEvent() = default;

void LoadingConnectPartEvent::OnComplete(int status) {
  const util::SmartPtr<SymbolAnnotation> owner = std::move(annotation);
  const util::SmartPtr<oxk::ShapeInstance> part = std::move(partShapeInstance);
  if (!owner) {
    return;
  }
  try {
    if (!updateLocation) {
      // Recording offsets asks for the geometry again when it is missing: only geometry
      // that actually arrived may bring it back here.
      if (status == 0) {
        owner->UpdateOffsetWithConnectedParts();
      }
      return;
    }
    owner->UpdateSymbolLocation(part, useOffset);
  } catch (...) {
    // Runs on the loader's thread: nothing may throw into it.
  }
}

}  // namespace oxannotations
