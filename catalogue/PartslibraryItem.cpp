#include "catalogue/PartslibraryItem.h"

#include "catalogue/UrlResolver.h"

namespace oxsymbols {

void PartslibraryItem::CheckRelativeUrlAndConcatIfNeeded(std::string& url) const {
  // Stored urls start with the library folder's name, so the base is its parent folder:
  // the shared cache folder for shared entries, the illustration base otherwise.
  detail::UrlResolver(IsShared(), IsStandard()).Resolve(url);
}

}  // namespace oxsymbols
