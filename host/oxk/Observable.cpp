#include "oxk/Observable.h"

#include <algorithm>
#include <atomic>

namespace oxk {

void Observable::AddListener(const util::SmartPtr<ObservableListener>& listener) {
  if (!listener) {
    return;
  }
  std::lock_guard<std::mutex> guard(m_listenersMutex);
  if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end()) {
    m_listeners.push_back(listener);
  }
}

void Observable::RemoveListener(const util::SmartPtr<ObservableListener>& listener) {
  std::lock_guard<std::mutex> guard(m_listenersMutex);
  m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void Observable::PostObservableEvent(const util::SmartPtr<ObservableEvent>& event, int flags) {
  std::vector<util::SmartPtr<ObservableListener>> listeners;
  {
    std::lock_guard<std::mutex> guard(m_listenersMutex);
    listeners = m_listeners;
  }
  for (const auto& listener : listeners) {
    listener->OnObservableEvent(*this, event, flags);
  }
}

int32_t Observable::GetNextEventId() {
  static std::atomic<int32_t> next{1};
  return next.fetch_add(1);
}

}  // namespace oxk
