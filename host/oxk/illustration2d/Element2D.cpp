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

int32_t Element2D::GetPage() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_page;
}

void Element2D::SetPage(int32_t page) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_page = page;
}

}  // namespace oxk::illustration2d
