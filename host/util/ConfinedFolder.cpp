#include "util/ConfinedFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

#include "util/FileSystem.h"

namespace util {
namespace {

// A descriptor closed when it goes.
class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  [[nodiscard]] int Get() const { return m_fd; }
  void Reset(int fd) {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
    m_fd = fd;
  }

 private:
  int m_fd;
};

std::vector<std::string> Components(std::string_view name) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= name.size()) {
    const size_t end = std::min(name.find('/', start), name.size());
    parts.emplace_back(name.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

ConfinedFolder::Kind KindOf(mode_t mode) {
  if (S_ISREG(mode)) {
    return ConfinedFolder::Kind::kRegular;
  }
  if (S_ISLNK(mode)) {
    return ConfinedFolder::Kind::kLink;
  }
  return S_ISDIR(mode) ? ConfinedFolder::Kind::kDirectory : ConfinedFolder::Kind::kOther;
}

// Opens the folder that holds the last component of parts, walking down without
// following links. kRegular stands for "opened"; anything else says why not.
ConfinedFolder::Kind OpenParent(const std::string& folder, const std::vector<std::string>& parts, Descriptor& out,
                                std::string& error) {
  out.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (out.Get() < 0) {
    error = std::generic_category().message(errno);
    return ConfinedFolder::Kind::kMissing;
  }
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    struct stat info {};
    if (::fstatat(out.Get(), parts[i].c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      error = errno == ENOENT ? std::string() : std::generic_category().message(errno);
      return ConfinedFolder::Kind::kMissing;
    }
    if (!S_ISDIR(info.st_mode)) {
      return S_ISLNK(info.st_mode) ? ConfinedFolder::Kind::kLink : ConfinedFolder::Kind::kMissing;
    }
    const int next = ::openat(out.Get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) {
      // Replaced by a link since it was looked at.
      error = std::generic_category().message(errno);
      return errno == ELOOP || errno == ENOTDIR ? ConfinedFolder::Kind::kLink : ConfinedFolder::Kind::kMissing;
    }
    out.Reset(next);
  }
  return ConfinedFolder::Kind::kRegular;
}

}  // namespace

bool ConfinedFolder::IsPlainName(std::string_view name, std::string& error) {
  if (name.empty()) {
    error = "no file name given";
    return false;
  }
  if (name.front() == '/') {
    error = "an absolute path";
    return false;
  }
  if (name.find('\0') != std::string_view::npos) {
    error = "a name with a NUL byte";
    return false;
  }
  for (const std::string& part : Components(name)) {
    if (part.empty() || part == ".") {
      error = "an empty or \".\" step in the path";
      return false;
    }
    if (part == "..") {
      error = "a path that leaves the folder";
      return false;
    }
  }
  return true;
}

ConfinedFolder::Kind ConfinedFolder::Inspect(const std::string& name, std::string& error) const {
  error.clear();
  if (!IsPlainName(name, error)) {
    return Kind::kOther;
  }
  const std::vector<std::string> parts = Components(name);
  Descriptor parent(-1);
  if (const Kind reached = OpenParent(m_folder, parts, parent, error); reached != Kind::kRegular) {
    return reached;
  }
  struct stat info {};
  if (::fstatat(parent.Get(), parts.back().c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    error = errno == ENOENT ? std::string() : std::generic_category().message(errno);
    return Kind::kMissing;
  }
  return KindOf(info.st_mode);
}

bool ConfinedFolder::Read(const std::string& name, std::string& bytes, std::string& error, uint64_t maxSize) const {
  bytes.clear();
  if (!IsPlainName(name, error)) {
    return false;
  }
  const std::vector<std::string> parts = Components(name);
  Descriptor parent(-1);
  if (const Kind reached = OpenParent(m_folder, parts, parent, error); reached != Kind::kRegular) {
    if (reached == Kind::kLink) {
      error = "leads through a symbolic link";
    } else if (error.empty()) {
      error = std::generic_category().message(ENOENT);
    }
    return false;
  }
  return FileSystem::ReadFileAt(parent.Get(), parts.back(), true, bytes, error, maxSize);
}

const char* ConfinedFolder::Describe(Kind kind) {
  switch (kind) {
    case Kind::kMissing:
      return "does not exist";
    case Kind::kRegular:
      return "is a regular file";
    case Kind::kLink:
      return "is a symbolic link";
    case Kind::kDirectory:
      return "is a folder, not a file";
    case Kind::kOther:
      return "is not a regular file";
  }
  return "is not a regular file";
}

}  // namespace util
