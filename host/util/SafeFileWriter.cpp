#include "util/SafeFileWriter.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace util {
namespace {

std::string SystemText(int error) {
  return std::generic_category().message(error);
}

// Removes the temporary file unless it was renamed into place.
class TempFileGuard {
 public:
  explicit TempFileGuard(std::string path) : m_path(std::move(path)) {}
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  ~TempFileGuard() {
    if (!m_committed) {
      ::unlink(m_path.c_str());
    }
  }
  void Commit() { m_committed = true; }

 private:
  std::string m_path;
  bool m_committed = false;
};

// Closes a descriptor once, when the scope ends or when asked (to see close's result).
class FdGuard {
 public:
  explicit FdGuard(int fd) : m_fd(fd) {}
  FdGuard(const FdGuard&) = delete;
  FdGuard& operator=(const FdGuard&) = delete;
  ~FdGuard() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  [[nodiscard]] int Close() {
    const int result = ::close(m_fd);
    m_fd = -1;
    return result;
  }

 private:
  int m_fd;
};

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) {
    return "is a folder, not a file";
  }
  if (S_ISFIFO(mode)) {
    return "is a FIFO, not a regular file";
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return "is a device, not a regular file";
  }
  return "is not a regular file";
}

}  // namespace

bool SafeFileWriter::ResolveTarget(const std::string& path, std::string& target, std::string& error) {
  namespace fs = std::filesystem;
  fs::path current(path);
  // The system's own limit on links followed in one path.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      target = current.string();
      return true;
    }
    std::vector<char> buffer(static_cast<size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1);
    const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
    if (length < 0) {
      error = SystemText(errno);
      return false;
    }
    const fs::path next(std::string(buffer.data(), static_cast<size_t>(length)));
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  error = SystemText(ELOOP);
  return false;
}

bool SafeFileWriter::WriteTemporary(const std::string& folder, const std::string& prefix, std::string_view contents,
                                    std::string& path, std::string& error) {
  const std::string pattern = (std::filesystem::path(folder.empty() ? "." : folder) / (prefix + "XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = SystemText(errno);
    return false;
  }
  FdGuard descriptor(fd);
  TempFileGuard guard(name.data());
  ::fchmod(fd, 0644);
  if (!WriteAll(fd, contents) || ::fsync(fd) != 0 || descriptor.Close() != 0) {
    error = SystemText(errno);
    return false;
  }
  guard.Commit();
  path = name.data();
  return true;
}

bool SafeFileWriter::SyncFolder(const std::string& folder) {
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    return false;
  }
  const bool synced = ::fsync(dir) == 0;
  ::close(dir);
  return synced;
}

bool SafeFileWriter::Write(const std::string& path, std::string_view contents) {
  std::string ignored;
  return Write(path, contents, ignored);
}

bool SafeFileWriter::Write(const std::string& path, std::string_view contents, std::string& error) {
  if (path.empty()) {
    error = "no file name given";
    return false;
  }
  std::string resolved;
  if (!ResolveTarget(path, resolved, error)) {
    return false;
  }
  struct stat old {};
  const bool replacing = ::stat(resolved.c_str(), &old) == 0;
  if (replacing && !S_ISREG(old.st_mode)) {
    error = KindOf(old.st_mode);
    return false;
  }
  const std::filesystem::path target(resolved);
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) {
    folder = ".";
  }
  std::string hidden = ".";
  hidden += target.filename().string();
  hidden += ".tmp-XXXXXX";
  const std::string pattern = (folder / hidden).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = SystemText(errno);
    return false;
  }
  FdGuard descriptor(fd);
  TempFileGuard guard(name.data());
  if (replacing) {
    // The replacement is the same file to its users: same permission bits, and the same
    // owner when the process may give it.
    (void)::fchown(fd, old.st_uid, old.st_gid);
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    ::fchmod(fd, 0644);
  }
  if (!WriteAll(fd, contents) || ::fsync(fd) != 0) {
    error = SystemText(errno);
    return false;
  }
  if (descriptor.Close() != 0) {
    error = SystemText(errno);
    return false;
  }
  if (::rename(name.data(), resolved.c_str()) != 0) {
    error = SystemText(errno);
    return false;
  }
  guard.Commit();
  // Make the rename itself durable.
  (void)SyncFolder(folder.string());
  return true;
}

}  // namespace util
