// A folder whose files are named relative to it and are never reached outside it, such
// as the folder of an opened model with the files packed beside it. A name is a relative
// path of plain components (no "." or "..", nothing absolute); no step of the way may be
// a symbolic link, so a link inside the folder never leads a reader out of it; and only
// regular files are read, opened without blocking.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace util {

class ConfinedFolder {
 public:
  // What a name stands for, no link followed.
  enum class Kind { kMissing, kRegular, kLink, kDirectory, kOther };

  // folder may be relative to the working folder; links in it are followed (it is the
  // caller's choice of folder).
  explicit ConfinedFolder(std::string folder) : m_folder(std::move(folder)) {}

  [[nodiscard]] const std::string& GetFolder() const { return m_folder; }

  // True when name is a relative path of plain components; otherwise error says why.
  [[nodiscard]] static bool IsPlainName(std::string_view name, std::string& error);

  // What name is inside the folder. kLink when any step of the way is a symbolic link;
  // kMissing (error empty) when it does not exist; error holds the system's reason when
  // it cannot be looked at.
  [[nodiscard]] Kind Inspect(const std::string& name, std::string& error) const;

  // Reads the regular file at name, refusing names that are not plain, links on the way,
  // anything but a regular file and files larger than maxSize; error says why.
  [[nodiscard]] bool Read(const std::string& name, std::string& bytes, std::string& error,
                          uint64_t maxSize = UINT64_MAX) const;

  // The kind in words for a message ("is a symbolic link").
  [[nodiscard]] static const char* Describe(Kind kind);

 private:
  std::string m_folder;
};

}  // namespace util
