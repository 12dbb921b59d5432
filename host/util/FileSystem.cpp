#include "util/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace util {

namespace fs = std::filesystem;

bool FileSystem::FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool FileSystem::DirExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

FileKind FileSystem::GetKind(const std::string& path, std::string* error) {
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    if (error != nullptr) {
      *error = path.empty() || errno == ENOENT ? std::string() : std::generic_category().message(errno);
    }
    return FileKind::kMissing;
  }
  if (S_ISREG(info.st_mode)) {
    return FileKind::kRegular;
  }
  return S_ISDIR(info.st_mode) ? FileKind::kDirectory : FileKind::kOther;
}

bool FileSystem::Mkdir(const std::string& path) {
  if (path.empty()) {
    return false;
  }
  std::error_code ec;
  fs::create_directories(path, ec);
  return fs::is_directory(path, ec);
}

bool FileSystem::DeletePath(const std::string& path, bool onlyIfEmpty) {
  if (path.empty()) {
    return false;
  }
  std::error_code ec;
  if (onlyIfEmpty) {
    fs::remove(path, ec);
  } else {
    fs::remove_all(path, ec);
  }
  return !fs::exists(fs::symlink_status(path, ec));
}

namespace {

// An open regular file, closed when it goes.
class RegularFile {
 public:
  // Opening without blocking lets a FIFO be recognised instead of waited on; the flag is
  // cleared afterwards so that reads of the regular file behave as usual.
  // folder is a descriptor of the folder that path is relative to (AT_FDCWD: the
  // process's); with noFollow a symbolic link at path is refused.
  RegularFile(int folder, const std::string& path, bool noFollow) {
    m_fd = ::openat(folder, path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (noFollow ? O_NOFOLLOW : 0));
    if (m_fd < 0) {
      m_error = noFollow && errno == ELOOP ? "is a symbolic link" : std::generic_category().message(errno);
      return;
    }
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
      m_error = std::generic_category().message(errno);
    } else if (!S_ISREG(info.st_mode)) {
      m_error = S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file";
    } else {
      m_size = static_cast<uint64_t>(info.st_size);
      const int flags = ::fcntl(m_fd, F_GETFL);
      if (flags >= 0) {
        (void)::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK);
      }
      return;
    }
    ::close(m_fd);
    m_fd = -1;
  }
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;
  ~RegularFile() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }

  [[nodiscard]] bool IsOpen() const { return m_fd >= 0; }
  [[nodiscard]] uint64_t Size() const { return m_size; }
  [[nodiscard]] const std::string& Error() const { return m_error; }

  // Reads up to count bytes into out; the number read, or -1 (error set) on failure. A
  // file that shrank meanwhile gives fewer bytes.
  [[nodiscard]] ptrdiff_t Read(char* out, size_t count) {
    size_t done = 0;
    while (done < count) {
      const ssize_t got = ::read(m_fd, out + done, count - done);
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        m_error = std::generic_category().message(errno);
        return -1;
      }
      if (got == 0) {
        break;
      }
      done += static_cast<size_t>(got);
    }
    return static_cast<ptrdiff_t>(done);
  }

 private:
  int m_fd = -1;
  uint64_t m_size = 0;
  std::string m_error;
};

// Opens path, asks allocate(size) for room and fills it with one sized read.
template <class Allocate>
bool ReadWhole(int folder, const std::string& path, bool noFollow, uint64_t maxSize, std::string& error,
               Allocate allocate) {
  RegularFile file(folder, path, noFollow);
  if (!file.IsOpen()) {
    error = file.Error();
    return false;
  }
  if (file.Size() > maxSize || file.Size() > PTRDIFF_MAX) {
    error = "larger than " + std::to_string(maxSize) + " bytes";
    return false;
  }
  const auto length = static_cast<size_t>(file.Size());
  const ptrdiff_t got = file.Read(allocate(length), length);
  if (got < 0) {
    error = file.Error();
    return false;
  }
  if (static_cast<size_t>(got) != length) {
    error = "the file changed while it was read";
    return false;
  }
  return true;
}

}  // namespace

bool FileSystem::ReadFile(const std::string& path, std::string& contents) {
  std::string ignored;
  return ReadFile(path, contents, ignored);
}

bool FileSystem::ReadFile(const std::string& path, std::string& contents, std::string& error, uint64_t maxSize) {
  return ReadFileAt(AT_FDCWD, path, false, contents, error, maxSize);
}

bool FileSystem::ReadFileAt(int folder, const std::string& name, bool noFollow, std::string& contents,
                            std::string& error, uint64_t maxSize) {
  const bool ok = ReadWhole(folder, name, noFollow, maxSize, error, [&contents](size_t size) {
    contents.resize(size);
    return contents.data();
  });
  if (!ok) {
    contents.clear();
  }
  return ok;
}

bool FileSystem::ReadFileStart(const std::string& path, size_t count, std::string& bytes, uint64_t& fileSize,
                               std::string& error) {
  bytes.clear();
  fileSize = 0;
  RegularFile file(AT_FDCWD, path, false);
  if (!file.IsOpen()) {
    error = file.Error();
    return false;
  }
  fileSize = file.Size();
  bytes.resize(count);
  const ptrdiff_t got = file.Read(bytes.data(), count);
  if (got < 0) {
    error = file.Error();
    bytes.clear();
    return false;
  }
  bytes.resize(static_cast<size_t>(got));
  return true;
}

bool FileSystem::ReadFile(const std::string& path, std::unique_ptr<char[]>& contents, size_t& size, size_t padding) {
  size = 0;
  std::string ignored;
  const bool ok = ReadWhole(AT_FDCWD, path, false, UINT64_MAX, ignored, [&](size_t length) {
    contents = std::make_unique_for_overwrite<char[]>(length + 1 + padding);  // never a zero-sized array
    std::memset(contents.get() + length, 0, 1 + padding);
    size = length;
    return contents.get();
  });
  if (!ok) {
    contents.reset();
    size = 0;
  }
  return ok;
}

}  // namespace util
