// File-system operations the module needs, over std::filesystem and POSIX. Failures are
// results; where a caller shows them to a person, the system's own text comes with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace util {

// What a path names, links followed.
enum class FileKind { kMissing, kRegular, kDirectory, kOther };

class FileSystem {
 public:
  [[nodiscard]] static bool FileExists(const std::string& path);
  [[nodiscard]] static bool DirExists(const std::string& path);
  // kMissing also when the path cannot be looked at; error (when given) then holds the
  // system's reason, and is left empty for a path that simply does not exist.
  [[nodiscard]] static FileKind GetKind(const std::string& path, std::string* error = nullptr);
  // Creates the folder and any missing parents; true when it exists afterwards.
  static bool Mkdir(const std::string& path);
  // Removes a file, or a folder with everything in it. With onlyIfEmpty a non-empty
  // folder is left alone. True when nothing is left at path.
  static bool DeletePath(const std::string& path, bool onlyIfEmpty = false);

  // The readers below open regular files only, without blocking: a FIFO or a device in
  // place of a file is refused, never waited on or read without end.

  // Reads a whole file with one sized read; false when it cannot be opened or read.
  [[nodiscard]] static bool ReadFile(const std::string& path, std::string& contents);
  // The same, refusing files larger than maxSize bytes; error gets the reason.
  [[nodiscard]] static bool ReadFile(const std::string& path, std::string& contents, std::string& error,
                                     uint64_t maxSize = UINT64_MAX);
  // The same for a file named relative to an open folder (AT_FDCWD: the working
  // folder); with noFollow a symbolic link at name is refused ("is a symbolic link").
  [[nodiscard]] static bool ReadFileAt(int folder, const std::string& name, bool noFollow, std::string& contents,
                                       std::string& error, uint64_t maxSize = UINT64_MAX);
  // The first count bytes (fewer for a shorter file) and the file's whole size.
  [[nodiscard]] static bool ReadFileStart(const std::string& path, size_t count, std::string& bytes, uint64_t& fileSize,
                                          std::string& error);
  // The same into a buffer that is not cleared before the read, for files large enough
  // that clearing would show; size is the number of bytes read. Padding zero bytes
  // follow the contents (always at least one).
  [[nodiscard]] static bool ReadFile(const std::string& path, std::unique_ptr<char[]>& contents, size_t& size,
                                     size_t padding = 0);
};

}  // namespace util
