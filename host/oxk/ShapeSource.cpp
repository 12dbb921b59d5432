#include "oxk/ShapeSource.h"

#include "oxk/Anchor.h"

namespace oxk {

bool ShapeSource::Create(util::SmartPtr<ShapeSource>& out, const util::Symbol& url, const geo::FBox& /*box*/,
                         int32_t /*flags*/) {
  out = util::SmartPtr<ShapeSource>(new ShapeSource(url));
  return true;
}

std::string ShapeSource::GetFilePath() const {
  return Anchor::FilePathFromURL(m_url.str());
}

}  // namespace oxk
