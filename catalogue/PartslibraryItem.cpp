#include "catalogue/PartslibraryItem.h"

#include "catalogue/HostSettings.h"
#include "util/FileSpec.h"

namespace oxsymbols {

void PartslibraryItem::CheckRelativeUrlAndConcatIfNeeded(std::string& url) const {
  if (util::FileSpec::IsAbsolute(url)) {
    return;
  }
  // Stored urls start with the library folder's name, so the base is its parent folder.
  std::string base;
  if (IsShared()) {
    base = detail::GetSharedCacheFolder();
  } else {
    (void)detail::GetIllustrationBaseUrl(base);
  }
  if (IsStandard()) {
    const util::FileSpec parts(url);
    url = base + util::FileSpec::DIR_SEP_CHAR + parts.GetLocation(true) + parts.GetFile();
  } else {
    url = detail::NormalisedLocation(base) + util::FileSpec::DIR_SEP_CHAR + url;
  }
  detail::NormaliseSlashes(url);
}

}  // namespace oxsymbols
