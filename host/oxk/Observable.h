// Something observers can listen to: events are posted to every listener and every
// registered observer proxy present at the time of posting, on the posting thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "orrinsymbols/objm/Observer.h"
#include "orrinsymbols/objm/ObserverProxy.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class Observable;

// An event posted by an Observable: an identifier from GetNextEventId naming its kind.
class ObservableEvent : public virtual util::RefCounted {
 public:
  explicit ObservableEvent(int32_t eventId) : m_eventId(eventId) {}
  [[nodiscard]] int32_t GetEventId() const { return m_eventId; }

 protected:
  ~ObservableEvent() override = default;

 private:
  int32_t m_eventId;
};

class ObservableListener : public virtual util::RefCounted {
 public:
  virtual void OnObservableEvent(Observable& source, const util::SmartPtr<ObservableEvent>& event, int flags) = 0;

 protected:
  ~ObservableListener() override = default;
};

class Observable : public virtual util::RefCounted {
 public:
  Observable() = default;
  // A copy starts without listeners.
  Observable(const Observable& other) : util::RefCounted(other) {}

  void AddListener(const util::SmartPtr<ObservableListener>& listener);
  void RemoveListener(const util::SmartPtr<ObservableListener>& listener);
  // Delivers event to the listeners and observers, outside any lock of this object.
  void PostObservableEvent(const util::SmartPtr<ObservableEvent>& event, int flags);

  // Observers hear every posted event (OnObservedEvent) through their proxy. False when
  // the proxy is empty or already registered.
  bool RegisterObserver(const util::SmartPtr<objm::ObserverProxy>& proxy);
  // Drops the proxy that forwards to observer; false when there is none.
  bool UnregisterObserver(const objm::Observer* observer);

  // A process-wide fresh identifier for a kind of event; never 0.
  [[nodiscard]] static int32_t GetNextEventId();

 protected:
  ~Observable() override = default;

 private:
  mutable std::mutex m_listenersMutex;
  std::vector<util::SmartPtr<ObservableListener>> m_listeners;
  std::vector<util::SmartPtr<objm::ObserverProxy>> m_observers;
};

}  // namespace oxk
