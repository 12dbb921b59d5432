// Holds a Mutex for the guard's scope.
#pragma once

#include "orrinsymbols/conc/Mutex.h"

namespace conc {

class OX_SCOPED_CAPABILITY MutexGuard {
 public:
  explicit MutexGuard(Mutex& mutex) OX_ACQUIRE(mutex) : m_mutex(mutex) { m_mutex.Lock(); }
  MutexGuard(const MutexGuard&) = delete;
  MutexGuard& operator=(const MutexGuard&) = delete;
  ~MutexGuard() OX_RELEASE() { m_mutex.Unlock(); }

 private:
  Mutex& m_mutex;
};

}  // namespace conc
