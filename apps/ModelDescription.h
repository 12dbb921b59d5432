// The model description of a document, as a file the tool edits: the shape files its
// parts name, and the placement and visibility of a part. The file is kept as its user
// wrote it (declaration, comments, white space, elements and attributes the tool does
// not know); a save changes only the attributes that were set, so its size follows the
// input's. The reference host reads the same file (oxk::ModelFile).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "geo/Location.h"

namespace symbols_tool {

class ModelDescription {
 public:
  ModelDescription();
  ~ModelDescription();
  ModelDescription(const ModelDescription&) = delete;
  ModelDescription& operator=(const ModelDescription&) = delete;

  // Reads the description from its text; label names it in messages. False (error says
  // why) when the text is not well-formed or holds no <model>.
  [[nodiscard]] bool Parse(const std::string& text, const std::string& label, std::string& error);
  // The shape files of every part, relative to the description's folder, in document
  // order, each once.
  [[nodiscard]] std::vector<std::string> GetShapeFiles() const;
  // False when no part has that model-tree path ("/1/4": the ids of the nested parts).
  [[nodiscard]] bool SetPartLocation(const std::string& path, const geo::Location& location);
  [[nodiscard]] bool SetPartVisible(const std::string& path, bool visible);
  // Whether a setter changed anything since Parse.
  [[nodiscard]] bool IsModified() const { return m_modified; }
  // The description as it is now.
  [[nodiscard]] std::string ToText() const;

 private:
  struct Xml;
  std::unique_ptr<Xml> m_xml;
  bool m_modified = false;
};

}  // namespace symbols_tool
