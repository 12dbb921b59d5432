// Holds a ReadWriteLock for writing for the guard's scope.
#pragma once

#include "orrinsymbols/conc/ReadWriteLock.h"

namespace conc {

class OX_SCOPED_CAPABILITY WriteGuard {
 public:
  explicit WriteGuard(ReadWriteLock& lock) OX_ACQUIRE(lock) : m_lock(lock) { m_lock.WriteLock(); }
  WriteGuard(const WriteGuard&) = delete;
  WriteGuard& operator=(const WriteGuard&) = delete;
  ~WriteGuard() OX_RELEASE() { m_lock.WriteUnlock(); }

 private:
  ReadWriteLock& m_lock;
};

}  // namespace conc
