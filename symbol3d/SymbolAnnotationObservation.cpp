#include "common/IsOldDialogEnabled.h"
#include "conc/ReadGuard.h"
#include "oxannotations/ConstStrings.h"
#include "oxk/AnnoSet.h"
#include "oxk/SelectionItem.h"
#include "oxk/SelectionManager.h"
#include "symbol3d/SymbolAnnotation.h"

// What the scene observer reports: the symbol's shape or a part leaving the scene, its
// look folded into the annotation's visibility, and selection.

namespace oxannotations {

void SymbolAnnotation::OnShapeInstanceRemove(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  // The annotation set may hold the last reference: leaving it must not free this
  // annotation while its own lock is still held below.
  const util::SmartPtr<SymbolAnnotation> self(this);
  try {
    conc::ReadGuard guard(GetRWLock());
    util::SmartPtr<oxk::AnnoSet> set;
    if (shape && shape == shapeInstance && GetAnnoSet(set)) {
      set->RemoveAnnotationFromSet(this, {});
      return;
    }
    if (!oxcommon::IsOldDialogEnabled() && shape && isConnectedPart(shape) && shapeInstance &&
        shapeInstance->IsVisible()) {
      shapeInstance->SetVisibility(false, false);
    }
  } catch (...) {
    // Memory ran short taking the lock: nothing changed.
  }
}

void SymbolAnnotation::OnShapeInstancesAppearanceModified() {
  try {
    const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance();
    if (!shape) {
      return;
    }
    const bool shown = shape->IsVisible();
    const bool visible = oxk::Annotation::IsVisible();
    if (!HasConnectedParts() || IsSymbolSelected()) {
      if (shown && !visible) {
        Show(true, {});
      } else if (!shown && visible) {
        Hide(true, {}, false);
      }
    } else if (shown && !visible) {
      Show(true, {});  // a hidden shape does not hide an annotation that follows its parts
    }
  } catch (...) {
    // Memory ran short: the visibility is folded at the next update.
  }
}

bool SymbolAnnotation::IsSymbolSelected() const {
  try {
    const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance();
    util::SmartPtr<oxk::ShapeScene> scene;
    GetShapeScene(scene);
    util::SmartPtr<oxk::SelectionManager> selection;
    if (!shape || !scene || !scene->GetSelectionManager(selection)) {
      return false;
    }
    std::vector<util::SmartPtr<oxk::SelectionItem>> items;
    // Only items of the annotation category come back.
    selection->GetSelectedItems(0, oxk::mcad_selection::Annotation, items, oxk::SelectionManager::kInSelectionOrder);
    for (const auto& item : items) {
      const auto* selected = dynamic_cast<const oxk::ObjectSelectionItem*>(item.get());
      if (selected == nullptr) {
        continue;
      }
      const auto* annotation = dynamic_cast<const oxk::Annotation*>(selected->GetObject().get());
      if (annotation != nullptr && annotation->GetClass() == ConstStrings::oxSymbol3D &&
          annotation->GetShapeInstance() == shape) {
        return true;
      }
    }
    return false;
  } catch (...) {
    // Memory ran short: not known to be selected.
    return false;
  }
}

void SymbolAnnotation::OnSetSelected(bool selected, const util::SmartPtr<oxk::View>& /*view*/) {
  if (const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance()) {
    shape->SetSelected(selected);
  }
}

}  // namespace oxannotations
