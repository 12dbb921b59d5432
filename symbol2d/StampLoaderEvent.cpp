#include "symbol2d/StampLoaderEvent.h"

#include "symbol2d/Symbol2D.h"

namespace oxannotations {

StampLoaderEvent::StampLoaderEvent(const util::SmartPtr<Symbol2D>& symbol, const util::SmartPtr<oxk::Image>& loaded,
                                   oxk::AsyncEvent* parent, bool hadData, uint64_t attachedAs)
    : annotation(symbol), image(loaded), parentEvent(parent), hadImageData(hadData), attachment(attachedAs) {}

StampLoaderEvent::~StampLoaderEvent() = default;

util::Symbol StampLoaderEvent::GetObjectClass() const {
  // Frozen: hosts recognise the event by this name.
  return util::Symbol("StampImageLoaderEvent");
}

void StampLoaderEvent::OnLoadNotify(int /*status*/) {}

void StampLoaderEvent::OnLoadComplete(int /*status*/) {
  // Dropped at the end: neither the symbol nor the caller's event need outlive the load.
  const util::SmartPtr<oxk::AsyncEvent> parent = std::move(parentEvent);
  util::SmartPtr<Symbol2D> symbol = std::move(annotation);
  util::SmartPtr<oxk::Image> loaded = std::move(image);
  try {
    if (symbol) {
      symbol->OnImageLoaded(loaded, hadImageData, attachment);
      symbol->DeleteTempDir();
    }
  } catch (...) {
    // Runs on the loader's thread: nothing may throw into it. The caller's event still
    // completes below.
  }
  symbol.Reset();
  loaded.Reset();
  if (parent && !parent->IsComplete()) {
    parent->Complete(0);
  }
}

}  // namespace oxannotations
