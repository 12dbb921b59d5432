// Holds a ReadWriteLock for reading for the guard's scope.
#pragma once

#include "orrinsymbols/conc/ReadWriteLock.h"

namespace conc {

class OX_SCOPED_CAPABILITY ReadGuard {
 public:
  explicit ReadGuard(ReadWriteLock& lock) OX_ACQUIRE_SHARED(lock) : m_lock(lock) { m_lock.ReadLock(); }
  ReadGuard(const ReadGuard&) = delete;
  ReadGuard& operator=(const ReadGuard&) = delete;
  ~ReadGuard() OX_RELEASE() { m_lock.ReadUnlock(); }

 private:
  ReadWriteLock& m_lock;
};

}  // namespace conc
