#include "symbol3d/MyLoadEvent.h"

#include "common/IsOldDialogEnabled.h"
#include "symbol3d/SymbolAnnotation.h"

namespace oxannotations {

MyLoadEvent::MyLoadEvent(const util::SmartPtr<SymbolAnnotation>& owner, oxk::AsyncEvent* parent, bool ignore,
                         bool partLoad)
    : oxloader::ShapeLoaderEvent(nullptr),
      annotation(owner),
      parentEvent(parent),
      ignoreCompletion(ignore),
      connectedPartLoad(partLoad) {}

MyLoadEvent::~MyLoadEvent() = default;

void MyLoadEvent::OnLoadProgress(int /*percent*/) {}

void MyLoadEvent::OnLoadComplete(int status) {
  // Both dropped at the end: neither need outlive the load.
  const util::SmartPtr<SymbolAnnotation> owner = std::move(annotation);
  const util::SmartPtr<oxk::AsyncEvent> parent = std::move(parentEvent);
  if (ignoreCompletion) {
    return;
  }
  bool cleanUp = true;
  if (status != 0) {
    if (owner) {
      owner->SymbolLoadFail();
    }
  } else if (!oxcommon::IsOldDialogEnabled() && owner && connectedPartLoad) {
    // A part's geometry arrived: the symbol's own load state is not this event's business.
    cleanUp = false;
  } else if (owner) {
    owner->SymbolLoadedOK();
  }
  if (cleanUp && owner) {
    owner->DeleteTempDir();
  }
  if (parent && !parent->IsComplete()) {
    parent->Complete(status);
  }
}

}  // namespace oxannotations
