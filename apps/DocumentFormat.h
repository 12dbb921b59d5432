// The names a document's files depend on, shared by the sources of Document.
#pragma once

#include <string>

#include "util/Symbol.h"

namespace symbols_tool::document_format {

// Frozen: how the content file holds the annotations. One "annotation" element each, with
// the identifier path the document knows it by; inside it, the annotation's own content.
inline const util::Symbol kDocumentElement("document");
inline const util::Symbol kAnnotationElement("annotation");
inline const util::Symbol kIdPathKey("idPath");
// Frozen: the prefix of a new document's folder while it is made.
inline constexpr const char* kNewFolderInfix = ".symbols-new-";

inline std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

}  // namespace symbols_tool::document_format
