#include "symbol3d/SymbolAnnotation.h"

#include <new>

#include "common/SymbolFiles.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "oxannotations/ConstStrings.h"
#include "oxg/Material.h"
#include "oxk/Kernel.h"

// The class spreads over several sources by concern: this one holds construction, the
// creation record and the plain accessors; SymbolAnnotationContent.cpp the saved content,
// SymbolAnnotationScene.cpp the shape in its scenes, SymbolAnnotationPlacement.cpp the
// initial placement, SymbolAnnotationParts.cpp the connected parts,
// SymbolAnnotationFollowing.cpp how the symbol follows them, and
// SymbolAnnotationObservation.cpp the scene notifications and selection.

namespace oxannotations {

SymbolAnnotation::SymbolAnnotation() {
  SetClass(ConstStrings::oxSymbol3D);
}

SymbolAnnotation::SymbolAnnotation(const SymbolAnnotation& other)
    : util::RefCounted(other),
      SymbolAnnotationBase(other),
      symbolLoaded(other.symbolLoaded.load()),
      shapeInstance(other.shapeInstance),
      previewShapeInstance(other.previewShapeInstance),
      legacySymbol(other.legacySymbol.load()),
      hasAppearanceOverride(other.hasAppearanceOverride),
      symbolScale(other.symbolScale),
      initLocation(other.initLocation),
      selectedCsys(other.selectedCsys),
      partCsys(other.partCsys),
      axisId(other.axisId),
      distanceFromCsys(other.distanceFromCsys),
      annotationSymbol(other.annotationSymbol),
      useCurrentOrientation(other.useCurrentOrientation),
      ownShape(other.shapeInstance.get()) {
  SetClass(ConstStrings::oxSymbol3D);
  // The clone shows the same shape: its observer follows it too.
  if (shapeInstance && shapeInstance->GetInstance()) {
    ownShapePath = shapeInstance->GetInstance()->GetIdPath();
  }
}

SymbolAnnotation::~SymbolAnnotation() {
  {
    // Nobody else holds the lock of an annotation that goes; taking it states that the
    // observer is only ever touched under it.
    conc::WriteGuard guard(GetRWLock());
    DropSceneObserver();
  }
  // The node may outlive this annotation; it must not point at it any more.
  util::SmartPtr<oxk::Instance> instance;
  if (shapeInstance && shapeInstance->GetInstance(instance) && instance->GetUserData(GetUserDataId()) == this) {
    instance->RemoveUserData(GetUserDataId());
  }
}

void SymbolAnnotation::DropSceneObserver() {
  if (!sceneObserver) {
    return;
  }
  {
    std::lock_guard<std::mutex> parts(partsMutex);
    followingObserver.Reset();  // sceneObserver still holds it
  }
  try {
    sceneObserver->Unregister();
  } catch (...) {
    // Memory ran short leaving the scene: the observer stays registered, but once
    // cleared below it reaches nothing.
  }
  sceneObserver->ClearAnnotation();
  sceneObserver.Reset();
}

void SymbolAnnotation::SetShapeInstanceField(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  shapeInstance = shape;
  ownShape.store(shape.get());
  const util::SmartPtr<oxk::Instance>& instance = shape ? shape->GetInstance() : util::SmartPtr<oxk::Instance>();
  const util::Symbol path = instance ? instance->GetIdPath() : util::Symbol();
  std::lock_guard<std::mutex> parts(partsMutex);
  if (path != ownShapePath) {
    ownShapePath = path;
    FollowInSceneLocked();
  }
}

void SymbolAnnotation::FollowInSceneLocked() noexcept {
  if (!followingObserver) {
    return;
  }
  try {
    std::vector<util::Symbol> paths;
    paths.reserve(connectedParts.size() + 1);
    for (const ConnectedPartInfo& part : connectedParts) {
      paths.push_back(part.partId);
    }
    if (!ownShapePath.empty()) {
      paths.push_back(ownShapePath);
    }
    followingObserver->FollowOnly(paths);
  } catch (...) {
    followingObserver->FollowAll();  // hearing too much is safe; missing a part is not
  }
}

util::Symbol SymbolAnnotation::GetClassStatic() {
  return ConstStrings::oxSymbol3D;
}

util::SmartPtr<oxk::Annotation> SymbolAnnotation::Clone() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    util::SmartPtr<SymbolAnnotation> copy(new (std::nothrow) SymbolAnnotation(*this));
    if (!copy) {
      return {};
    }
    copy->SetCreatedFromFile(true);
    return copy;
  } catch (...) {
    return {};
  }
}

void SymbolAnnotation::SetSymbolInfo(const SymbolInfo& record) {
  try {
    ApplySymbolInfo(record);
  } catch (...) {
    // Memory ran short before anything changed.
  }
}

void SymbolAnnotation::ApplySymbolInfo(const SymbolInfo& record) {
  conc::WriteGuard guard(GetRWLock());
  // What can fail is made first: the annotation changes only once all of it is there.
  util::SmartPtr<oxg::Appearance> appearance;
  if (record.appHasOverride) {
    util::SmartPtr<oxg::Material> material(new (std::nothrow) oxg::Material(
        record.appAmbient, record.appDiffuse, record.appEmissive, record.appSpecular, record.appShininess));
    if (material) {
      appearance = util::SmartPtr<oxg::Appearance>(new (std::nothrow) oxg::Appearance(material));
    }
    if (!appearance) {
      return;
    }
  }
  // The state the record replaces, so that a failure halfway puts it back. Symbols and
  // locations copy without allocating; the two lists are copied before anything changes.
  const util::Symbol oldTitle = title, oldDescription = description, oldFileName = fileName, oldName = name, oldId = id;
  const bool oldShowTitle = showTooltipTitle, oldShowDescription = showTooltipDescription;
  const geo::Location oldSymbolLocation = symbolLocation, oldPartCsys = partCsys, oldInitLocation = initLocation;
  const bool oldLegacy = legacySymbol.load(), oldAnnotationSymbol = annotationSymbol;
  std::vector<ConnectedPartInfo> oldParts;
  const std::vector<util::Symbol>* oldPartIds = nullptr;
  {
    // Not GetConnectedParts, which answers an empty list when memory is short: a later
    // failure would then restore no parts at all.
    std::lock_guard<std::mutex> parts(partsMutex);
    oldParts = connectedParts;
    oldPartIds = partIds.load();  // kept until the annotation goes
  }
  oxcommon::SequencerTagList tags;
  try {
    tags = record.sequencerTags;
    _SetSymbolInfo(record);
    symbolLocation.Set(record.locPosition, record.locOrientation, record.locScale);
    legacySymbol.store(true);
    partCsys = record.hasSymbolCsysLocation ? record.symbolCsysLocation : geo::Location::IDENTITY;
    initLocation = record.hasSymbolInitLocation ? record.symbolInitLocation : geo::Location::IDENTITY;
    annotationSymbol = record.isAnnotationSymbol;
    ConnectAllByPath(record.connectedParts);
  } catch (...) {
    title = oldTitle, description = oldDescription, fileName = oldFileName, name = oldName, id = oldId;
    showTooltipTitle = oldShowTitle, showTooltipDescription = oldShowDescription;
    symbolLocation = oldSymbolLocation, partCsys = oldPartCsys, initLocation = oldInitLocation;
    legacySymbol.store(oldLegacy);
    annotationSymbol = oldAnnotationSymbol;
    std::lock_guard<std::mutex> parts(partsMutex);
    connectedParts.swap(oldParts);
    partIds.store(oldPartIds, std::memory_order_release);
    FollowInSceneLocked();
    return;
  }
  sequencerTags.swap(tags);
  if (!record.appHasOverride) {
    // The previous appearance object is kept; only the flag says whether it applies.
    hasAppearanceOverride = false;
    return;
  }
  appearanceOverride = appearance;
  hasAppearanceOverride = true;
}

void SymbolAnnotation::GetSymbolInfo(SymbolInfo& /*record*/) const {}

// Taking the lock for reading may need memory (the lock counts its readers per thread):
// when it runs short these answer as for a symbol without a shape.

util::SmartPtr<oxk::ShapeInstance> SymbolAnnotation::GetShapeInstance() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    return shapeInstance;
  } catch (...) {
    return {};
  }
}

void SymbolAnnotation::GetInstance(util::SmartPtr<oxk::Instance>& out) const {
  out.Reset();
  try {
    conc::ReadGuard guard(GetRWLock());
    if (shapeInstance) {
      shapeInstance->GetInstance(out);
    }
  } catch (...) {
  }
}

void SymbolAnnotation::GetShapeScene(util::SmartPtr<oxk::ShapeScene>& out) const {
  out.Reset();
  try {
    conc::ReadGuard guard(GetRWLock());
    if (shapeInstance) {
      shapeInstance->GetShapeScene(out);
    }
  } catch (...) {
  }
}

void SymbolAnnotation::SetEvent(const util::SmartPtr<oxk::AsyncEvent>& newEvent) {
  event = newEvent;
}

bool SymbolAnnotation::HasContent() const {
  return static_cast<bool>(shapeInstance);
}

void SymbolAnnotation::GetSequencerTags(oxcommon::SequencerTagList& out) const {
  try {
    out = sequencerTags;
  } catch (...) {
    out.clear();
  }
}

void SymbolAnnotation::SetSequencerTags(const oxcommon::SequencerTagList& tags) {
  try {
    oxcommon::SequencerTagList copy(tags);
    sequencerTags.swap(copy);
  } catch (...) {
    // Memory ran short: the symbol keeps its tags.
  }
}

std::string SymbolAnnotation::GetTempDir() const {
  try {
    std::lock_guard<std::mutex> guard(tempDirMutex);
    return tempDir;
  } catch (...) {
    // Memory ran short.
    return {};
  }
}

void SymbolAnnotation::DeleteTempDir() {
  try {
    std::lock_guard<std::mutex> guard(tempDirMutex);
    oxcommon::DeleteTempFolder(tempDir);
  } catch (...) {
    // The folder stays for a later call.
  }
}

bool SymbolAnnotation::Manage(const util::SmartPtr<oxk::Kernel>& kernel, objm::ManagedObject* object) noexcept {
  if (!kernel || object == nullptr) {
    return false;
  }
  try {
    kernel->ManageObject(util::SmartPtr<objm::ManagedObject>(object));
    return true;
  } catch (...) {
    return false;  // memory ran short: not managed, so not to be started
  }
}

}  // namespace oxannotations
