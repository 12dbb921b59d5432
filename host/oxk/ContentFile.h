// Saves a tree of serialized content as an XML document and loads it back, so that
// documents with annotations persist. Saving is crash-safe (temporary file, flush,
// rename). Numbers are written in their shortest exact form, so a load gives back the
// very values that were saved; texts are written as valid UTF-8 made of characters XML
// can hold (anything else becomes U+FFFD), so the file is always well-formed.
//
// Loading reads a document exactly or not at all: a file that is not well-formed UTF-8
// XML, holds more than the one root, anything but the elements and attributes below
// (comments, stray text, unknown types), a value that does not parse whole or is not a
// finite number, a key given twice in one element, or nesting deeper than the element
// limit is refused with the line and what is wrong.
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
  // The same, refusing (error says which key) a tree holding a number that is not finite,
  // which no load would take back.
  [[nodiscard]] static bool ToText(const SerializedContentElement& root, std::string& text, std::string& error);
  // Empty when the file cannot be read or is refused (see above); error then says why,
  // "line N: ..." for what is wrong inside. Loaded elements are closed.
  [[nodiscard]] static util::SmartPtr<SerializedContentElement> Load(const std::string& path);
  [[nodiscard]] static util::SmartPtr<SerializedContentElement> Load(const std::string& path, std::string& error);
  [[nodiscard]] static util::SmartPtr<SerializedContentElement> FromText(const std::string& text);
  [[nodiscard]] static util::SmartPtr<SerializedContentElement> FromText(const std::string& text, std::string& error);

  // Whether every number the value holds is finite.
  [[nodiscard]] static bool IsFinite(const SerializedContentElement::Value& value);
};

}  // namespace oxk
