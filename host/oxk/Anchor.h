// Where an opened model lives: a folder whose files (symbol shapes and images packed
// with the model) can be named by url. Names stay inside the folder: one that would
// lead out of it (absolute, or with a ".." step) names nothing.
//
// A host that packs a file into the model before saving it (as the authoring application
// does when a symbol is placed) names where the file waits meanwhile with
// SetPendingFile; until the model is saved, the file's name leads there.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "oxk/Object.h"
#include "util/Symbol.h"

namespace oxk {

class Anchor : public Object {
 public:
  explicit Anchor(std::string folder) : m_folder(std::move(folder)) {}

  [[nodiscard]] const std::string& GetFolder() const { return m_folder; }
  // "file:///" url of the named file inside the model's folder. True when the anchor has a
  // folder and the name stays inside it (the file itself need not exist); otherwise url
  // is emptied.
  bool GetURLForFileSource(const util::Symbol& fileName, util::Symbol& url, bool absolute) const;

  // The file packed as fileName waits at path (empty: it waits no more).
  void SetPendingFile(const util::Symbol& fileName, const std::string& path);

  // "file:///a/b" -> "/a/b"; "file:////a/b" -> "/a/b"; "file:///C:/x" -> "C:/x"; anything
  // else is already a path.
  [[nodiscard]] static std::string FilePathFromURL(const std::string& url);

 protected:
  ~Anchor() override = default;

 private:
  std::string m_folder;
  mutable std::mutex m_mutex;
  std::map<util::Symbol, std::string> m_pending;
};

}  // namespace oxk
