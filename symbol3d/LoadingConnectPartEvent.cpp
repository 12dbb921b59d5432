#include "symbol3d/LoadingConnectPartEvent.h"

#include "symbol3d/SymbolAnnotation.h"

namespace oxannotations {

LoadingConnectPartEvent::LoadingConnectPartEvent(const util::SmartPtr<oxk::ShapeInstance>& part,
                                                 const util::SmartPtr<SymbolAnnotation>& owner, bool update,
                                                 bool offset)
    : partShapeInstance(part), annotation(owner), updateLocation(update), useOffset(offset) {}

LoadingConnectPartEvent::~LoadingConnectPartEvent() = default;

void LoadingConnectPartEvent::OnComplete(int /*status*/) {
  const util::SmartPtr<SymbolAnnotation> owner = std::move(annotation);
  if (!owner) {
    return;
  }
  if (!updateLocation) {
    owner->UpdateOffsetWithConnectedParts();
    return;
  }
  owner->UpdateSymbolLocation(partShapeInstance, useOffset);
}

}  // namespace oxannotations
