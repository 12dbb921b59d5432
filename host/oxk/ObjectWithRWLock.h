// An Object with its own re-entrant read-write lock, for state shared between the UI
// thread, completion threads and scene notifications.
#pragma once

#include "orrinsymbols/conc/ReadWriteLock.h"
#include "orrinsymbols/oxk/Object.h"

namespace oxk {

class ObjectWithRWLock : public Object {
 public:
  ObjectWithRWLock() = default;
  // A copy has its own, unlocked lock.
  ObjectWithRWLock(const ObjectWithRWLock& other) : util::RefCounted(other), Object(other) {}

  [[nodiscard]] conc::ReadWriteLock& GetRWLock() const OX_RETURN_CAPABILITY(m_lock) { return m_lock; }

 protected:
  ~ObjectWithRWLock() override = default;

 private:
  mutable conc::ReadWriteLock m_lock;
};

}  // namespace oxk
