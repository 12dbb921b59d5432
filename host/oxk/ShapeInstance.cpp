#include "oxk/ShapeInstance.h"

#include <algorithm>

#include "oxk/ShapeScene.h"

namespace oxk {

geo::Location ShapeInstance::GetLocation() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_location;
}

void ShapeInstance::SetLocation(const geo::Location& location, bool /*notify*/) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_location = location;
  }
  if (auto scene = Scene()) {
    scene->NotifyLocation(this);
  }
}

bool ShapeInstance::IsVisible() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_visible;
}

void ShapeInstance::SetVisibility(bool visible, bool /*notify*/) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_visible == visible) {
      return;
    }
    m_visible = visible;
  }
  if (auto scene = Scene()) {
    scene->NotifyVisibility(this, visible);
  }
}

bool ShapeInstance::IsSelected() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_selected;
}

void ShapeInstance::SetSelected(bool selected) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_selected == selected) {
      return;
    }
    m_selected = selected;
  }
  if (auto scene = Scene()) {
    scene->NotifySelection(this, selected);
  }
}

bool ShapeInstance::IsHighlighted() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_highlighted;
}

void ShapeInstance::SetHighlight(bool highlighted) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_highlighted == highlighted) {
      return;
    }
    m_highlighted = highlighted;
  }
  if (auto scene = Scene()) {
    scene->NotifyHighlight(this, highlighted);
  }
}

void ShapeInstance::RemoveHighlight(int32_t /*flags*/) {
  SetHighlight(false);
}

float ShapeInstance::GetTransparency() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_transparency;
}

void ShapeInstance::SetTransparency(float transparency) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_transparency = std::clamp(transparency, 0.0f, 1.0f);
  }
  if (auto scene = Scene()) {
    scene->NotifyTransparency(this);
  }
}

void ShapeInstance::OverrideTransparency(float transparency, bool /*notify*/, bool /*recursive*/,
                                         const util::SmartPtr<OperationStep>& /*operation*/, bool /*undoable*/) {
  SetTransparency(transparency);
}

bool ShapeInstance::GetAppearanceOverride(util::SmartPtr<oxg::Appearance>& appearance) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  appearance = m_appearance;
  return static_cast<bool>(appearance);
}

void ShapeInstance::SetAppearanceOverride(const util::SmartPtr<oxg::Appearance>& appearance) {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_appearance = appearance;
  }
  if (auto scene = Scene()) {
    scene->NotifyAppearance(this);
  }
}

util::SmartPtr<oxg::Material> ShapeInstance::GetDefaultMaterial() {
  // Never destroyed: shape instances may be coloured while the process exits.
  static auto* material = new util::SmartPtr<oxg::Material>(
      new oxg::Material(geo::Color(0.2f, 0.2f, 0.2f, 1), geo::Color(0.8f, 0.8f, 0.8f, 1), geo::Color(0, 0, 0, 1),
                        geo::Color(0, 0, 0, 1), 0.0f));
  return *material;
}

void ShapeInstance::SetColor(const geo::Color& color, bool /*notify*/, int32_t /*faceAction*/, int32_t /*faceSkip*/,
                             bool /*recursive*/) {
  util::SmartPtr<oxg::Material> current;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_appearance || !m_appearance->GetMaterial(current)) {
      current = GetDefaultMaterial();
    }
  }
  util::SmartPtr<oxg::Material> material(new (std::nothrow) oxg::Material(
      current->GetAmbient(), color, current->GetEmissive(), current->GetSpecular(), current->GetShininess()));
  util::SmartPtr<oxg::Appearance> appearance(material ? new (std::nothrow) oxg::Appearance(material) : nullptr);
  if (!appearance) {
    return;  // out of geometry memory: the shape keeps its look
  }
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_appearance = appearance;
  }
  if (auto scene = Scene()) {
    scene->NotifyColor(this);
  }
}

void ShapeInstance::RestoreAppearanceOverride(bool /*notify*/, int32_t /*faceSkip*/) {
  SetAppearanceOverride({});
}

util::SmartPtr<Shape> ShapeInstance::GetShape() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_shape;
}

bool ShapeInstance::GetInstance(util::SmartPtr<Instance>& instance) const {
  instance = m_instance;
  return static_cast<bool>(instance);
}

bool ShapeInstance::GetShapeScene(util::SmartPtr<ShapeScene>& scene) const {
  scene = Scene();
  return static_cast<bool>(scene);
}

void ShapeInstance::SetScene(ShapeScene* scene) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_scene = scene;
}

util::SmartPtr<ShapeScene> ShapeInstance::Scene() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return util::SmartPtr<ShapeScene>(m_scene);
}

}  // namespace oxk
