// Holds the loader's thread until opened, so that loads queued meanwhile are pending.
// The state is shared: the loader's thread may look at it after the gate went.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "oxk/AsyncEvent.h"
#include "oxloader/Loader.h"
#include "util/SmartPtr.h"

namespace testsupport {

class LoaderGate {
 public:
  LoaderGate() : m_state(std::make_shared<State>()) {
    util::SmartPtr<oxk::AsyncEvent> blocker(new Blocker(m_state));
    oxloader::Loader::GetLoader()->LoadShape({}, 4, blocker, {});
  }
  LoaderGate(const LoaderGate&) = delete;
  LoaderGate& operator=(const LoaderGate&) = delete;
  ~LoaderGate() { Open(); }

  void Open() {
    std::lock_guard<std::mutex> guard(m_state->mutex);
    m_state->open = true;
    m_state->changed.notify_all();
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
  };
  class Blocker : public oxk::AsyncEvent {
   public:
    explicit Blocker(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    void OnComplete(int) override {
      std::unique_lock<std::mutex> lock(m_state->mutex);
      m_state->changed.wait(lock, [&] { return m_state->open; });
    }
    std::shared_ptr<State> m_state;
  };
  std::shared_ptr<State> m_state;
};

}  // namespace testsupport
