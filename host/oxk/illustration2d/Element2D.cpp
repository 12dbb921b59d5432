#include "oxk/illustration2d/Element2D.h"

namespace oxk::illustration2d {

util::SmartPtr<Layer2D> Element2D::GetLayer() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_layer;
}

void Element2D::SetLayer(const util::SmartPtr<Layer2D>& layer) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_layer = layer;
}

}  // namespace oxk::illustration2d
