#include "oxk/BaseAsyncEvent.h"

#include "util/SmartPtr.h"

namespace oxk {

bool BaseAsyncEvent::Complete(int status) {
  if (m_claimed.exchange(true)) {
    m_refused.fetch_add(1, std::memory_order_acq_rel);
    return false;
  }
  // Keep this event alive while its completion runs: the hook may drop the last
  // outside reference.
  util::SmartPtr<util::RefCounted> self(static_cast<util::RefCounted*>(this));
  m_status.store(status, std::memory_order_release);
  try {
    OnComplete(status);
  } catch (...) {
    // A failing completion hook must not leave waiters hanging.
  }
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_complete.store(true, std::memory_order_release);
  }
  m_done.notify_all();
  AfterComplete();
  return true;
}

bool BaseAsyncEvent::WaitForCompletion(std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_done.wait_for(lock, timeout, [&] { return m_complete.load(std::memory_order_acquire); });
}

}  // namespace oxk
