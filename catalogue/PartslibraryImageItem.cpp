#include "catalogue/PartslibraryImageItem.h"

#include "catalogue/PartslibraryOlItem.h"

namespace oxsymbols {

void PartslibraryImageItem::SetTitle(const std::string& title) {
  // Frozen: generated titles end up in saved library files.
  m_fields.SetTitle(title, "Image ", GetID());
}

void PartslibraryImageItem::ComputeDialogThumbnailUrl(std::string& url) {
  // Frozen: the size markers of thumbnail file names.
  PartslibraryOlItem::ComputeThumbnailUrl(url, "64x64", "192x192");
}

}  // namespace oxsymbols
