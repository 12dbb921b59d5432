// An observer of a shape scene: told about shape instances that are created, removed,
// shown or hidden, highlighted, moved, or whose look changes (appearance override,
// colour, transparency, selection). Changes arrive between OnBeginUpdate and
// OnEndUpdate, on the thread that changed the scene; the changes one thread makes within
// one ShapeScene update arrive in one such pair.
#pragma once

#include "orrinsymbols/oxk/SceneObserver.h"
#include "orrinsymbols/util/SmartPtr.h"

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

 protected:
  ~ShapeSceneObserver() override = default;
};

}  // namespace oxk
