// A self-contained HTML page of the picker data: an index of the categories, a search
// box that filters the entries, and one section per category with each entry's
// thumbnail, label and tooltip as the picker shows them. Each distinct thumbnail image
// is embedded once; entries without an embeddable one show a placeholder. The page holds
// no local path.
#pragma once

#include <string>

#include "ThumbnailFiles.h"
#include "catalogue/PartslibraryList.h"

namespace symbols_tool {

class GalleryPage {
 public:
  [[nodiscard]] static std::string Build(const oxsymbols::PartslibraryList& list, const ThumbnailFiles& thumbnails);
};

}  // namespace symbols_tool
