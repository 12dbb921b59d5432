// File-system operations the module needs, over std::filesystem. Failures are results.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace util {

class FileSystem {
 public:
  [[nodiscard]] static bool FileExists(const std::string& path);
  [[nodiscard]] static bool DirExists(const std::string& path);
  // Creates the folder and any missing parents; true when it exists afterwards.
  static bool Mkdir(const std::string& path);
  // Removes a file, or a folder with everything in it. With onlyIfEmpty a non-empty
  // folder is left alone. True when nothing is left at path.
  static bool DeletePath(const std::string& path, bool onlyIfEmpty = false);
  // Reads a whole file with one sized read; false when it cannot be opened or read.
  [[nodiscard]] static bool ReadFile(const std::string& path, std::string& contents);
  // The same into a buffer that is not cleared before the read, for files large enough
  // that clearing would show; size is the number of bytes read. Padding zero bytes
  // follow the contents (always at least one).
  [[nodiscard]] static bool ReadFile(const std::string& path, std::unique_ptr<char[]>& contents, size_t& size,
                                     size_t padding = 0);
};

}  // namespace util
