// An observer of a host subject (a scene). It is registered with at most one subject,
// which it can leave by itself (Unregister); the kernel keeps it alive while registered.
#pragma once

#include <mutex>

#include "orrinsymbols/objm/ManagedObject.h"
#include "orrinsymbols/objm/Observer.h"

namespace oxk {

// What an Observer is registered with.
class ObserverSubject {
 public:
  virtual ~ObserverSubject() = default;
  virtual void DetachObserver(class Observer* observer) = 0;
};

class Observer : public objm::Observer, public objm::ManagedObject {
 public:
  // Leaves the subject it is registered with, if any, and lets the kernel let go of it.
  void Unregister();
  [[nodiscard]] bool IsRegistered() const;
  bool ZeroReferenceCountHook() override { return true; }

  // For subjects: record or forget the registration (no callback into the subject).
  void SetSubject(ObserverSubject* subject);

 protected:
  ~Observer() override = default;
  // Calls visit with the subject this observer is registered with, or null, while no one
  // can record or forget the registration.
  template <class Visit>
  void VisitSubject(const Visit& visit) {
    std::lock_guard<std::mutex> guard(m_mutex);
    visit(m_subject);
  }

 private:
  mutable std::mutex m_mutex;
  ObserverSubject* m_subject = nullptr;
};

}  // namespace oxk
