// Something that completes once, possibly on another thread, with a status
// (0 = success). OnComplete runs exactly once, on the completing thread, whoever races.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "orrinsymbols/util/RefCounted.h"

namespace oxk {

class BaseAsyncEvent : public virtual util::RefCounted {
 public:
  BaseAsyncEvent() = default;

  // Completes the event; later calls do nothing and return false.
  bool Complete(int status = 0);
  // How many calls of Complete came after the first: completing an event twice is a
  // fault of its caller, counted so that it can be found.
  [[nodiscard]] int GetRefusedCompletions() const { return m_refused.load(std::memory_order_acquire); }
  [[nodiscard]] bool IsComplete() const { return m_complete.load(std::memory_order_acquire); }
  [[nodiscard]] int GetStatus() const { return m_status.load(std::memory_order_acquire); }
  // Waits until complete; false when the timeout passed first.
  bool WaitForCompletion(std::chrono::milliseconds timeout) const;

 protected:
  ~BaseAsyncEvent() override = default;
  // Called once by Complete, before waiters are woken.
  virtual void OnComplete(int /*status*/) {}
  // Called once by Complete after waiters were woken (the event is still alive).
  virtual void AfterComplete() {}

 private:
  std::atomic<bool> m_claimed{false};
  std::atomic<int> m_refused{0};
  std::atomic<bool> m_complete{false};
  std::atomic<int> m_status{0};
  mutable std::mutex m_mutex;
  mutable std::condition_variable m_done;
};

}  // namespace oxk
