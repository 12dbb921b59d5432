#include "oxk/Observer.h"

#include "oxk/Kernel.h"

namespace oxk {

void Observer::Unregister() {
  ObserverSubject* subject = nullptr;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    subject = m_subject;
    m_subject = nullptr;
  }
  // Keep this observer alive until both the subject and the kernel have let go.
  util::SmartPtr<Observer> self(this);
  if (subject != nullptr) {
    subject->DetachObserver(this);
  }
  Kernel::GetKernel()->ReleaseObject(util::SmartPtr<objm::ManagedObject>(this));
}

bool Observer::IsRegistered() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_subject != nullptr;
}

void Observer::SetSubject(ObserverSubject* subject) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_subject = subject;
}

}  // namespace oxk
