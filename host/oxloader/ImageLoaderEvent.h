// The event a caller hands to Loader::LoadImage. When the load ends, on the loader's
// completion thread and exactly once, it hears OnLoadNotify and then OnLoadComplete,
// both with the decode status (0 = success).
#pragma once

#include "orrinsymbols/oxk/AsyncEvent.h"

namespace oxloader {

class ImageLoaderEvent : public oxk::AsyncEvent {
 public:
  ImageLoaderEvent() = default;

  [[nodiscard]] util::Symbol GetObjectClass() const override { return util::Symbol("ImageLoaderEvent"); }
  virtual void OnLoadProgress(int /*percent*/) {}
  // The image's data is in place (or the load failed); completion follows.
  virtual void OnLoadNotify(int /*status*/) {}
  virtual void OnLoadComplete(int /*status*/) {}

 protected:
  ~ImageLoaderEvent() override = default;
  void OnComplete(int status) override {
    OnLoadNotify(status);
    OnLoadComplete(status);
  }
};

}  // namespace oxloader
