#include "symbol3d/SymbolAnnotation.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "common/IsOldDialogEnabled.h"
#include "common/SequencerTagContent.h"
#include "common/SymbolFiles.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "geo/ApproximateEquality.h"
#include "geo/DMat44.h"
#include "oxannotations/ConstStrings.h"
#include "oxannotations/UniversalMeasurementObserver.h"
#include "oxg/Material.h"
#include "oxk/AnnoSet.h"
#include "oxk/ComponentInstance.h"
#include "oxk/Kernel.h"
#include "oxk/SelectionItem.h"
#include "oxk/SelectionManager.h"
#include "oxk/ShapeView.h"
#include "oxk/World.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxk/illustration/Limner.h"
#include "oxkapp/OxkApp.h"
#include "oxkapp/illustration/LimMultiRootContainer.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "oxloader/Loader.h"
#include "symbol3d/GetPartReferenceLocation.h"
#include "symbol3d/LoadingConnectPartEvent.h"
#include "symbol3d/MyLoadEvent.h"
#include "symbol3d/SerializedContentVisitor.h"
#include "symbol3d/SymbolContentKeys.h"
#include "util/FileSystem.h"

namespace oxannotations {

using Value = oxk::SerializedContentElement::Value;

namespace {

// Frozen host flag values passed through unchanged.
constexpr int32_t kObserverFlags = 10;
constexpr int32_t kLoadFlags = 4;

// The two paths the matching rule compares an entry with: the instance's own and, when
// it belongs to the SBOM, its SBOM item's.
struct PartPaths {
  util::Symbol path;
  util::Symbol sbomPath;
};

PartPaths PathsOf(const oxk::Instance& instance) {
  PartPaths paths{instance.GetIdPath(), util::Symbol()};
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  if (instance.GetSbomInstance(sbom)) {
    paths.sbomPath = sbom->GetIdPath();
  }
  return paths;
}

bool Matches(const util::Symbol& partId, const PartPaths& paths) {
  return partId == paths.path || (!paths.sbomPath.empty() && partId == paths.sbomPath);
}

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

bool GetPrimaryStructure(util::SmartPtr<oxk::MultiRootContainer>& container,
                         util::SmartPtr<oxk::Structure>& structure) {
  util::SmartPtr<oxk::World> world;
  return oxk::World::GetWorld(world) && world->GetMultiRootContainer(container) &&
         container->GetPrimaryStructure(structure);
}

// Hands a new event to the kernel; false when there is no event or no kernel.
bool Manage(const util::SmartPtr<oxk::Kernel>& kernel, objm::ManagedObject* object) {
  if (!kernel || object == nullptr) {
    return false;
  }
  kernel->ManageObject(util::SmartPtr<objm::ManagedObject>(object));
  return true;
}

}  // namespace

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
  sceneObserver->Unregister();
  sceneObserver->ClearAnnotation();
  sceneObserver.Reset();
}

void SymbolAnnotation::SetShapeInstanceField(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  shapeInstance = shape;
  ownShape.store(shape.get());
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
  try {
    // Not GetConnectedParts, which answers an empty list when memory is short: a later
    // failure would then restore no parts at all.
    std::lock_guard<std::mutex> parts(partsMutex);
    oldParts = connectedParts;
  } catch (...) {
    return;  // nothing changed yet
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
    AddConnectedPartsByPath(record.connectedParts);
  } catch (...) {
    title = oldTitle, description = oldDescription, fileName = oldFileName, name = oldName, id = oldId;
    showTooltipTitle = oldShowTitle, showTooltipDescription = oldShowDescription;
    symbolLocation = oldSymbolLocation, partCsys = oldPartCsys, initLocation = oldInitLocation;
    legacySymbol.store(oldLegacy);
    annotationSymbol = oldAnnotationSymbol;
    std::lock_guard<std::mutex> parts(partsMutex);
    connectedParts.swap(oldParts);
    PublishPartIds();
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

bool SymbolAnnotation::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& /*mapper*/) {
  try {
    conc::WriteGuard guard(GetRWLock());
    // Qualified: the host base class has a member class of the same name.
    oxannotations::SerializedContentVisitor visitor(util::SmartPtr<oxk::Annotation>(this));
    if (element) {
      element->Visit(visitor, true);
    }
    SetSymbolInfo(visitor.GetInfo());
  } catch (...) {
    // Memory ran short while reading: what was read so far is not applied.
  }
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
  if (!element) {
    return;
  }
  try {
    SymbolAnnotationBase::SerializeContent(element);

    // Without a shape (the host may ask directly) the stored placement stands in.
    const geo::Location placement = shapeInstance ? shapeInstance->GetLocation() : symbolLocation;
    geo::DPoint3D position;
    geo::Quaternion<float> orientation;
    float scale = 1.0f;
    placement.Get(position, orientation, scale);

    // The live shape's look is saved, not the record's: the user may have changed it.
    util::SmartPtr<oxg::Appearance> appearance;
    const bool hasOverride = shapeInstance && shapeInstance->GetAppearanceOverride(appearance);
    if (hasOverride) {
      util::SmartPtr<oxg::Material> material;
      if (appearance->GetMaterial(material)) {
        element->AddProperty(symbolkeys::appAmbient, Value(material->GetAmbient()));
        element->AddProperty(symbolkeys::appSpecular, Value(material->GetSpecular()));
        element->AddProperty(symbolkeys::appDiffuse, Value(material->GetDiffuse()));
        element->AddProperty(symbolkeys::appEmissive, Value(material->GetEmissive()));
        element->AddProperty(symbolkeys::appShininess, Value(material->GetShininess()));
        element->AddProperty(symbolkeys::appTransp, Value(shapeInstance->GetTransparency()));
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

    for (const ConnectedPartInfo& part : GetConnectedParts()) {
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

    oxcommon::WriteSequencerTags(element, sequencerTags);
  } catch (...) {
    // Memory ran short: the content stays incomplete rather than the host failing.
  }
}

std::string SymbolAnnotation::GetTempDir() const {
  std::lock_guard<std::mutex> guard(tempDirMutex);
  return tempDir;
}

void SymbolAnnotation::DeleteTempDir() {
  std::lock_guard<std::mutex> guard(tempDirMutex);
  oxcommon::DeleteTempFolder(tempDir);
}

// The scene side: creating, attaching, loading, showing, removing and previewing the
// symbol's shape.

bool SymbolAnnotation::AttachScene(const util::SmartPtr<oxk::Scene>& scene) {
  try {
    // For writing from the start: two threads that both read first and then ask to write
    // would wait for each other.
    conc::WriteGuard guard(GetRWLock());
    util::SmartPtr<oxk::ShapeScene> current;
    if (shapeInstance) {
      shapeInstance->GetShapeScene(current);
    }
    if (static_cast<oxk::Scene*>(current.get()) == scene.get()) {
      return true;
    }
    const util::SmartPtr<oxk::ShapeScene> shapeScene = util::DynamicCast<oxk::ShapeScene>(scene);
    DropSceneObserver();
    if (shapeScene) {
      sceneObserver = util::SmartPtr<ShapeSceneObserver>(new (std::nothrow) ShapeSceneObserver(this));
      if (sceneObserver && Manage(oxk::Kernel::GetKernel(), sceneObserver.get())) {
        shapeScene->RegisterObserver(util::SmartPtr<oxk::ShapeSceneObserver>(sceneObserver.get()), kObserverFlags,
                                     true);
      }
    }
    oxk::Annotation::AttachScene(scene);
    bool result = true;
    if (shapeScene && !fileName.empty()) {
      result = shapeInstance ? shapeScene->RecreateShapeInstance(shapeInstance) : CreateSymbol(shapeScene);
    }
    RemoveUnvalidParts();
    return result;
  } catch (...) {
    return false;
  }
}

void SymbolAnnotation::AdditionalInit(const util::SmartPtr<oxk::Scene>& scene) {
  const util::SmartPtr<oxk::ShapeScene> shapeScene = util::DynamicCast<oxk::ShapeScene>(scene);
  if (GetShapeInstance() || !shapeScene) {
    return;
  }
  (void)CreateSymbol(shapeScene);
  if (const util::SmartPtr<oxk::ShapeInstance> created = GetShapeInstance()) {
    shapeScene->RemoveShapeInstance(created, false, true);
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
  return oxcommon::TempSymbolsFolderPath(fileName, path) && util::FileSystem::FileExists(path);
}

bool SymbolAnnotation::ExtractSymbolsFromOxzFile(util::Symbol& url, const util::Symbol& file) const {
  oxcommon::PackedFileUrl(file, url);
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
  oxk::ShapeSource::Create(source, util::Symbol(path), geo::FBox::EMPTY, 0);
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
    if (!legacySymbol.load()) {
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
  SetShapeInstanceField(created);

  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (!loader || !kernel) {
    return false;
  }
  util::SmartPtr<MyLoadEvent> load(new (std::nothrow)
                                       MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), event.get(), false, false));
  if (!Manage(kernel, load.get())) {
    return false;
  }
  const util::SmartPtr<oxk::Shape> shape = shapeInstance->GetShape();
  SetSymbolLocation(shapeInstance);
  loader->LoadShape(shape, kLoadFlags, util::SmartPtr<oxk::AsyncEvent>(load.get()), {});
  return true;
}

void SymbolAnnotation::SetSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& shape) {
  if (!shape) {
    return;
  }
  if (!legacySymbol.load()) {
    shape->SetLocation(initLocation, false);
  } else if (!HasConnectedParts()) {
    shape->SetLocation(symbolLocation, false);
    legacySymbol.store(false);
  } else {
    // Shown at its stored placement until its parts' geometry is there to place it by
    // its offsets, and saved so if the document is saved before.
    shape->SetLocation(symbolLocation, false);
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
  SetShapeInstanceField({});
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
  util::SmartPtr<oxk::ObservableEvent> displayed(new (std::nothrow)
                                                     UniversalMeasurementObserver::MeasurementDisplayedEvent(true));
  if (displayed) {
    PostObservableEvent(displayed, 0);
  }
  return true;
}

bool SymbolAnnotation::SymbolLoadFail() {
  symbolLoaded.store(false);
  DetachScene();
  return true;
}

bool SymbolAnnotation::IsVisible() const {
  conc::ReadGuard guard(GetRWLock());
  if (!HasConnectedParts() && shapeInstance) {
    return shapeInstance->IsVisible();
  }
  return oxk::Annotation::IsVisible();
}

void SymbolAnnotation::HideAnnotation() {
  const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance();
  if (shape && shape->IsVisible()) {
    shape->SetVisibility(false, false);
  }
}

void SymbolAnnotation::ShowAnnotation() {
  const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance();
  if (!shape || shape->IsVisible()) {
    return;
  }
  util::SmartPtr<oxk::ShapeScene> scene;
  if (shape->GetShapeScene(scene)) {
    for (const ConnectedPartInfo& part : GetConnectedParts()) {
      const PartInScene found = FindPartInScene(*scene, part.partId);
      if (!found.instance) {
        continue;
      }
      if (!found.shape || !found.shape->IsVisible()) {
        return;  // follows its hidden part
      }
    }
  }
  shape->SetVisibility(true, false);
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
  if (shape && shape->GetDataStatus(kGeometryData, status) && status != oxk::Shape::kDataLoaded && loader && kernel) {
    util::SmartPtr<MyLoadEvent> load(new (std::nothrow)
                                         MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), nullptr, true, false));
    if (Manage(kernel, load.get())) {
      loader->LoadShape(shape, kLoadFlags, util::SmartPtr<oxk::AsyncEvent>(load.get()), {});
    }
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

// Placement from the coordinate systems of the placement dialog.

void SymbolAnnotation::CalculateSymbolLocation(geo::Location& out) {
  util::SmartPtr<oxkapp::SceneManager> manager;
  if (const util::SmartPtr<oxkapp::OxkApp> app = oxkapp::OxkApp::Get()) {
    app->GetSceneManager(manager);
  }
  const bool oldDialog = oxcommon::IsOldDialogEnabled();
  if (!oldDialog && manager && useCurrentOrientation) {
    // The symbol keeps the orientation relative to the camera that it had in the preview.
    util::SmartPtr<oxk::View> view;
    geo::Location camera;
    const auto* shapeView = manager->GetActiveView(view) ? dynamic_cast<const oxk::ShapeView*>(view.get()) : nullptr;
    geo::DMat33 fromCamera;
    if (shapeView != nullptr && shapeView->GetCurrentCameraLocation(camera)) {
      fromCamera = geo::DMat33(camera.GetMat());
      if (fromCamera.Invert()) {
        const geo::DPoint3D kept = partCsys.GetPos();
        partCsys = partCsys * fromCamera * geo::DMat33(cameraPreviewLocation.GetMat());
        partCsys.SetPos(kept);
      }
    }
  } else if (!oldDialog && !useCurrentOrientation) {
    selectedCsys.SetMat(RemoveScale(selectedCsys.GetMat()));
  }
  geo::DMat44 fromPart = partCsys.GetXform();
  if (!fromPart.Invert()) {
    out = selectedCsys;  // a degenerate part frame: the selected frame as it is
    return;
  }
  out = geo::Location(fromPart) * selectedCsys;
}

void SymbolAnnotation::SetPartCsys(const geo::Location& location) {
  geo::DPoint3D position;
  geo::Quaternion<float> orientation;
  float scale = 1.0f;
  location.Get(position, orientation, scale);
  partCsys.Set(position, orientation, static_cast<float>(1.0 / symbolScale));
}

void SymbolAnnotation::SetCsysPos(geo::DPoint3D& position, bool keepRotation) {
  const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance();
  if (!shape) {
    return;
  }
  geo::Location placed = shape->GetLocation();
  if (!keepRotation) {
    geo::DMat33 unturn(RemoveScale(placed.GetMat()));
    if (unturn.Invert()) {
      placed = placed * unturn;
    }
  }
  position = (partCsys * placed).GetPos();
}

// Connected parts: finding them, recording where they are, following them.

std::vector<ConnectedPartInfo> SymbolAnnotation::GetConnectedParts() const {
  std::lock_guard<std::mutex> guard(partsMutex);
  try {
    return connectedParts;
  } catch (...) {
    return {};
  }
}

void SymbolAnnotation::PublishPartIds() {
  try {
    auto ids = std::make_unique<std::vector<util::Symbol>>();
    ids->reserve(connectedParts.size());
    for (const ConnectedPartInfo& part : connectedParts) {
      ids->push_back(part.partId);
    }
    partIdVersions.reserve(partIdVersions.size() + 1);  // so that keeping it cannot fail
    partIds.store(ids.get(), std::memory_order_release);
    partIdVersions.push_back(std::move(ids));
  } catch (...) {
    // Memory ran short: the previous version stays published.
  }
}

bool SymbolAnnotation::HasConnectedParts() const {
  std::lock_guard<std::mutex> guard(partsMutex);
  return !connectedParts.empty();
}

void SymbolAnnotation::StoreLastPos(const util::Symbol& partId, const geo::DPoint3D& position) {
  std::lock_guard<std::mutex> guard(partsMutex);
  for (ConnectedPartInfo& part : connectedParts) {
    if (part.partId == partId) {
      part.lastPos = position;
      return;
    }
  }
}

void SymbolAnnotation::StoreOffset(const util::Symbol& partId, const geo::DVec3& offset) {
  std::lock_guard<std::mutex> guard(partsMutex);
  for (ConnectedPartInfo& part : connectedParts) {
    if (part.partId == partId) {
      part.offset = offset;
      return;
    }
  }
}

bool SymbolAnnotation::IsAttachedToScene() const {
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  return static_cast<bool>(scene);
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

bool SymbolAnnotation::IsSbomTreeIdPath(const util::Symbol& path,
                                        util::SmartPtr<oxk::illustration::SbomInstance>& out) const {
  out.Reset();
  if (path.empty()) {
    return false;
  }
  if (const util::SmartPtr<oxkapp::illustration::OrbisApp> app = oxkapp::illustration::OrbisApp::GetOrbisApp()) {
    if (const util::SmartPtr<oxk::illustration::SbomTree> tree = app->GetSbomTree()) {
      out = tree->FindInstance(path);
      if (out) {
        return true;
      }
    }
  }
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  if (const auto* illustration = dynamic_cast<const oxk::illustration::Illustration3dScene*>(scene.get())) {
    if (const util::SmartPtr<oxk::illustration::SbomTree> tree = illustration->GetSbomTree()) {
      out = tree->FindInstance(path);
      return static_cast<bool>(out);
    }
  }
  return false;
}

void SymbolAnnotation::GetInstanceByPath(util::SmartPtr<oxk::Instance>& out, const util::Symbol& path) const {
  out.Reset();
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  if (IsSbomTreeIdPath(path, sbom)) {
    out = sbom->GetEbomInstance();
    return;
  }
  IsEbomTreeIdPath(path, out);
}

bool SymbolAnnotation::ResolvesPartPath(const util::Symbol& path) const {
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  util::SmartPtr<oxk::Instance> found;
  return IsSbomTreeIdPath(path, sbom) || IsEbomTreeIdPath(path, found);
}

bool SymbolAnnotation::CheckValidInstance(const util::SmartPtr<oxk::ShapeScene>& scene,
                                          const util::SmartPtr<oxk::Instance>& instance, util::Symbol& partPath,
                                          util::Symbol& assemblyPath) const {
  if (!scene || !instance) {
    return false;
  }
  util::SmartPtr<oxk::illustration::SbomInstance> sbom;
  if (!instance->GetSbomInstance(sbom)) {
    partPath = instance->GetIdPath();
    return true;
  }
  if (!sbom->HasChildren()) {
    assemblyPath = util::Symbol();
    partPath = sbom->GetIdPath();
    return true;
  }
  // A weld: connected through the first member the user can see that has geometry.
  assemblyPath = sbom->GetIdPath();
  std::vector<util::SmartPtr<oxk::Instance>> members;
  std::vector<util::SmartPtr<oxk::illustration::SbomInstance>> items;
  if (!sbom->GetEbomInstancesForWeld(members, items) || members.empty()) {
    return false;
  }
  geo::FBox pickedBox;
  const bool pickedHasBox = instance->GetShapeSourceBBox(pickedBox) && !pickedBox.IsEmpty();
  for (const auto& member : members) {
    util::SmartPtr<oxk::ShapeInstance> shown;
    if (!member || !scene->GetShapeInstance(member, shown) || !shown->IsVisible()) {
      continue;
    }
    if (!pickedHasBox && !shown->GetShape()) {
      continue;
    }
    util::SmartPtr<oxk::illustration::SbomInstance> memberItem;
    partPath = member->GetSbomInstance(memberItem) ? memberItem->GetIdPath() : member->GetIdPath();
    return true;
  }
  return false;
}

bool SymbolAnnotation::isConnectedPart(const util::SmartPtr<oxk::ShapeInstance>& part) const {
  // Asked by every scene notification, for every symbol of the scene: no lock, no count.
  const std::vector<util::Symbol>* ids = partIds.load(std::memory_order_acquire);
  if (!part || ids == nullptr || ids->empty()) {
    return false;
  }
  const util::SmartPtr<oxk::Instance>& instance = part->GetInstance();
  if (!instance) {
    return false;
  }
  const PartPaths paths = PathsOf(*instance);
  return std::any_of(ids->begin(), ids->end(), [&](const util::Symbol& partId) { return Matches(partId, paths); });
}

bool SymbolAnnotation::isConnectedPart(const util::Symbol& path) const {
  std::lock_guard<std::mutex> guard(partsMutex);
  for (const ConnectedPartInfo& part : connectedParts) {
    if (part.partId == path) {
      return true;
    }
  }
  return false;
}

bool SymbolAnnotation::GetConnectedPartAssembly(util::SmartPtr<oxk::Instance>& instance) const {
  if (!instance) {
    return false;
  }
  const PartPaths paths = PathsOf(*instance);
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    if (!Matches(entry.partId, paths)) {
      continue;
    }
    util::SmartPtr<oxk::Instance> assembly;
    GetInstanceByPath(assembly, entry.assemblyPartId);
    if (!assembly) {
      return false;
    }
    instance = assembly;
    return true;
  }
  return false;
}

bool SymbolAnnotation::GetEntryReferenceLocation(const ConnectedPartInfo& entry,
                                                 const util::SmartPtr<oxk::ShapeInstance>& part,
                                                 geo::Location& out) const {
  util::SmartPtr<oxk::Instance> assembly;
  GetInstanceByPath(assembly, entry.assemblyPartId);
  return GetPartReferenceLocation(part, out, assembly);
}

bool SymbolAnnotation::GetConnectedPartShapeInstance(util::SmartPtr<oxk::ShapeInstance>& out) const {
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  if (!scene) {
    return false;
  }
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    const PartInScene found = FindPartInScene(*scene, entry.partId);
    if (!found.instance) {
      continue;
    }
    out = found.shape;
    if (out) {
      return true;
    }
  }
  return false;
}

SymbolAnnotation::PartInScene SymbolAnnotation::FindPartInScene(const oxk::ShapeScene& scene,
                                                                const util::Symbol& partPath) const {
  PartInScene found;
  GetInstanceByPath(found.instance, partPath);
  if (found.instance) {
    scene.GetShapeInstance(found.instance, found.shape);
  }
  return found;
}

void SymbolAnnotation::AddSelectedPart(const util::SmartPtr<oxk::ShapeInstance>& part,
                                       const util::SmartPtr<oxk::ShapeScene>& scene,
                                       const util::SmartPtr<oxk::Instance>& instance, const geo::DPoint3D& pickPoint) {
  try {
    if (!annotationSymbol || !scene) {
      return;
    }
    if (part) {
      if (isConnectedPart(part)) {
        return;
      }
    } else {
      if (!instance) {
        return;
      }
      const PartPaths paths = PathsOf(*instance);
      if ((!paths.sbomPath.empty() && isConnectedPart(paths.sbomPath)) || isConnectedPart(paths.path)) {
        return;
      }
    }
    util::SmartPtr<oxk::Instance> picked = instance;
    if (!picked) {
      part->GetInstance(picked);
    }
    util::Symbol partPath;
    util::Symbol assemblyPath;
    if (!CheckValidInstance(scene, picked, partPath, assemblyPath)) {
      return;
    }
    {
      std::lock_guard<std::mutex> guard(partsMutex);
      connectedParts.push_back(ConnectedPartInfo{partPath, assemblyPath, pickPoint, geo::DVec3()});
      PublishPartIds();
    }
    if (assemblyPath.empty() || assemblyPath == partPath) {
      SaveLastConnectPartPos(part);
    } else {
      // Picked through its assembly: the member that was connected gives the position.
      if (const PartInScene member = FindPartInScene(*scene, partPath); member.shape) {
        SaveLastConnectPartPos(member.shape);
      }
    }
    UpdateOffsetWithConnectedParts();
  } catch (...) {
    // Memory ran short: the part is not connected, or its position not yet recorded.
  }
}

void SymbolAnnotation::AddSelectedPart(const util::Symbol& partPath, const geo::DPoint3D& lastPos,
                                       const geo::DVec3& offset, const util::Symbol& assemblyPath) {
  if (isConnectedPart(partPath)) {
    return;
  }
  if (IsAttachedToScene() && !ResolvesPartPath(partPath)) {
    return;
  }
  std::lock_guard<std::mutex> guard(partsMutex);
  try {
    connectedParts.push_back(ConnectedPartInfo{partPath, assemblyPath, lastPos, offset});
  } catch (...) {
    return;  // memory ran short: not connected
  }
  PublishPartIds();
}

void SymbolAnnotation::AddConnectedPartsByPath(const std::vector<ConnectedPartInfo>& parts) {
  if (!annotationSymbol) {
    return;
  }
  for (const ConnectedPartInfo& part : parts) {
    AddSelectedPart(part.partId, part.lastPos, part.offset, part.assemblyPartId);
  }
}

void SymbolAnnotation::SaveLastConnectPartPos(const util::SmartPtr<oxk::ShapeInstance>& part) {
  util::SmartPtr<oxk::Instance> instance;
  if (!part || !isConnectedPart(part) || !part->GetInstance(instance)) {
    return;
  }
  const PartPaths paths = PathsOf(*instance);
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    if (!Matches(entry.partId, paths)) {
      continue;
    }
    geo::Location reference;
    if (GetEntryReferenceLocation(entry, part, reference)) {
      StoreLastPos(entry.partId, reference.GetPos());
    }
  }
}

void SymbolAnnotation::UpdateOffsetWithConnectedParts() {
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  const util::SmartPtr<oxk::ShapeInstance> own = GetShapeInstance();
  // While a stored placement waits for its parts, the stored offsets are what places the
  // symbol: offsets taken from where the shape stands meanwhile would replace them.
  if (!scene || !own || legacySymbol.load()) {
    return;
  }
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    const PartInScene found = FindPartInScene(*scene, entry.partId);
    if (!found.instance) {
      continue;
    }
    const geo::DPoint3D symbolPosition = own->GetLocation().GetPos();
    geo::DVec3 offset;
    if (!found.shape) {
      offset = symbolPosition - entry.lastPos;
    } else {
      geo::Location reference;
      if (!GetEntryReferenceLocation(entry, found.shape, reference)) {
        OnShapeInstanceCreate(found.shape, false, false);
        continue;
      }
      offset = symbolPosition - reference.GetPos();
    }
    if (!offset.IsBad()) {
      StoreOffset(entry.partId, offset);
    }
  }
}

void SymbolAnnotation::UpdateSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& part, bool useOffset) {
  const util::SmartPtr<oxk::ShapeInstance> own = GetShapeInstance();
  util::SmartPtr<oxk::Instance> instance;
  if (!part || !own || !part->GetInstance(instance)) {
    return;
  }
  const PartPaths paths = PathsOf(*instance);
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    if (!Matches(entry.partId, paths)) {
      continue;
    }
    geo::Location reference;
    if (!GetEntryReferenceLocation(entry, part, reference)) {
      continue;
    }
    const geo::DVec3 delta = useOffset ? entry.offset : reference.GetPos() - entry.lastPos;
    if (delta.IsBad()) {
      continue;
    }
    geo::Location placed;
    if (legacySymbol.exchange(false)) {
      conc::ReadGuard guard(GetRWLock());
      placed = symbolLocation;  // the stored placement, on the first move after a restore
    } else {
      placed = own->GetLocation();
    }
    placed.SetPos(useOffset ? reference.GetPos() + delta : placed.GetPos() + delta);
    own->SetLocation(placed, false);
    SaveLastConnectPartPos(part);
  }
}

void SymbolAnnotation::UpdateAnnotationLocation() {
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  if (!annotationSymbol || !scene) {
    return;
  }
  for (const ConnectedPartInfo& entry : GetConnectedParts()) {
    if (const PartInScene found = FindPartInScene(*scene, entry.partId); found.shape) {
      OnShapeInstanceCreate(found.shape, true, true);
    }
  }
}

void SymbolAnnotation::OnShapeInstanceCreate(const util::SmartPtr<oxk::ShapeInstance>& part, bool updateLocation,
                                             bool useOffset) {
  if (!part) {
    return;
  }
  util::SmartPtr<oxk::Instance> reference;
  part->GetInstance(reference);
  // Left as the part's own instance when its entry names no assembly that resolves.
  GetConnectedPartAssembly(reference);
  util::SmartPtr<oxk::ShapeScene> scene;
  GetShapeScene(scene);
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (!reference || !scene || !kernel) {
    return;
  }
  const util::SmartPtr<oxk::Instance> standIn = scene->GetStandInInstance(reference);
  std::vector<util::SmartPtr<oxk::BaseInstance>> members;
  (standIn ? standIn : reference)->GetMemberSet(members);

  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  util::SmartPtr<LoadingConnectPartEvent> waiting;
  util::SmartPtr<oxk::AsyncEvent> guardEvent;
  for (const auto& member : members) {
    auto* memberInstance = dynamic_cast<oxk::Instance*>(member.get());
    util::SmartPtr<oxk::ShapeInstance> shown;
    if (memberInstance == nullptr || !scene->GetShapeInstance(util::SmartPtr<oxk::Instance>(memberInstance), shown)) {
      continue;
    }
    const util::SmartPtr<oxk::Shape> shape = shown->GetShape();
    int32_t status = oxk::Shape::kDataNone;
    if (!shape || !shape->GetDataStatus(kGeometryData, status) || status == oxk::Shape::kDataLoaded) {
      continue;
    }
    if (!waiting) {
      // The guard keeps the set from completing before every member load was started.
      waiting = util::SmartPtr<LoadingConnectPartEvent>(new (std::nothrow) LoadingConnectPartEvent(
          part, util::SmartPtr<SymbolAnnotation>(this), updateLocation, useOffset));
      if (!waiting) {
        return;
      }
      guardEvent = waiting->CreateNewEvent();
      waiting->AddEvent(guardEvent);
      Manage(kernel, guardEvent.get());
    }
    const util::SmartPtr<oxk::AsyncEvent> memberEvent = waiting->CreateNewEvent();
    waiting->AddEvent(memberEvent);
    Manage(kernel, memberEvent.get());
    if (loader) {
      util::SmartPtr<MyLoadEvent> load(
          new (std::nothrow) MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), memberEvent.get(), false, true));
      if (Manage(kernel, load.get())) {
        loader->LoadShape(shape, kLoadFlags, util::SmartPtr<oxk::AsyncEvent>(load.get()), {});
      } else {
        memberEvent->Complete(oxloader::Loader::kMissing);  // nothing will load it: do not wait
      }
    }
  }
  if (waiting) {
    guardEvent->Complete();
    return;
  }
  // Nothing is loading, so the geometry is as complete as it will get. Moving goes on
  // now; recording the offsets again would find the same geometry and come back here,
  // so only a completed load brings that caller back.
  if (updateLocation) {
    UpdateSymbolLocation(part, useOffset);
  }
}

void SymbolAnnotation::LoadConnectedPartShapeData(const util::SmartPtr<oxk::ShapeInstance>& part,
                                                  const util::SmartPtr<oxk::AsyncEvent>& parentEvent) {
  const util::SmartPtr<oxk::Shape> shape = part ? part->GetShape() : util::SmartPtr<oxk::Shape>();
  int32_t status = oxk::Shape::kDataNone;
  if (!shape || !shape->GetDataStatus(kGeometryData, status) || status == oxk::Shape::kDataLoaded) {
    return;
  }
  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (!loader || !kernel) {
    return;
  }
  util::SmartPtr<MyLoadEvent> load(
      new (std::nothrow) MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), parentEvent.get(), false, true));
  if (Manage(kernel, load.get())) {
    loader->LoadShape(shape, kLoadFlags, util::SmartPtr<oxk::AsyncEvent>(load.get()), {});
  }
}

void SymbolAnnotation::RemoveUnvalidParts() {
  std::vector<ConnectedPartInfo> kept;
  for (const ConnectedPartInfo& part : GetConnectedParts()) {
    if (ResolvesPartPath(part.partId)) {
      kept.push_back(part);
    }
  }
  std::lock_guard<std::mutex> guard(partsMutex);
  if (kept.size() != connectedParts.size()) {
    connectedParts.swap(kept);
    PublishPartIds();
  }
}

// Scene observation and selection.

void SymbolAnnotation::OnShapeInstanceRemove(const util::SmartPtr<oxk::ShapeInstance>& shape) {
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
}

void SymbolAnnotation::OnShapeInstancesAppearanceModified() {
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
}

bool SymbolAnnotation::IsSymbolSelected() const {
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
}

void SymbolAnnotation::OnSetSelected(bool selected, const util::SmartPtr<oxk::View>& /*view*/) {
  if (const util::SmartPtr<oxk::ShapeInstance> shape = GetShapeInstance()) {
    shape->SetSelected(selected);
  }
}

}  // namespace oxannotations
