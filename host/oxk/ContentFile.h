// Saves a tree of serialized content as an XML document and loads it back, so that
// documents with annotations persist. Saving is crash-safe (temporary file, flush,
// rename). Numbers are written in their shortest exact form, so a load gives back the
// very values that were saved.
//
// Frozen layout:
//   <content name="N">
//     <property key="K" type="symbol|bool|int|float|color|point|vector|quaternion|location">V</property>
//     <content name="child">...</content>
//   </content>
#pragma once

#include <string>

#include "oxk/SerializedContentElement.h"
#include "util/SmartPtr.h"

namespace oxk {

class ContentFile {
 public:
  [[nodiscard]] static bool Save(const SerializedContentElement& root, const std::string& path);
  [[nodiscard]] static std::string ToText(const SerializedContentElement& root);
  // Empty when the file is missing, not well-formed, or nests deeper than the element
  // limit. Properties of unknown type are skipped. Loaded elements are closed.
  [[nodiscard]] static util::SmartPtr<SerializedContentElement> Load(const std::string& path);
  [[nodiscard]] static util::SmartPtr<SerializedContentElement> FromText(const std::string& text);
};

}  // namespace oxk
