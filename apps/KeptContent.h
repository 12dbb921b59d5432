// What the program does not understand, it keeps: a document written by another version
// may hold, in an annotation's saved content, keys and child elements this version does
// not read, and a symbol may hold connections to parts the model does not have now
// (they come back with the part). The annotation writes only what it knows; Merge puts
// back, beside it, everything of the saved content it did not write again.
//
// A child element of the saved content is the same as one written now when it has the
// same name and the same texts (symbol values: the identifiers and names that tell one
// child from another) for the keys both hold; its numbers may have changed. Properties
// are matched by key.
#pragma once

#include "oxk/SerializedContentElement.h"
#include "util/SmartPtr.h"

namespace symbols_tool {

class KeptContent {
 public:
  // A new, closed element: written's name and entries in their order (children merged
  // with the saved child they match), then each saved property whose key written does
  // not hold, then each saved child that no written child matches.
  [[nodiscard]] static util::SmartPtr<oxk::SerializedContentElement> Merge(
      const oxk::SerializedContentElement& saved, const oxk::SerializedContentElement& written);
  // A deep copy of element under parent (which must be open), closed.
  static void CopyInto(const util::SmartPtr<oxk::SerializedContentElement>& parent,
                       const oxk::SerializedContentElement& element);
};

}  // namespace symbols_tool
