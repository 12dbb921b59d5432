// A shape shown in a shape scene: its tree instance and shape, location, visibility,
// selection, highlight, colour and appearance override, and transparency. Changes are
// reported to the scene the instance is in (a plain back-pointer the scene clears).
//
// Transparency is the host's opacity factor: 1 draws the shape solid, 0.1 leaves it
// 90 % see-through, 0 lets it vanish.
#pragma once

#include <mutex>

#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxg/Appearance.h"
#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/OperationStep.h"
#include "orrinsymbols/oxk/Shape.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class ShapeScene;

class ShapeInstance : public Object {
 public:
  ShapeInstance() : m_instance(nullptr) {}
  ShapeInstance(const util::SmartPtr<Instance>& instance, const util::SmartPtr<Shape>& shape)
      : m_instance(instance), m_shape(shape) {}

  [[nodiscard]] geo::Location GetLocation() const;
  void SetLocation(const geo::Location& location, bool notify);
  [[nodiscard]] bool IsVisible() const;
  void SetVisibility(bool visible, bool notify);
  [[nodiscard]] bool IsSelected() const;
  void SetSelected(bool selected);
  [[nodiscard]] bool IsHighlighted() const;
  void SetHighlight(bool highlighted);
  void RemoveHighlight(int32_t flags);

  // The opacity factor in [0, 1] (1 opaque); values outside are clamped.
  [[nodiscard]] float GetTransparency() const;
  void SetTransparency(float transparency);
  void OverrideTransparency(float transparency, bool notify, bool recursive,
                            const util::SmartPtr<OperationStep>& operation, bool undoable);
  // False (out emptied) when the shape shows its own appearance.
  bool GetAppearanceOverride(util::SmartPtr<oxg::Appearance>& appearance) const;
  void SetAppearanceOverride(const util::SmartPtr<oxg::Appearance>& appearance);
  // Colours the shape: an appearance override whose material is the current one (the
  // override's, else the shape's own default material) with only its diffuse colour
  // changed.
  void SetColor(const geo::Color& color, bool notify, int32_t faceAction, int32_t faceSkip, bool recursive);
  // Drops any appearance override and colour: the shape shows its own look again.
  void RestoreAppearanceOverride(bool notify, int32_t faceSkip);

  [[nodiscard]] util::SmartPtr<Shape> GetShape() const;
  // The tree instance and the scene of this shape; false (out emptied) when none.
  bool GetInstance(util::SmartPtr<Instance>& instance) const;
  // The tree instance without taking a reference: it is set once, when the shape
  // instance is made, so observers that look at it on every notification need not count.
  [[nodiscard]] const util::SmartPtr<Instance>& GetInstance() const { return m_instance; }
  bool GetShapeScene(util::SmartPtr<ShapeScene>& scene) const;

  // The material a shape shows without an override.
  [[nodiscard]] static util::SmartPtr<oxg::Material> GetDefaultMaterial();

 protected:
  ~ShapeInstance() override = default;

 private:
  friend class ShapeScene;
  void SetScene(ShapeScene* scene);
  [[nodiscard]] util::SmartPtr<ShapeScene> Scene() const;

  mutable std::mutex m_mutex;
  // Set once: read without the lock by every scene notification.
  const util::SmartPtr<Instance> m_instance;
  util::SmartPtr<Shape> m_shape;
  ShapeScene* m_scene = nullptr;
  geo::Location m_location;
  bool m_visible = true;
  bool m_selected = false;
  bool m_highlighted = false;
  float m_transparency = 1.0f;
  util::SmartPtr<oxg::Appearance> m_appearance;
};

}  // namespace oxk
