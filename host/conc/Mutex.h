// A plain, non-recursive mutex that clang's thread-safety analysis knows as a lock, so
// that the fields it guards (OX_GUARDED_BY) are checked at every use. Taken through
// MutexGuard only.
#pragma once

#include <mutex>

#include "orrinsymbols/conc/ThreadSafety.h"

namespace conc {

class OX_CAPABILITY("mutex") Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void Lock() OX_ACQUIRE() { m_mutex.lock(); }
  void Unlock() OX_RELEASE() { m_mutex.unlock(); }

 private:
  std::mutex m_mutex;
};

}  // namespace conc
