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
  std::vector<util::SmartPtr<objm::ObserverProxy>> observers;
  {
    std::lock_guard<std::mutex> guard(m_listenersMutex);
    listeners = m_listeners;
    observers = m_observers;
  }
  for (const auto& listener : listeners) {
    listener->OnObservableEvent(*this, event, flags);
  }
  for (const auto& observer : observers) {
    observer->OnObservedEvent(static_cast<util::RefCounted*>(this), event.get());
  }
}

bool Observable::RegisterObserver(const util::SmartPtr<objm::ObserverProxy>& proxy) {
  if (!proxy) {
    return false;
  }
  std::lock_guard<std::mutex> guard(m_listenersMutex);
  if (std::find(m_observers.begin(), m_observers.end(), proxy) != m_observers.end()) {
    return false;
  }
  m_observers.push_back(proxy);
  return true;
}

bool Observable::UnregisterObserver(const objm::Observer* observer) {
  util::SmartPtr<objm::ObserverProxy> dropped;
  std::lock_guard<std::mutex> guard(m_listenersMutex);
  for (auto it = m_observers.begin(); it != m_observers.end(); ++it) {
    if ((*it)->Forwards(observer) || it->get() == observer) {
      dropped = *it;
      m_observers.erase(it);
      return true;
    }
  }
  return false;
}

int32_t Observable::GetNextEventId() {
  static std::atomic<int32_t> next{1};
  return next.fetch_add(1);
}

}  // namespace oxk
