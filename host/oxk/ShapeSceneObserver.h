// An observer of a shape scene: told about shape instances that are created, removed,
// shown or hidden, highlighted, moved, or whose look changes (appearance override,
// colour, transparency, selection). Changes arrive between OnBeginUpdate and
// OnEndUpdate, on the thread that changed the scene; the changes one thread makes within
// one ShapeScene update arrive in one such pair.
//
// An observer that cares about a few instances only says which (FollowOnly), so that the
// scene does not tell it about the others.
#pragma once

#include <vector>

#include "orrinsymbols/oxk/SceneObserver.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class ShapeInstance;

class ShapeSceneObserver : public SceneObserver {
 public:
  virtual void OnShapeInstanceCreate(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/) {}
  virtual void OnShapeInstanceRemove(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/) {}
  virtual void OnShapeInstanceVisibility(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/, bool /*visible*/) {}
  virtual void OnShapeInstanceHighlight(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/, bool /*on*/) {}
  virtual void OnShapeInstanceLocation(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/) {}
  virtual void OnShapeInstanceAppearance(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/) {}
  virtual void OnShapeInstanceColor(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/) {}
  virtual void OnShapeInstanceTransparency(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/) {}
  virtual void OnShapeInstanceSelection(const util::SmartPtr<ShapeInstance>& /*shapeInstance*/, bool /*selected*/) {}

  // From now on, in the scene this observer is registered with, hear only about shape
  // instances of the instances whose identifier path, or SBOM item path, is in paths
  // (ShapeScene::FollowOnly); scene-wide calls still come. Nothing when not registered;
  // a new registration hears about every shape instance again.
  void FollowOnly(const std::vector<util::Symbol>& paths);
  // Hear about every shape instance again. Never throws.
  void FollowAll() noexcept;

 protected:
  ~ShapeSceneObserver() override = default;
};

}  // namespace oxk
