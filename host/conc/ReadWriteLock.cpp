#include "conc/ReadWriteLock.h"

namespace conc {

bool ReadWriteLock::OtherReaders(std::thread::id self) const {
  for (const auto& [thread, depth] : m_readers) {
    if (thread != self && depth > 0) {
      return true;
    }
  }
  return false;
}

void ReadWriteLock::ReadLock() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(m_mutex);
  auto mine = m_readers.find(self);
  const bool reentry = m_writer == self || (mine != m_readers.end() && mine->second > 0);
  if (!reentry) {
    // Queued writers go first, so a stream of readers cannot starve them.
    m_changed.wait(lock, [&] { return m_writeDepth == 0 && m_waitingWriters == 0; });
  }
  ++m_readers[self];
}

void ReadWriteLock::ReadUnlock() {
  const std::thread::id self = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(m_mutex);
  auto mine = m_readers.find(self);
  if (mine == m_readers.end()) {
    return;  // unbalanced unlock: ignore rather than corrupt the state
  }
  if (--mine->second == 0) {
    m_readers.erase(mine);
    m_changed.notify_all();
  }
}

void ReadWriteLock::WriteLock() {
  const std::thread::id self = std::this_thread::get_id();
  std::unique_lock<std::mutex> lock(m_mutex);
  if (m_writer == self) {
    ++m_writeDepth;
    return;
  }
  ++m_waitingWriters;
  m_changed.wait(lock, [&] { return m_writeDepth == 0 && !OtherReaders(self); });
  --m_waitingWriters;
  m_writer = self;
  m_writeDepth = 1;
}

void ReadWriteLock::WriteUnlock() {
  const std::thread::id self = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_writer != self || m_writeDepth == 0) {
    return;
  }
  if (--m_writeDepth == 0) {
    m_writer = std::thread::id();
    m_changed.notify_all();
  }
}

bool ReadWriteLock::IsWriteLockedByCurrentThread() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_writer == std::this_thread::get_id() && m_writeDepth > 0;
}

bool ReadWriteLock::IsReadLockedByCurrentThread() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_readers.count(std::this_thread::get_id()) != 0;
}

}  // namespace conc
