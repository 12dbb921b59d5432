// The load event of a 2D symbol's image: when the loader has decoded the image (or
// failed to), it lets the symbol take the image, deletes the symbol's temporary folder,
// and completes the caller's event unless that is complete already. It keeps the symbol
// and its image alive until then.
#pragma once

#include <cstdint>

#include "orrinsymbols/oxk/AsyncEvent.h"
#include "orrinsymbols/oxk/Image.h"
#include "orrinsymbols/oxloader/ImageLoaderEvent.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

class Symbol2D;

class StampLoaderEvent : public oxloader::ImageLoaderEvent {
 public:
  // parent (may be null) is the caller's event; it is counted until the load completes
  // it, so the caller may let go of it at any time. hadImageData: the image held data
  // when the load was started; attachment: the symbol's attachment count then.
  StampLoaderEvent(const util::SmartPtr<Symbol2D>& annotation, const util::SmartPtr<oxk::Image>& image,
                   oxk::AsyncEvent* parent, bool hadImageData, uint64_t attachment);

  [[nodiscard]] util::Symbol GetObjectClass() const override;
  void OnLoadNotify(int status) override;
  void OnLoadComplete(int status) override;

 protected:
  ~StampLoaderEvent() override;

 private:
  util::SmartPtr<Symbol2D> annotation;
  util::SmartPtr<oxk::Image> image;
  util::SmartPtr<oxk::AsyncEvent> parentEvent;
  bool hadImageData;
  uint64_t attachment;
};

}  // namespace oxannotations
