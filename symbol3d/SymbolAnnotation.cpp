#include "symbol3d/SymbolAnnotation.h"

#include <cmath>

#include "common/IsOldDialogEnabled.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "geo/ApproximateEquality.h"
#include "oxannotations/ConstStrings.h"
#include "oxannotations/UniversalMeasurementObserver.h"
#include "oxg/Material.h"
#include "oxk/ComponentInstance.h"
#include "oxk/Kernel.h"
#include "oxk/World.h"
#include "oxk/illustration/Limner.h"
#include "oxkapp/illustration/LimMultiRootContainer.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "oxloader/Loader.h"
#include "symbol3d/MyLoadEvent.h"
#include "symbol3d/SerializedContentVisitor.h"
#include "symbol3d/SymbolContentKeys.h"
#include "util/FileSystem.h"
#include "util/PathParts.h"

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
  util::SmartPtr<oxg::Material> material(new oxg::Material(record.appAmbient, record.appDiffuse, record.appEmissive,
                                                           record.appSpecular, record.appShininess));
  appearanceOverride = util::SmartPtr<oxg::Appearance>(new oxg::Appearance(material));
  hasAppearanceOverride = true;
}

void SymbolAnnotation::GetSymbolInfo(SymbolInfo& /*record*/) const {}

bool SymbolAnnotation::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& /*mapper*/) {
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

// The scene side: creating, attaching, loading, showing, removing and previewing the
// symbol's shape.

namespace {

// Frozen host flag values passed through unchanged.
constexpr int32_t kObserverFlags = 10;
constexpr int32_t kLoadFlags = 4;

// The tree path of the instance a symbol places at the top of the structure. Appended
// rather than "/" + id: GCC 12 at -O3 reports a false -Wrestrict overlap for the latter.
util::Symbol TopLevelInstancePath(const util::Symbol& id) {
  std::string path = "/";
  path += id.str();
  return util::Symbol(path);
}

// Identity test of a placement, with the tolerances a placement computed from frames needs.
bool IsIdentity(const geo::Location& location) {
  constexpr double kTranslationTolerance = 8.881784197001252e-16;
  const geo::DPoint3D& p = location.GetPos();
  const double length = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
  if (length > kTranslationTolerance * std::max(1.0, length)) {
    return false;
  }
  const float tolerance = std::max(8.881784e-16f, geo::Traits<float>::s_EPSILON);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      if (!geo::ApproximateEquality(location.GetMat().m[r][c], geo::FMat33::IDENTITY.m[r][c], tolerance)) {
        return false;
      }
    }
  }
  return true;
}

// The matrix without its per-axis scale, unless that scale is 1 within tolerance.
geo::FMat33 RemoveScale(const geo::FMat33& m) {
  const geo::DVec3 s = m.GetScale();
  const geo::DVec3 one(1, 1, 1);
  const double limit = geo::Traits<float>::s_EPSILON * std::max({1.0, s.Length(), one.Length()});
  if ((s - one).Length() <= limit) {
    return m;
  }
  return m.WithoutScale();
}

bool GetPrimaryStructure(util::SmartPtr<oxk::MultiRootContainer>& container,
                         util::SmartPtr<oxk::Structure>& structure) {
  util::SmartPtr<oxk::World> world;
  return oxk::World::GetWorld(world) && world->GetMultiRootContainer(container) &&
         container->GetPrimaryStructure(structure);
}

}  // namespace

bool SymbolAnnotation::AttachScene(const util::SmartPtr<oxk::Scene>& scene) {
  conc::ReadGuard reading(GetRWLock());
  util::SmartPtr<oxk::ShapeScene> current;
  if (shapeInstance) {
    shapeInstance->GetShapeScene(current);
  }
  if (static_cast<oxk::Scene*>(current.get()) == scene.get()) {
    return true;
  }
  const util::SmartPtr<oxk::ShapeScene> shapeScene = util::DynamicCast<oxk::ShapeScene>(scene);
  conc::WriteGuard writing(GetRWLock());
  DropSceneObserver();
  if (shapeScene) {
    sceneObserver = util::SmartPtr<ShapeSceneObserver>(new ShapeSceneObserver(this));
    oxk::Kernel::GetKernel()->ManageObject(util::SmartPtr<objm::ManagedObject>(sceneObserver.get()));
    shapeScene->RegisterObserver(util::SmartPtr<oxk::ShapeSceneObserver>(sceneObserver.get()), kObserverFlags, true);
  }
  oxk::Annotation::AttachScene(scene);
  bool result = true;
  if (shapeScene && !fileName.empty()) {
    result = shapeInstance ? shapeScene->RecreateShapeInstance(shapeInstance) : CreateSymbol(shapeScene);
  }
  RemoveUnvalidParts();
  return result;
}

void SymbolAnnotation::AdditionalInit(const util::SmartPtr<oxk::Scene>& scene) {
  const util::SmartPtr<oxk::ShapeScene> shapeScene = util::DynamicCast<oxk::ShapeScene>(scene);
  if (shapeInstance || !shapeScene) {
    return;
  }
  (void)CreateSymbol(shapeScene);
  if (shapeInstance) {
    shapeScene->RemoveShapeInstance(shapeInstance, false, true);
  }
}

bool SymbolAnnotation::DetachScene() {
  conc::WriteGuard guard(GetRWLock());
  DropSceneObserver();
  util::SmartPtr<oxk::ShapeScene> scene;
  if (shapeInstance && shapeInstance->GetShapeScene(scene)) {
    scene->RemoveShapeInstance(shapeInstance, false, true);
  }
  oxk::Annotation::DetachScene();
  return true;
}

bool SymbolAnnotation::GetOlFromTempDir(std::string& path) const {
  if (!oxk::illustration::IsRunningLimner()) {
    util::Symbol url;
    ExtractSymbolsFromOxzFile(url, fileName);
    path = url.str();
    return true;
  }
  util::Symbol folder;
  oxkapp::illustration::OrbisApp::GetOrbisApp()->GetTemporaryDirectory(folder);
  if (folder.empty()) {
    return false;
  }
  constexpr char kSep = util::FileSpec::DIR_SEP_CHAR;
  path = folder.str() + kSep + "Symbols" + kSep + fileName.str();
  return util::FileSystem::FileExists(path);
}

bool SymbolAnnotation::ExtractSymbolsFromOxzFile(util::Symbol& url, const util::Symbol& file) const {
  util::SmartPtr<oxk::MultiRootContainer> container;
  util::SmartPtr<oxk::Structure> structure;
  util::SmartPtr<oxk::Anchor> anchor;
  if (GetPrimaryStructure(container, structure) && structure->GetAnchor(anchor)) {
    anchor->GetURLForFileSource(file, url, true);
  }
  return true;
}

bool SymbolAnnotation::InsertSymbolToTree(util::SmartPtr<oxk::Instance>& out) {
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::Tree> tree;
  if (!oxk::World::GetWorld(world) || !world->GetTree(tree)) {
    return false;
  }
  if (!id.empty()) {
    out = tree->FindInstance(TopLevelInstancePath(id));
    if (out) {
      return true;
    }
  }
  util::SmartPtr<oxk::MultiRootContainer> container;
  util::SmartPtr<oxk::Structure> structure;
  if (!world->GetMultiRootContainer(container) || !container->GetPrimaryStructure(structure)) {
    return false;
  }
  util::SmartPtr<oxk::ComponentNode> root;
  structure->GetRoot(root);
  std::string path;
  (void)GetOlFromTempDir(path);
  util::SmartPtr<oxk::ComponentNode> node;
  structure->CreateComponentNode(name, 0, node);
  util::SmartPtr<oxk::ShapeSource> source;
  oxk::ShapeSource::Create(source, util::Symbol(path), geo::FBox(), 0);
  if (!node || !root) {
    return false;
  }
  node->SetShapeSource(source);
  auto illustration = util::DynamicCast<oxkapp::illustration::LimMultiRootContainer>(container);
  if (id.empty() && illustration && illustration->GetFileInfo()) {
    id = util::Symbol(oxk::Instance::s_content_symbolPrefix.str() +
                      illustration->GetFileInfo()->GetNextStructureId().str());
  }
  util::SmartPtr<oxk::ComponentInstance> placed;
  root->AddChild(node, id, placed);
  out = tree->FindInstance(TopLevelInstancePath(id));
  return static_cast<bool>(out);
}

bool SymbolAnnotation::CreateSymbol(const util::SmartPtr<oxk::ShapeScene>& shapeScene) {
  conc::WriteGuard guard(GetRWLock());
  if (fileName.empty() || !shapeScene) {
    return false;
  }
  util::SmartPtr<oxk::Instance> instance;
  if (!InsertSymbolToTree(instance) || !instance) {
    return false;
  }
  util::SmartPtr<oxk::ComponentInstance> component;
  if (instance->GetComponentInstance(component)) {
    if (!legacySymbol) {
      CalculateSymbolLocation(initLocation);
    }
    if (!IsIdentity(initLocation)) {
      component->SetLocation(initLocation, true);
    }
  }
  instance->AddUserData(GetUserDataId(), this);

  util::SmartPtr<oxk::ShapeInstance> created = shapeScene->CreateShapeInstance(instance, IsVisible(), util::Symbol());
  if (!created) {
    shapeScene->GetShapeInstance(instance, created);
  }
  if (!created) {
    return false;
  }
  shapeInstance = created;

  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (!loader || !kernel) {
    return false;
  }
  util::SmartPtr<MyLoadEvent> load(new MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), event.get(), false, false));
  kernel->ManageObject(util::SmartPtr<objm::ManagedObject>(load.get()));
  const util::SmartPtr<oxk::Shape> shape = shapeInstance->GetShape();
  SetSymbolLocation(shapeInstance);
  loader->LoadShape(shape, kLoadFlags, util::SmartPtr<oxk::AsyncEvent>(load.get()), {});
  return true;
}

void SymbolAnnotation::SetSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  if (!shape) {
    return;
  }
  if (!legacySymbol) {
    shape->SetLocation(initLocation, false);
  } else if (connectedParts.empty()) {
    shape->SetLocation(symbolLocation, false);
    legacySymbol = false;
  } else {
    UpdateAnnotationLocation();
  }
  if (!hasAppearanceOverride) {
    return;
  }
  if (!appearanceOverride) {
    shape->RestoreAppearanceOverride(true, 0);
  } else {
    util::SmartPtr<oxg::Material> material;
    if (appearanceOverride->GetMaterial(material)) {
      shape->SetColor(material->GetDiffuse(), false, 1, 0, true);
    }
  }
  hasAppearanceOverride = false;
}

bool SymbolAnnotation::RemoveSymbol() {
  conc::WriteGuard guard(GetRWLock());
  util::SmartPtr<oxk::Instance> instance;
  if (!shapeInstance || !shapeInstance->GetInstance(instance) || fileName.empty()) {
    return true;
  }
  util::SmartPtr<oxk::ShapeScene> scene;
  if (shapeInstance->GetShapeScene(scene)) {
    scene->RemoveShapeInstance(shapeInstance, false, true);
  }
  shapeInstance.Reset();
  if (instance->GetUserData(GetUserDataId()) == this) {
    instance->RemoveUserData(GetUserDataId());
  }

  util::SmartPtr<oxk::World> world;
  if (oxk::World::GetWorld(world)) {
    std::vector<util::SmartPtr<oxk::Scene>> scenes;
    world->GetScenes(scenes);
    bool stillShown = false;
    for (const auto& each : scenes) {
      auto shapes = util::DynamicCast<oxk::ShapeScene>(each);
      util::SmartPtr<oxk::ShapeInstance> other;
      if (shapes && shapes->GetShapeInstance(instance, other)) {
        stillShown = true;
        break;
      }
    }
    util::SmartPtr<oxk::MultiRootContainer> container;
    util::SmartPtr<oxk::Structure> structure;
    util::SmartPtr<oxk::ComponentNode> root;
    util::SmartPtr<oxk::ComponentInstance> component;
    if (!stillShown && GetPrimaryStructure(container, structure) && structure->GetRoot(root) &&
        instance->GetComponentInstance(component)) {
      root->RemoveChild(component);
    }
  }
  // A later creation inserts a node of its own.
  id = util::Symbol();
  return true;
}

bool SymbolAnnotation::SymbolLoadedOK() {
  symbolLoaded.store(true);
  PostObservableEvent(
      util::SmartPtr<oxk::ObservableEvent>(new UniversalMeasurementObserver::MeasurementDisplayedEvent(true)), 0);
  return true;
}

bool SymbolAnnotation::SymbolLoadFail() {
  symbolLoaded.store(false);
  DetachScene();
  return true;
}

bool SymbolAnnotation::IsVisible() const {
  conc::ReadGuard guard(GetRWLock());
  if (connectedParts.empty() && shapeInstance) {
    return shapeInstance->IsVisible();
  }
  return oxk::Annotation::IsVisible();
}

void SymbolAnnotation::HideAnnotation() {
  if (shapeInstance && shapeInstance->IsVisible()) {
    shapeInstance->SetVisibility(false, false);
  }
}

void SymbolAnnotation::ShowAnnotation() {
  if (!shapeInstance || shapeInstance->IsVisible()) {
    return;
  }
  util::SmartPtr<oxk::ShapeScene> scene;
  if (shapeInstance->GetShapeScene(scene)) {
    for (const ConnectedPartInfo& part : connectedParts) {
      util::SmartPtr<oxk::Instance> instance;
      GetInstanceByPath(instance, part.partId);
      if (!instance) {
        continue;
      }
      util::SmartPtr<oxk::ShapeInstance> partShape;
      if (!scene->GetShapeInstance(instance, partShape) || !partShape->IsVisible()) {
        return;  // follows its hidden part
      }
    }
  }
  shapeInstance->SetVisibility(true, false);
}

void SymbolAnnotation::CreatePreview(const util::SmartPtr<oxk::ShapeScene>& scene) {
  if (!scene) {
    return;
  }
  if (previewShapeInstance) {
    scene->RemoveShapeInstance(previewShapeInstance, false, true);
    previewShapeInstance.Reset();
  }
  geo::DPoint3D position;
  geo::Quaternion<float> orientation;
  float identityScale = 1.0f;
  geo::Location::IDENTITY.Get(position, orientation, identityScale);
  geo::Location preview;
  preview.Set(position, orientation, static_cast<float>(symbolScale));

  util::SmartPtr<oxk::Instance> instance;
  if (!InsertSymbolToTree(instance) || !instance) {
    return;
  }
  previewShapeInstance = scene->CreateShapeInstance(instance, true, util::Symbol());
  if (!previewShapeInstance) {
    return;
  }
  previewShapeInstance->SetLocation(preview, false);
  const util::SmartPtr<oxk::Shape> shape = previewShapeInstance->GetShape();
  int32_t status = oxk::Shape::kDataNone;
  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (shape && shape->GetDataStatus(4, status) && status != oxk::Shape::kDataLoaded && loader && kernel) {
    util::SmartPtr<MyLoadEvent> load(new MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), nullptr, true, false));
    kernel->ManageObject(util::SmartPtr<objm::ManagedObject>(load.get()));
    loader->LoadShape(shape, kLoadFlags, util::SmartPtr<oxk::AsyncEvent>(load.get()), {});
  }
  previewShapeInstance->RemoveHighlight(1);
  previewShapeInstance->OverrideTransparency(0.1f, true, false, {}, false);
}

void SymbolAnnotation::RemovePreview(const util::SmartPtr<oxk::ShapeScene>& scene) {
  if (!scene || !previewShapeInstance) {
    return;
  }
  scene->RemoveShapeInstance(previewShapeInstance, false, true);
  previewShapeInstance.Reset();
}

void SymbolAnnotation::CalculateSymbolLocation(geo::Location& out) {
  // The reference host has no application views, so the camera-relative orientation of
  // the preview has no view to be taken from; the selected frame is used as it is.
  if (!oxcommon::IsOldDialogEnabled() && !useCurrentOrientation) {
    selectedCsys.SetMat(RemoveScale(selectedCsys.GetMat()));
  }
  out = partCsys.Inverse() * selectedCsys;
}

void SymbolAnnotation::SetPartCsys(const geo::Location& location) {
  geo::DPoint3D position;
  geo::Quaternion<float> orientation;
  float scale = 1.0f;
  location.Get(position, orientation, scale);
  partCsys.Set(position, orientation, static_cast<float>(1.0 / symbolScale));
}

bool SymbolAnnotation::IsEbomTreeIdPath(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const {
  if (path.empty()) {
    return false;
  }
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::Tree> tree;
  if (!oxk::World::GetWorld(world) || !world->GetTree(tree)) {
    return false;
  }
  out = tree->FindInstance(path);
  return static_cast<bool>(out);
}

bool SymbolAnnotation::IsSbomTreeIdPath(const util::Symbol& /*path*/, util::SmartPtr<oxk::Instance>& out) const {
  out.Reset();
  return false;
}

void SymbolAnnotation::GetInstanceByPath(util::SmartPtr<oxk::Instance>& out, const util::Symbol& path) const {
  if (IsSbomTreeIdPath(path, out)) {
    return;
  }
  IsEbomTreeIdPath(path, out);
}

void SymbolAnnotation::RemoveUnvalidParts() {
  std::vector<ConnectedPartInfo> kept;
  kept.reserve(connectedParts.size());
  for (const ConnectedPartInfo& part : connectedParts) {
    if (ResolvesPartPath(part.partId)) {
      kept.push_back(part);
    }
  }
  connectedParts.swap(kept);
}

void SymbolAnnotation::UpdateAnnotationLocation() {
  // Following parts arrives with placement by connected parts.
}

void SymbolAnnotation::UpdateOffsetWithConnectedParts() {
  // Recording offsets arrives with placement by connected parts.
}

void SymbolAnnotation::UpdateSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& /*part*/, bool /*useOffset*/) {
  // Moving with a part arrives with placement by connected parts.
}

}  // namespace oxannotations
