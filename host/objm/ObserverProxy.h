// Stands between a notifier and an observer that may go away first: the notifier holds
// the proxy (counted), the proxy holds a plain pointer that the observer's owner clears
// when it lets go. Notifications after that are dropped.
#pragma once

#include <mutex>

#include "objm/Observer.h"

namespace objm {

class ObserverProxy : public Observer {
 public:
  explicit ObserverProxy(Observer* target) : m_target(target) {}

  void Clear() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_target = nullptr;
  }
  [[nodiscard]] bool IsCleared() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_target == nullptr;
  }
  void OnNotify(util::RefCounted* subject, int code) override {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_target != nullptr) {
      m_target->OnNotify(subject, code);
    }
  }

 protected:
  ~ObserverProxy() override = default;

 private:
  mutable std::mutex m_mutex;
  Observer* m_target;
};

}  // namespace objm
