// A shape shown in a shape scene: its location, visibility, transparency and an
// optional appearance override.
#pragma once

#include <mutex>

#include "geo/Location.h"
#include "oxg/Appearance.h"
#include "oxk/Instance.h"
#include "oxk/Object.h"
#include "oxk/ShapeScene.h"
#include "util/SmartPtr.h"

namespace oxk {

class ShapeInstance : public Object {
 public:
  ShapeInstance() = default;

  [[nodiscard]] geo::Location GetLocation() const;
  void SetLocation(const geo::Location& location, bool notify);
  [[nodiscard]] bool IsVisible() const;
  void SetVisibility(bool visible, bool notify);
  // Transparency in [0, 1]; 0 is opaque.
  [[nodiscard]] float GetTransparency() const;
  void SetTransparency(float transparency);
  // False (out emptied) when the shape shows its own appearance.
  bool GetAppearanceOverride(util::SmartPtr<oxg::Appearance>& appearance) const;
  void SetAppearanceOverride(const util::SmartPtr<oxg::Appearance>& appearance);

  // The tree instance and the scene this shape belongs to; false when none.
  bool GetInstance(util::SmartPtr<Instance>& instance) const;
  bool GetShapeScene(util::SmartPtr<ShapeScene>& scene) const;
  void SetInstance(const util::SmartPtr<Instance>& instance);
  void SetShapeScene(const util::SmartPtr<ShapeScene>& scene);

 protected:
  ~ShapeInstance() override = default;

 private:
  mutable std::mutex m_mutex;
  geo::Location m_location;
  bool m_visible = true;
  float m_transparency = 0.0f;
  util::SmartPtr<oxg::Appearance> m_appearance;
  util::SmartPtr<Instance> m_instance;
  util::SmartPtr<ShapeScene> m_scene;
};

}  // namespace oxk
