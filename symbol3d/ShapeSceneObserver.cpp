#include "symbol3d/ShapeSceneObserver.h"

#include "common/IsOldDialogEnabled.h"
#include "conc/MutexGuard.h"
#include "symbol3d/SymbolAnnotation.h"

namespace oxannotations {

// Callbacks run on the host's notifying thread: nothing may throw back into the scene.

util::Symbol ShapeSceneObserver::GetObjectClass() {
  static const util::Symbol name("oxannotations::ShapeSceneObserver");
  return name;
}

void ShapeSceneObserver::ClearAnnotation() {
  conc::MutexGuard guard(annotationMutex);
  annotation = nullptr;
}

SymbolAnnotation* ShapeSceneObserver::GetAnnotation() const {
  conc::MutexGuard guard(annotationMutex);
  return annotation;
}

util::SmartPtr<SymbolAnnotation> ShapeSceneObserver::Owner() const {
  conc::MutexGuard guard(annotationMutex);
  // At zero the annotation is on its way out: its destructor waits for this lock to
  // clear the pointer, so the object is still there to ask.
  if (annotation == nullptr || !annotation->TryAddReference(this)) {
    return {};
  }
  util::SmartPtr<SymbolAnnotation> owner(annotation);
  annotation->RemoveReference(this);  // the smart pointer holds one of its own now
  return owner;
}

void ShapeSceneObserver::OnSceneClear(oxk::Scene* /*scene*/) {}

void ShapeSceneObserver::MarkAppearance(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  const util::SmartPtr<SymbolAnnotation> owner = Owner();
  if (owner && shape && owner->IsOwnShapeInstance(shape.get())) {
    appearanceChanged.store(true);
  }
}

void ShapeSceneObserver::OnEndUpdate(oxk::Scene* /*scene*/) {
  const util::SmartPtr<SymbolAnnotation> owner = Owner();
  if (!owner || !appearanceChanged.exchange(false)) {
    return;
  }
  try {
    owner->OnShapeInstancesAppearanceModified();
  } catch (...) {
  }
}

void ShapeSceneObserver::OnShapeInstanceCreate(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  const util::SmartPtr<SymbolAnnotation> owner = Owner();
  if (oxcommon::IsOldDialogEnabled() || !shape || !owner) {
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
  if (const util::SmartPtr<SymbolAnnotation> owner = Owner()) {
    try {
      owner->OnShapeInstanceRemove(shape);
    } catch (...) {
    }
  }
}

void ShapeSceneObserver::OnShapeInstanceVisibility(const util::SmartPtr<oxk::ShapeInstance>& shape, bool visible) {
  MarkAppearance(shape);
  const util::SmartPtr<SymbolAnnotation> owner = Owner();
  if (oxcommon::IsOldDialogEnabled() || !owner) {
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
  const util::SmartPtr<SymbolAnnotation> owner = Owner();
  if (oxcommon::IsOldDialogEnabled() || !owner || !shape) {
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
