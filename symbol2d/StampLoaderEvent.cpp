#include "symbol2d/StampLoaderEvent.h"

#include "symbol2d/Symbol2D.h"

namespace oxannotations {

StampLoaderEvent::StampLoaderEvent(const util::SmartPtr<Symbol2D>& symbol, const util::SmartPtr<oxk::Image>& loaded,
                                   oxk::AsyncEvent* parent, bool hadData)
    : annotation(symbol), image(loaded), parentEvent(parent), hadImageData(hadData) {}

StampLoaderEvent::~StampLoaderEvent() = default;

util::Symbol StampLoaderEvent::GetObjectClass() const {
  // Frozen: hosts recognise the event by this name.
  return util::Symbol("StampImageLoaderEvent");
}

void StampLoaderEvent::OnLoadNotify(int /*status*/) {}

void StampLoaderEvent::OnLoadComplete(int /*status*/) {
  // The symbol may hold the last reference to the caller's event and let go of it while
  // it takes the image; the event must live until it is completed below.
  const util::SmartPtr<oxk::AsyncEvent> parent(parentEvent);
  util::SmartPtr<Symbol2D> symbol = std::move(annotation);
  util::SmartPtr<oxk::Image> loaded = std::move(image);
  if (symbol) {
    symbol->OnImageLoaded(loaded, hadImageData);
    symbol->DeleteTempDir();
  }
  symbol.Reset();
  loaded.Reset();
  if (parent && !parent->IsComplete()) {
    parent->Complete(0);
  }
}

}  // namespace oxannotations
