#include "symbol3d/SymbolAnnotation.h"

#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "oxannotations/ConstStrings.h"
#include "oxg/Material.h"
#include "symbol3d/SerializedContentVisitor.h"
#include "symbol3d/SymbolContentKeys.h"
#include "util/FileSystem.h"
#include "util/FileSpec.h"

namespace oxannotations {

using Value = oxk::SerializedContentElement::Value;

SymbolAnnotation::SymbolAnnotation() {
  SetClass(ConstStrings::oxSymbol3D);
}

SymbolAnnotation::SymbolAnnotation(const SymbolAnnotation& other)
    : util::RefCounted(other),
      SymbolAnnotationBase(other),
      symbolLoaded(other.symbolLoaded.load()),
      shapeInstance(other.shapeInstance),
      previewShapeInstance(other.previewShapeInstance),
      legacySymbol(other.legacySymbol),
      hasAppearanceOverride(other.hasAppearanceOverride),
      symbolScale(other.symbolScale),
      initLocation(other.initLocation),
      selectedCsys(other.selectedCsys),
      partCsys(other.partCsys),
      axisId(other.axisId),
      distanceFromCsys(other.distanceFromCsys),
      annotationSymbol(other.annotationSymbol),
      useCurrentOrientation(other.useCurrentOrientation) {
  SetClass(ConstStrings::oxSymbol3D);
}

SymbolAnnotation::~SymbolAnnotation() {
  DropSceneObserver();
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
  sceneObserver->Unregister();
  sceneObserver->ClearAnnotation();
  sceneObserver.Reset();
}

util::Symbol SymbolAnnotation::GetClassStatic() {
  return ConstStrings::oxSymbol3D;
}

util::SmartPtr<oxk::Annotation> SymbolAnnotation::Clone() const {
  conc::ReadGuard guard(GetRWLock());
  util::SmartPtr<SymbolAnnotation> copy(new SymbolAnnotation(*this));
  copy->SetCreatedFromFile(true);
  return copy;
}

void SymbolAnnotation::SetSymbolInfo(const SymbolInfo& record) {
  conc::WriteGuard guard(GetRWLock());
  _SetSymbolInfo(record);
  symbolLocation.Set(record.locPosition, record.locOrientation, record.locScale);
  legacySymbol = true;
  partCsys = record.hasSymbolCsysLocation ? record.symbolCsysLocation : geo::Location::IDENTITY;
  initLocation = record.hasSymbolInitLocation ? record.symbolInitLocation : geo::Location::IDENTITY;
  sequencerTags = record.sequencerTags;
  annotationSymbol = record.isAnnotationSymbol;
  AddConnectedPartsByPath(record.connectedParts);
  if (!record.appHasOverride) {
    // The previous appearance object is kept; only the flag says whether it applies.
    hasAppearanceOverride = false;
    return;
  }
  util::SmartPtr<oxg::Material> material(
      new oxg::Material(record.appAmbient, record.appDiffuse, record.appEmissive, record.appSpecular, record.appShininess));
  appearanceOverride = util::SmartPtr<oxg::Appearance>(new oxg::Appearance(material));
  hasAppearanceOverride = true;
}

void SymbolAnnotation::GetSymbolInfo(SymbolInfo& /*record*/) const {}

bool SymbolAnnotation::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                                       const oxk::IdPathMapper* /*mapper*/) {
  conc::WriteGuard guard(GetRWLock());
  // Qualified: the host base class has a member class of the same name.
  oxannotations::SerializedContentVisitor visitor(util::SmartPtr<oxk::Annotation>(this));
  if (element) {
    element->Visit(visitor, true);
  }
  SetSymbolInfo(visitor.GetInfo());
  return true;
}

bool SymbolAnnotation::IsEqual(const util::SmartPtr<oxk::Annotation>& /*other*/) const {
  return false;
}

bool SymbolAnnotation::CanAnimate(const util::SmartPtr<oxk::OperationStep>& /*step*/) const {
  return true;
}

bool SymbolAnnotation::Flatten(const util::SmartPtr<oxk::SerializedContentElement>& element,
                               const std::map<util::Symbol, geo::Location>& /*transforms*/,
                               const oxk::FlattenInstanceCheck* /*instanceCheck*/, oxk::Pipeline* /*pipeline*/) {
  conc::ReadGuard guard(GetRWLock());
  if (!HasContent()) {
    return false;
  }
  if (element) {
    util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(ConstStrings::oxSymbol3DFlattened);
    if (child) {
      SymbolAnnotationBase::SerializeContent(child);
      child->EndContent();
    }
  }
  return true;
}

util::SmartPtr<oxk::ShapeInstance> SymbolAnnotation::GetShapeInstance() const {
  conc::ReadGuard guard(GetRWLock());
  return shapeInstance;
}

void SymbolAnnotation::GetInstance(util::SmartPtr<oxk::Instance>& out) const {
  conc::ReadGuard guard(GetRWLock());
  if (!shapeInstance) {
    out.Reset();
    return;
  }
  shapeInstance->GetInstance(out);
}

void SymbolAnnotation::GetShapeScene(util::SmartPtr<oxk::ShapeScene>& out) const {
  conc::ReadGuard guard(GetRWLock());
  if (!shapeInstance) {
    out.Reset();
    return;
  }
  shapeInstance->GetShapeScene(out);
}

void SymbolAnnotation::SetEvent(const util::SmartPtr<oxk::AsyncEvent>& newEvent) {
  event = newEvent;
}

bool SymbolAnnotation::HasContent() const {
  return static_cast<bool>(shapeInstance);
}

void SymbolAnnotation::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  SymbolAnnotationBase::SerializeContent(element);

  geo::DPoint3D position;
  geo::Quaternion<float> orientation;
  float scale = 1.0f;
  shapeInstance->GetLocation().Get(position, orientation, scale);

  // The live shape's look is saved, not the record's: the user may have changed it.
  util::SmartPtr<oxg::Appearance> appearance;
  const bool hasOverride = shapeInstance->GetAppearanceOverride(appearance);
  const float transparency = shapeInstance->GetTransparency();
  if (hasOverride) {
    util::SmartPtr<oxg::Material> material;
    if (appearance->GetMaterial(material)) {
      element->AddProperty(symbolkeys::appAmbient, Value(material->GetAmbient()));
      element->AddProperty(symbolkeys::appSpecular, Value(material->GetSpecular()));
      element->AddProperty(symbolkeys::appDiffuse, Value(material->GetDiffuse()));
      element->AddProperty(symbolkeys::appEmissive, Value(material->GetEmissive()));
      element->AddProperty(symbolkeys::appShininess, Value(material->GetShininess()));
      element->AddProperty(symbolkeys::appTransp, Value(transparency));
      element->AddProperty(symbolkeys::appHasOverride, Value(true));
    }
  } else {
    element->AddProperty(symbolkeys::appHasOverride, Value(false));
  }

  element->AddProperty(symbolkeys::locPosition, Value(position));
  element->AddProperty(symbolkeys::locOrientation, Value(orientation));
  element->AddProperty(symbolkeys::locScale, Value(scale));
  element->AddProperty(symbolkeys::isAnnotationSymbol, Value(annotationSymbol));
  element->AddProperty(symbolkeys::symbolCsysLocation, Value(partCsys));
  element->AddProperty(symbolkeys::symbolInitLocation, Value(initLocation));

  for (const ConnectedPartInfo& part : connectedParts) {
    util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(symbolkeys::attachedToPart);
    if (!child) {
      continue;
    }
    child->AddProperty(symbolkeys::attachedToPartId, Value(part.partId));
    if (!part.assemblyPartId.empty()) {
      child->AddProperty(symbolkeys::attachedToAssemblyPartId, Value(part.assemblyPartId));
    }
    child->AddProperty(symbolkeys::attachedToPartLastPos, Value(part.lastPos));
    child->AddProperty(symbolkeys::attachedToPartOffset, Value(part.offset));
    child->EndContent();
  }

  using oxk::illustration::SequencerTag;
  for (const auto& tag : sequencerTags) {
    util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(symbolkeys::sequencerTag);
    if (!child) {
      continue;
    }
    child->AddProperty(symbolkeys::sequencerTagType, Value(SequencerTag::GetSymbolForType(tag->GetType())));
    child->AddProperty(symbolkeys::sequencerTagDescription, Value(util::Symbol(tag->GetDescription())));
    child->AddProperty(symbolkeys::sequencerTagName, Value(util::Symbol(tag->GetName())));
    child->AddProperty(symbolkeys::sequencerTagUnits, Value(util::Symbol(tag->GetUnits())));
    child->AddProperty(symbolkeys::sequencerTagQuantity, Value(util::Symbol(tag->GetQuantityString())));
    child->EndContent();
  }
}

bool SymbolAnnotation::IsAttachedToScene() const {
  conc::ReadGuard guard(GetRWLock());
  util::SmartPtr<oxk::ShapeScene> scene;
  return shapeInstance && shapeInstance->GetShapeScene(scene);
}

bool SymbolAnnotation::ResolvesPartPath(const util::Symbol& path) const {
  util::SmartPtr<oxk::Instance> found;
  return IsSbomTreeIdPath(path, found) || IsEbomTreeIdPath(path, found);
}

void SymbolAnnotation::AddSelectedPart(const util::Symbol& partPath, const geo::DPoint3D& lastPos,
                                       const geo::DVec3& offset, const util::Symbol& assemblyPath) {
  if (isConnectedPart(partPath)) {
    return;
  }
  if (IsAttachedToScene() && !ResolvesPartPath(partPath)) {
    return;
  }
  connectedParts.push_back(ConnectedPartInfo{partPath, assemblyPath, lastPos, offset});
}

void SymbolAnnotation::AddConnectedPartsByPath(const std::vector<ConnectedPartInfo>& parts) {
  if (!annotationSymbol) {
    return;
  }
  for (const ConnectedPartInfo& part : parts) {
    AddSelectedPart(part.partId, part.lastPos, part.offset, part.assemblyPartId);
  }
}

bool SymbolAnnotation::isConnectedPart(const util::Symbol& path) const {
  for (const ConnectedPartInfo& part : connectedParts) {
    if (part.partId == path) {
      return true;
    }
  }
  return false;
}

std::string SymbolAnnotation::GetTempDir() const {
  std::lock_guard<std::mutex> guard(tempDirMutex);
  return tempDir;
}

void SymbolAnnotation::DeleteTempDir() {
  std::lock_guard<std::mutex> guard(tempDirMutex);
  if (tempDir.empty()) {
    return;
  }
  util::FileSystem::DeletePath(tempDir, false);
  tempDir.clear();
}

}  // namespace oxannotations
