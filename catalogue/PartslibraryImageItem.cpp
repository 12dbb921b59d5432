#include "catalogue/PartslibraryImageItem.h"

#include "catalogue/PartslibraryOlItem.h"

namespace oxsymbols {

void PartslibraryImageItem::SetTitle(const std::string& title) {
  if (!title.empty()) {
    m_title = title;
    return;
  }
  // Frozen: generated titles end up in saved library files.
  m_title = "Image " + std::to_string(GetID());
}

void PartslibraryImageItem::ComputeDialogThumbnailUrl(std::string& url) {
  // Frozen: the size markers of thumbnail file names.
  PartslibraryOlItem::ComputeThumbnailUrl(url, "64x64", "192x192");
}

}  // namespace oxsymbols
