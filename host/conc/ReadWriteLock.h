// A read-write lock that the holding thread may take again in either mode.
//
// A thread holding it for writing may take it for reading or writing; a thread holding
// it for reading may take it for reading again without waiting for queued writers, and
// may take it for writing once no other thread reads. Two readers that both ask to
// write at once wait for each other: callers avoid that pattern.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "orrinsymbols/conc/ThreadSafety.h"

namespace conc {

class OX_CAPABILITY("read-write lock") ReadWriteLock {
 public:
  ReadWriteLock() = default;
  ReadWriteLock(const ReadWriteLock&) = delete;
  ReadWriteLock& operator=(const ReadWriteLock&) = delete;

  void ReadLock() OX_ACQUIRE_SHARED();
  void ReadUnlock() OX_RELEASE_SHARED();
  void WriteLock() OX_ACQUIRE();
  void WriteUnlock() OX_RELEASE();

  [[nodiscard]] bool IsWriteLockedByCurrentThread() const;
  [[nodiscard]] bool IsReadLockedByCurrentThread() const;

 private:
  [[nodiscard]] bool OtherReaders(std::thread::id self) const;

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::thread::id m_writer;
  int m_writeDepth = 0;
  int m_waitingWriters = 0;
  std::unordered_map<std::thread::id, int> m_readers;
};

}  // namespace conc
