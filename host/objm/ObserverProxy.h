// Stands between a notifier and an observer: the notifier holds the proxy (counted) and
// the proxy forwards to the observer. A proxy made with holdTarget keeps the observer
// alive while the notifier keeps the proxy; otherwise it holds a plain pointer that the
// observer's owner clears (Clear) when it lets go, and notifications after that are
// dropped.
#pragma once

#include <mutex>

#include "orrinsymbols/objm/Observer.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace objm {

class ObserverProxy : public Observer {
 public:
  explicit ObserverProxy(Observer* target, bool holdTarget = false)
      : m_target(target), m_held(holdTarget ? target : nullptr) {}

  void Clear() {
    util::SmartPtr<Observer> released;
    std::lock_guard<std::mutex> guard(m_mutex);
    m_target = nullptr;
    released = std::move(m_held);
  }
  [[nodiscard]] bool IsCleared() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_target == nullptr;
  }
  [[nodiscard]] bool Forwards(const Observer* target) const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return target != nullptr && m_target == target;
  }
  void OnNotify(util::RefCounted* subject, int code) override {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_target != nullptr) {
      m_target->OnNotify(subject, code);
    }
  }
  void OnObservedEvent(util::RefCounted* subject, util::RefCounted* event) override {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_target != nullptr) {
      m_target->OnObservedEvent(subject, event);
    }
  }

 protected:
  ~ObserverProxy() override = default;

 private:
  mutable std::mutex m_mutex;
  Observer* m_target;
  util::SmartPtr<Observer> m_held;
};

}  // namespace objm
