#include "DocumentLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

namespace symbols_tool {

bool DocumentLock::Acquire(const std::string& folder, Mode mode, std::chrono::milliseconds wait,
                           const std::function<void()>& waiting, std::string& error) {
  Release();
  m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (m_fd < 0) {
    error = "cannot open " + folder + ": " + std::generic_category().message(errno);
    return false;
  }
  if (!Change(mode, wait, waiting, error)) {
    Release();
    return false;
  }
  return true;
}

bool DocumentLock::Change(Mode mode, std::chrono::milliseconds wait, const std::function<void()>& waiting,
                          std::string& error) {
  const int operation = mode == Mode::kExclusive ? LOCK_EX : LOCK_SH;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  bool told = false;
  for (;;) {
    if (::flock(m_fd, operation | LOCK_NB) == 0) {
      m_mode = mode;
      return true;
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno != EWOULDBLOCK) {
      error = std::string("cannot lock the document: ") + std::generic_category().message(errno);
      return false;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      error = kInUse;
      return false;
    }
    if (!told && waiting) {
      waiting();
      told = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void DocumentLock::Release() {
  if (m_fd >= 0) {
    ::close(m_fd);  // drops the lock
    m_fd = -1;
  }
}

}  // namespace symbols_tool
