// A self-contained HTML page of the picker data: one section per group with its label,
// and each entry's thumbnail (embedded), label and tooltip text, as the picker shows them.
#pragma once

#include <string>

#include "catalogue/PartslibraryList.h"

namespace symbols_tool {

class GalleryPage {
 public:
  // The page for the catalogue; missing thumbnails show as an empty frame.
  [[nodiscard]] static std::string Build(const oxsymbols::PartslibraryList& list);
};

}  // namespace symbols_tool
