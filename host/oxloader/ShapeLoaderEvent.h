// The event a caller hands to Loader::LoadShape: its completion callback receives the
// load status (0 = success) on the loader's completion thread, exactly once.
#pragma once

#include "orrinsymbols/oxk/AsyncEvent.h"

namespace oxloader {

class ShapeLoaderEvent : public oxk::AsyncEvent {
 public:
  explicit ShapeLoaderEvent(void* /*context*/ = nullptr) {}

  // Progress in percent, before completion. Default: nothing.
  virtual void OnLoadProgress(int /*percent*/) {}
  // The load ended with status (0 = success).
  virtual void OnLoadComplete(int /*status*/) {}

 protected:
  ~ShapeLoaderEvent() override = default;
  void OnComplete(int status) override { OnLoadComplete(status); }
};

}  // namespace oxloader
