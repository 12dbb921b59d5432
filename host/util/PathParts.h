// util::FileSpec, a file path taken apart: location (folder), extra folders, base name and extension.
//
// Both '/' and '\\' separate components when a path is split, so library files written
// on another platform still split; joining always uses DIR_SEP_CHAR.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace util {

class FileSpec {
 public:
  static constexpr char DIR_SEP_CHAR = '/';

  FileSpec() = default;
  explicit FileSpec(const std::string& path);

  // The folder part; trailing separators are dropped (a lone "/" stays).
  void SetLocation(const std::string& location);
  // Appends one folder below the location.
  void DirPushBack(const std::string& folder);
  void SetFileBaseName(const std::string& baseName) { m_baseName = baseName; }
  void SetFileExtension(const std::string& extension) { m_extension = extension; }

  // The whole path: folder, separator, file. Without a file part, the folder alone.
  [[nodiscard]] std::string GetFileSpec() const;
  // The folder (location and pushed folders); with withTrailingSeparator a non-empty
  // folder ends with DIR_SEP_CHAR.
  [[nodiscard]] std::string GetLocation(bool withTrailingSeparator) const;
  // Base name and extension joined by a dot (no dot without an extension).
  [[nodiscard]] std::string GetFile() const;
  [[nodiscard]] const std::string& GetFileBaseName() const { return m_baseName; }
  [[nodiscard]] const std::string& GetFileExtension() const { return m_extension; }

  // "/x", "\\x", "C:/x" and "C:\\x" are absolute; everything else is relative.
  [[nodiscard]] static bool IsAbsolute(std::string_view path);
  [[nodiscard]] static bool IsSeparator(char c) { return c == '/' || c == '\\'; }

 private:
  std::string m_location;
  std::vector<std::string> m_folders;
  std::string m_baseName;
  std::string m_extension;
};

}  // namespace util
