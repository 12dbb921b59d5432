// The event a caller hands to Loader::LoadImage: completion gets the decode status
// (0 = success) on the loader's completion thread, exactly once.
#pragma once

#include "oxk/AsyncEvent.h"

namespace oxloader {

class ImageLoaderEvent : public oxk::AsyncEvent {
 public:
  ImageLoaderEvent() = default;

  virtual void OnLoadProgress(int /*percent*/) {}
  virtual void OnLoadComplete(int /*status*/) {}

 protected:
  ~ImageLoaderEvent() override = default;
  void OnComplete(int status) override { OnLoadComplete(status); }
};

}  // namespace oxloader
