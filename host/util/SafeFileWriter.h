// Replaces a file without ever leaving it half-written: the new contents go to a
// temporary file in the same folder, are flushed to disk, and are then renamed over
// the target. A crash at any point leaves either the old file or the new one.
//
// A target that is a symbolic link is written where the link points, and the link stays;
// a file being replaced keeps its permission bits (and owner, where allowed); a target
// that exists but is not a regular file (a folder, a FIFO, a device) is refused.
#pragma once

#include <string>
#include <string_view>

namespace util {

class SafeFileWriter {
 public:
  // Writes contents as the new file at path; false (and the old file untouched) when
  // any step fails.
  [[nodiscard]] static bool Write(const std::string& path, std::string_view contents);
  // The same; on failure error says why, in the system's words where it gave them
  // ("Permission denied", "No space left on device").
  [[nodiscard]] static bool Write(const std::string& path, std::string_view contents, std::string& error);
  // Writes contents to a new file in folder, flushed to disk, whose name is prefix and six
  // characters that make it unique; path gets it. False (nothing left) on failure.
  [[nodiscard]] static bool WriteTemporary(const std::string& folder, const std::string& prefix,
                                           std::string_view contents, std::string& path, std::string& error);
  // Flushes the folder's entries (made by renames and removals) to disk.
  static bool SyncFolder(const std::string& folder);
  // The file a write to path replaces: path with its symbolic links followed (the last
  // link may point at a file that does not exist yet). False when the links loop.
  [[nodiscard]] static bool ResolveTarget(const std::string& path, std::string& target, std::string& error);
};

}  // namespace util
