#include "oxk/ShapeSource.h"

#include "oxk/Anchor.h"

namespace oxk {

bool ShapeSource::Create(util::SmartPtr<ShapeSource>& out, const util::Symbol& url, const geo::FBox& box,
                         int32_t /*flags*/) {
  out = util::SmartPtr<ShapeSource>(new ShapeSource(url, box));
  return true;
}

geo::FBox ShapeSource::GetBBox() const {
  return m_shape->HasGeometry() ? m_shape->GetModelBox() : m_box;
}

std::string ShapeSource::GetFilePath() const {
  return Anchor::FilePathFromURL(m_url.str());
}

}  // namespace oxk
