// The model description of a document, as a file the tool edits: the shape files its
// parts name, and the placement and visibility of a part, written back crash-safe. The
// reference host reads the same file (oxk::ModelFile).
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

  // False (error says why) when the file cannot be read or holds no <model>.
  [[nodiscard]] bool Load(const std::string& path, std::string& error);
  // The shape files of every part, relative to the description's folder, in document
  // order, each once.
  [[nodiscard]] std::vector<std::string> GetShapeFiles() const;
  // False when no part has that model-tree path ("/1/4": the ids of the nested parts).
  [[nodiscard]] bool SetPartLocation(const std::string& path, const geo::Location& location);
  [[nodiscard]] bool SetPartVisible(const std::string& path, bool visible);
  // Writes the description back where it was loaded from.
  [[nodiscard]] bool Save(std::string& error) const;

 private:
  struct Xml;
  std::unique_ptr<Xml> m_xml;
  std::string m_path;
};

}  // namespace symbols_tool
