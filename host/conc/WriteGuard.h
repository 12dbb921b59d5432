// Holds a ReadWriteLock for writing for the guard's scope.
#pragma once

#include "conc/ReadWriteLock.h"

namespace conc {

class WriteGuard {
 public:
  explicit WriteGuard(ReadWriteLock& lock) : m_lock(lock) { m_lock.WriteLock(); }
  WriteGuard(const WriteGuard&) = delete;
  WriteGuard& operator=(const WriteGuard&) = delete;
  ~WriteGuard() { m_lock.WriteUnlock(); }

 private:
  ReadWriteLock& m_lock;
};

}  // namespace conc
