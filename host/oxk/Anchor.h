// Where an opened model lives: a folder whose files (symbol shapes and images packed
// with the model) can be named by url.
#pragma once

#include <string>

#include "oxk/Object.h"
#include "util/Symbol.h"

namespace oxk {

class Anchor : public Object {
 public:
  explicit Anchor(std::string folder) : m_folder(std::move(folder)) {}

  [[nodiscard]] const std::string& GetFolder() const { return m_folder; }
  // "file:///" url of the named file inside the model's folder. True when the anchor has a
  // folder (the file itself need not exist).
  bool GetURLForFileSource(const util::Symbol& fileName, util::Symbol& url, bool absolute) const;

  // "file:///a/b" -> "/a/b"; "file:////a/b" -> "/a/b"; "file:///C:/x" -> "C:/x"; anything
  // else is already a path.
  [[nodiscard]] static std::string FilePathFromURL(const std::string& url);

 protected:
  ~Anchor() override = default;

 private:
  std::string m_folder;
};

}  // namespace oxk
