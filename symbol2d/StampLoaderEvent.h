// The load event of a 2D symbol's image: when the loader has decoded the image (or
// failed to), it lets the symbol take the image, deletes the symbol's temporary folder,
// and completes the caller's event unless that is complete already. It keeps the symbol
// and its image alive until then.
#pragma once

#include "oxk/AsyncEvent.h"
#include "oxk/Image.h"
#include "oxloader/ImageLoaderEvent.h"
#include "util/SmartPtr.h"

namespace oxannotations {

class Symbol2D;

class StampLoaderEvent : public oxloader::ImageLoaderEvent {
 public:
  // parent (may be null) is the caller's, not owned: the caller keeps it alive until it
  // completes. hadImageData: the image held data when the load was started.
  StampLoaderEvent(const util::SmartPtr<Symbol2D>& annotation, const util::SmartPtr<oxk::Image>& image,
                   oxk::AsyncEvent* parent, bool hadImageData);

  [[nodiscard]] util::Symbol GetObjectClass() const override;
  void OnLoadNotify(int status) override;
  void OnLoadComplete(int status) override;

 protected:
  ~StampLoaderEvent() override;

 private:
  util::SmartPtr<Symbol2D> annotation;
  util::SmartPtr<oxk::Image> image;
  oxk::AsyncEvent* parentEvent;
  bool hadImageData;
};

}  // namespace oxannotations
