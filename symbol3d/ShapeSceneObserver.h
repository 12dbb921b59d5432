// The 3D symbol's watcher of its shape scene. It turns the scene's notifications into
// symbol behaviour: a connected part that appears, moves, hides or leaves takes the
// symbol along; a moved symbol records new offsets; changes of the symbol's own look are
// folded into the annotation's visibility once per scene update. It reports to its
// annotation through a plain back-pointer, which the annotation clears when it lets the
// observer go; every callback after that does nothing. A callback holds a counted
// reference to the annotation while it runs, taken only while the annotation still has
// others, so that neither the call nor another thread frees it underneath.
#pragma once

#include <atomic>

#include "orrinsymbols/conc/Mutex.h"
#include "orrinsymbols/oxk/ShapeSceneObserver.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

class SymbolAnnotation;

class ShapeSceneObserver : public oxk::ShapeSceneObserver {
 public:
  explicit ShapeSceneObserver(SymbolAnnotation* owner) : annotation(owner) {}

  [[nodiscard]] static util::Symbol GetObjectClass();
  // Called by the annotation when it drops the observer (also from its destructor): once
  // it returns, no callback reaches the annotation any more.
  void ClearAnnotation();
  [[nodiscard]] SymbolAnnotation* GetAnnotation() const;

  // A symbol keeps watching a scene that was cleared: its parts may come back.
  [[nodiscard]] bool StaysOnSceneClear() const override { return true; }
  void OnSceneClear(oxk::Scene* scene) override;
  void OnEndUpdate(oxk::Scene* scene) override;
  void OnShapeInstanceCreate(const util::SmartPtr<oxk::ShapeInstance>& shape) override;
  void OnShapeInstanceRemove(const util::SmartPtr<oxk::ShapeInstance>& shape) override;
  void OnShapeInstanceVisibility(const util::SmartPtr<oxk::ShapeInstance>& shape, bool visible) override;
  void OnShapeInstanceLocation(const util::SmartPtr<oxk::ShapeInstance>& shape) override;
  void OnShapeInstanceAppearance(const util::SmartPtr<oxk::ShapeInstance>& shape) override;
  void OnShapeInstanceColor(const util::SmartPtr<oxk::ShapeInstance>& shape) override;
  void OnShapeInstanceTransparency(const util::SmartPtr<oxk::ShapeInstance>& shape) override;
  void OnShapeInstanceSelection(const util::SmartPtr<oxk::ShapeInstance>& shape, bool selected) override;
  bool ZeroReferenceCountHook() override { return oxk::Observer::ZeroReferenceCountHook(); }

 protected:
  ~ShapeSceneObserver() override = default;

 private:
  // Notes a change of the symbol's own shape, for the end of the update.
  void MarkAppearance(const util::SmartPtr<oxk::ShapeInstance>& shape);
  // The annotation, counted for the length of a callback, which may let go of the last
  // other reference to it; empty once cleared or while it is being destroyed.
  [[nodiscard]] util::SmartPtr<SymbolAnnotation> Owner() const;

  mutable conc::Mutex annotationMutex;
  SymbolAnnotation* annotation OX_GUARDED_BY(annotationMutex);
  std::atomic<bool> appearanceChanged{false};
};

}  // namespace oxannotations
