#include "oxk/Markup.h"

namespace oxk {

geo::Location Markup::GetLocation() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_location;
}

void Markup::SetLocation(const geo::Location& location) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_location = location;
}

bool Markup::IsVisible() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_visible;
}

void Markup::SetVisibility(bool visible) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_visible = visible;
}

int32_t Markup::GetPageNum() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_pageNum;
}

void Markup::SetPageNum(int32_t page) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_pageNum = page;
}

MarkupController* Markup::GetController() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_controller;
}

void Markup::SetController(MarkupController* controller) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_controller = controller;
}

bool Markup::IsSelected() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_selected;
}

util::SmartPtr<View> Markup::GetSelectionView() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_selectionView;
}

void Markup::SetSelected(bool selected, const util::SmartPtr<View>& view) {
  util::SmartPtr<View> previous;
  std::lock_guard<std::mutex> guard(m_mutex);
  m_selected = selected;
  previous = m_selectionView;
  m_selectionView = selected ? view : util::SmartPtr<View>();
}

void Markup::NotifyContentChanged() {
  std::lock_guard<std::mutex> guard(m_mutex);
  ++m_contentVersion;
}

uint64_t Markup::GetContentVersion() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_contentVersion;
}

void Markup::GetContent(const geo::Pipeline& /*pipeline*/, oxcontext::Context2D* /*context*/, int32_t /*n*/,
                        std::vector<util::SmartPtr<oxmu::Primitive>>& /*primitives*/) const {}

util::SmartPtr<Markup> Markup::GetShadow() const {
  return {};
}

}  // namespace oxk
