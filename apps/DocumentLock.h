// The lock that makes the commands on one document take turns: a command that changes
// the document holds it exclusively for the whole read, change and save; commands that
// only read share it. It is an advisory lock (flock) on the document's folder itself, so
// taking it writes nothing, and the system drops it when the process ends, however it
// ends. A command that finds the document locked waits a bounded time, says once that it
// is waiting, and then gives up.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace symbols_tool {

class DocumentLock {
 public:
  enum class Mode { kShared, kExclusive };

  // How long a command waits for another one before it gives up.
  static constexpr std::chrono::milliseconds kWait{5000};
  // Frozen: what a command says when it gives up waiting.
  static constexpr const char* kInUse = "document is in use by another command";

  DocumentLock() = default;
  DocumentLock(const DocumentLock&) = delete;
  DocumentLock& operator=(const DocumentLock&) = delete;
  ~DocumentLock() { Release(); }

  // Locks folder in mode, waiting at most wait; waiting is called once when the lock is
  // not free at once. False (error says why) when the folder cannot be opened or the wait
  // ran out.
  [[nodiscard]] bool Acquire(const std::string& folder, Mode mode, std::chrono::milliseconds wait,
                             const std::function<void()>& waiting, std::string& error);
  // Changes the mode of the held lock (not atomically: another command may come in
  // between), with the same waiting as Acquire.
  [[nodiscard]] bool Change(Mode mode, std::chrono::milliseconds wait, const std::function<void()>& waiting,
                            std::string& error);
  void Release();

  [[nodiscard]] bool IsHeld() const { return m_fd >= 0; }
  [[nodiscard]] Mode GetMode() const { return m_mode; }

 private:
  int m_fd = -1;
  Mode m_mode = Mode::kShared;
};

}  // namespace symbols_tool
