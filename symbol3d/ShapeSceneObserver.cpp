#include "symbol3d/ShapeSceneObserver.h"

#include "common/IsOldDialogEnabled.h"
#include "symbol3d/SymbolAnnotation.h"

namespace oxannotations {

// Callbacks run on the host's notifying thread: nothing may throw back into the scene.

util::Symbol ShapeSceneObserver::GetObjectClass() {
  static const util::Symbol name("oxannotations::ShapeSceneObserver");
  return name;
}

void ShapeSceneObserver::OnSceneClear(oxk::Scene* /*scene*/) {}

void ShapeSceneObserver::MarkAppearance(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  const SymbolAnnotation* owner = annotation.load();
  if (owner != nullptr && shape && owner->IsOwnShapeInstance(shape.get())) {
    appearanceChanged.store(true);
  }
}

void ShapeSceneObserver::OnEndUpdate(oxk::Scene* /*scene*/) {
  SymbolAnnotation* owner = annotation.load();
  if (owner == nullptr || !appearanceChanged.exchange(false)) {
    return;
  }
  try {
    owner->OnShapeInstancesAppearanceModified();
  } catch (...) {
  }
}

void ShapeSceneObserver::OnShapeInstanceCreate(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  SymbolAnnotation* owner = annotation.load();
  if (oxcommon::IsOldDialogEnabled() || !shape || owner == nullptr) {
    return;
  }
  try {
    if (!owner->isConnectedPart(shape)) {
      return;
    }
    if (const util::SmartPtr<oxk::ShapeInstance> own = owner->GetShapeInstance()) {
      own->SetVisibility(shape->IsVisible(), false);
    }
    owner->OnShapeInstanceCreate(shape, true, false);
  } catch (...) {
  }
}

void ShapeSceneObserver::OnShapeInstanceRemove(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  if (SymbolAnnotation* owner = annotation.load()) {
    try {
      owner->OnShapeInstanceRemove(shape);
    } catch (...) {
    }
  }
}

void ShapeSceneObserver::OnShapeInstanceVisibility(const util::SmartPtr<oxk::ShapeInstance>& shape, bool visible) {
  MarkAppearance(shape);
  SymbolAnnotation* owner = annotation.load();
  if (oxcommon::IsOldDialogEnabled() || owner == nullptr) {
    return;
  }
  try {
    if (!owner->isConnectedPart(shape)) {
      return;
    }
    // A hidden annotation is not shown by its parts, but it is hidden with them.
    if (visible && !owner->oxk::Annotation::IsVisible()) {
      return;
    }
    if (const util::SmartPtr<oxk::ShapeInstance> own = owner->GetShapeInstance()) {
      own->SetVisibility(visible, false);
    }
  } catch (...) {
  }
}

void ShapeSceneObserver::OnShapeInstanceLocation(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  SymbolAnnotation* owner = annotation.load();
  if (oxcommon::IsOldDialogEnabled() || owner == nullptr || !shape) {
    return;
  }
  try {
    if (owner->isConnectedPart(shape)) {
      owner->UpdateSymbolLocation(shape, false);
    } else if (owner->IsOwnShapeInstance(shape.get())) {
      owner->UpdateOffsetWithConnectedParts();  // the user moved the symbol
    }
  } catch (...) {
  }
}

void ShapeSceneObserver::OnShapeInstanceAppearance(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  MarkAppearance(shape);
}

void ShapeSceneObserver::OnShapeInstanceColor(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  MarkAppearance(shape);
}

void ShapeSceneObserver::OnShapeInstanceTransparency(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  MarkAppearance(shape);
}

void ShapeSceneObserver::OnShapeInstanceSelection(const util::SmartPtr<oxk::ShapeInstance>& shape, bool /*selected*/) {
  MarkAppearance(shape);
}

}  // namespace oxannotations
