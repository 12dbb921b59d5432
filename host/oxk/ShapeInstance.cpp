#include "oxk/ShapeInstance.h"

namespace oxk {

geo::Location ShapeInstance::GetLocation() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_location;
}

void ShapeInstance::SetLocation(const geo::Location& location, bool /*notify*/) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_location = location;
}

bool ShapeInstance::IsVisible() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_visible;
}

void ShapeInstance::SetVisibility(bool visible, bool /*notify*/) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_visible = visible;
}

float ShapeInstance::GetTransparency() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_transparency;
}

void ShapeInstance::SetTransparency(float transparency) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_transparency = transparency;
}

bool ShapeInstance::GetAppearanceOverride(util::SmartPtr<oxg::Appearance>& appearance) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  appearance = m_appearance;
  return static_cast<bool>(appearance);
}

void ShapeInstance::SetAppearanceOverride(const util::SmartPtr<oxg::Appearance>& appearance) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_appearance = appearance;
}

bool ShapeInstance::GetInstance(util::SmartPtr<Instance>& instance) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  instance = m_instance;
  return static_cast<bool>(instance);
}

bool ShapeInstance::GetShapeScene(util::SmartPtr<ShapeScene>& scene) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  scene = m_scene;
  return static_cast<bool>(scene);
}

void ShapeInstance::SetInstance(const util::SmartPtr<Instance>& instance) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_instance = instance;
}

void ShapeInstance::SetShapeScene(const util::SmartPtr<ShapeScene>& scene) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_scene = scene;
}

}  // namespace oxk
