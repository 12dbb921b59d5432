// Replaces a file without ever leaving it half-written: the new contents go to a
// temporary file in the same folder, are flushed to disk, and are then renamed over
// the target. A crash at any point leaves either the old file or the new one.
#pragma once

#include <string>
#include <string_view>

namespace util {

class SafeFileWriter {
 public:
  // Writes contents as the new file at path; false (and the old file untouched) when
  // any step fails.
  [[nodiscard]] static bool Write(const std::string& path, std::string_view contents);
};

}  // namespace util
