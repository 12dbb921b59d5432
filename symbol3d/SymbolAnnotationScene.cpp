#include <algorithm>
#include <cmath>
#include <new>

#include "common/SymbolFiles.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "geo/ApproximateEquality.h"
#include "oxannotations/UniversalMeasurementObserver.h"
#include "oxg/Material.h"
#include "oxk/ComponentInstance.h"
#include "oxk/Kernel.h"
#include "oxk/World.h"
#include "oxk/illustration/Limner.h"
#include "oxkapp/illustration/LimMultiRootContainer.h"
#include "oxloader/Loader.h"
#include "symbol3d/GetPartReferenceLocation.h"
#include "symbol3d/MyLoadEvent.h"
#include "symbol3d/SymbolAnnotation.h"
#include "util/FileSystem.h"

// The scene side of the 3D symbol: creating, attaching, loading, showing, removing and
// previewing its shape.

namespace oxannotations {

namespace {

// Frozen host flag value passed through unchanged.
constexpr int32_t kObserverFlags = 10;

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

}  // namespace

bool SymbolAnnotation::AttachScene(const util::SmartPtr<oxk::Scene>& scene) {
  // Scenes it lets go of may hold the last reference to this annotation: it must outlive
  // its lock guard.
  const util::SmartPtr<SymbolAnnotation> self(this);
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
        // The scene tells it about its parts and its own shape only.
        std::lock_guard<std::mutex> parts(partsMutex);
        followingObserver = sceneObserver;
        FollowInSceneLocked();
      }
    }
    oxk::Annotation::AttachScene(scene);
    bool result = true;
    if (shapeScene && !fileName.empty()) {
      result = shapeInstance ? shapeScene->RecreateShapeInstance(shapeInstance) : CreateSymbol(shapeScene);
    }
    // Which parts still exist the scene's SBOM tells through the shape shown in it: when
    // making the shape failed, every connection stays for the next attachment to judge.
    if (result) {
      RemoveUnvalidParts();
    }
    return result;
  } catch (...) {
    return false;
  }
}

void SymbolAnnotation::AdditionalInit(const util::SmartPtr<oxk::Scene>& scene) {
  try {
    const util::SmartPtr<oxk::ShapeScene> shapeScene = util::DynamicCast<oxk::ShapeScene>(scene);
    if (GetShapeInstance() || !shapeScene) {
      return;
    }
    (void)CreateSymbol(shapeScene);
    if (const util::SmartPtr<oxk::ShapeInstance> created = GetShapeInstance()) {
      shapeScene->RemoveShapeInstance(created, false, true);
    }
  } catch (...) {
    // Memory ran short: no shape yet; a later attachment creates it.
  }
}

bool SymbolAnnotation::DetachScene() {
  const util::SmartPtr<SymbolAnnotation> self(this);  // as in AttachScene
  conc::WriteGuard guard(GetRWLock());
  DropSceneObserver();
  try {
    util::SmartPtr<oxk::ShapeScene> scene;
    if (shapeInstance && shapeInstance->GetShapeScene(scene)) {
      scene->RemoveShapeInstance(shapeInstance, false, true);
    }
  } catch (...) {
    // Memory ran short telling the scene's observers: the shape may stay shown.
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
  try {
    util::SmartPtr<oxk::ShapeInstance> created = shapeScene->CreateShapeInstance(instance, IsVisible(), util::Symbol());
    if (!created) {
      shapeScene->GetShapeInstance(instance, created);
    }
    if (!created) {
      instance->RemoveUserData(GetUserDataId());
      return false;
    }
    SetShapeInstanceField(created);
  } catch (...) {
    // The node must not point at an annotation that may go before it.
    instance->RemoveUserData(GetUserDataId());
    throw;
  }

  const util::SmartPtr<oxloader::Loader> loader = oxloader::Loader::GetLoader();
  const util::SmartPtr<oxk::Kernel> kernel = oxk::Kernel::GetKernel();
  if (!loader || !kernel) {
    return false;
  }
  util::SmartPtr<MyLoadEvent> load(new (std::nothrow)
                                       MyLoadEvent(util::SmartPtr<SymbolAnnotation>(this), event.get(), false, false));
  if (!Manage(kernel, load.get())) {
    // Memory ran short: no load; the caller's event still completes, as after a failed one.
    if (event && !event->IsComplete()) {
      event->Complete(oxloader::Loader::kMissing);
    }
    return false;
  }
  const util::SmartPtr<oxk::Shape> shape = shapeInstance->GetShape();
  placingThread.store(std::this_thread::get_id());
  try {
    SetSymbolLocation(shapeInstance);
  } catch (...) {
    // Memory ran short while placing it by its parts: it stays where it was put; the load
    // still runs, so that the kernel lets go of the event and the caller's completes.
  }
  placingThread.store(std::thread::id());
  if (StartLoad(*loader, *kernel, shape, load)) {
    return true;
  }
  // The loader could not take the load (memory ran short): undone as if no shape had been
  // made, so that a later attachment makes it and loads it anew; the caller's event ends.
  try {
    shapeScene->RemoveShapeInstance(shapeInstance, false, true);
  } catch (...) {
  }
  SetShapeInstanceField({});
  instance->RemoveUserData(GetUserDataId());
  if (event && !event->IsComplete()) {
    event->Complete(oxloader::Loader::kMissing);
  }
  return false;
}

bool SymbolAnnotation::StartLoad(oxloader::Loader& loader, oxk::Kernel& kernel, const util::SmartPtr<oxk::Shape>& shape,
                                 const util::SmartPtr<MyLoadEvent>& load) noexcept {
  try {
    loader.LoadShape(shape, kLoadFlags, util::SmartPtr<oxk::AsyncEvent>(load.get()), {});
    return true;
  } catch (...) {
    // The loader could not take it: the kernel need not keep the event for a completion
    // that will not come.
    kernel.ReleaseObject(util::SmartPtr<objm::ManagedObject>(load.get()));
    return false;
  }
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
  try {
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
  } catch (...) {
    // Memory ran short: what was taken away so far stays away.
    return true;
  }
}

bool SymbolAnnotation::SymbolLoadedOK() {
  try {
    symbolLoaded.store(true);
    util::SmartPtr<oxk::ObservableEvent> displayed(new (std::nothrow)
                                                       UniversalMeasurementObserver::MeasurementDisplayedEvent(true));
    if (displayed) {
      PostObservableEvent(displayed, 0);
    }
    return true;
  } catch (...) {
    // Memory ran short: loaded, without telling the observers.
    return true;
  }
}

bool SymbolAnnotation::SymbolLoadFail() {
  const util::SmartPtr<SymbolAnnotation> self(this);  // detaching may let go of the last reference
  symbolLoaded.store(false);
  DetachScene();
  return true;
}

bool SymbolAnnotation::IsVisible() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    if (!HasConnectedParts() && shapeInstance) {
      return shapeInstance->IsVisible();
    }
  } catch (...) {
    // Memory ran short taking the lock: the annotation's own flag answers.
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
  try {
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
  } catch (...) {
    // Memory ran short: stays hidden.
  }
}

void SymbolAnnotation::CreatePreview(const util::SmartPtr<oxk::ShapeScene>& scene) {
  try {
    MakePreview(scene);
  } catch (...) {
    // Memory ran short: no preview, or one without its faint look.
  }
}

void SymbolAnnotation::MakePreview(const util::SmartPtr<oxk::ShapeScene>& scene) {
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
      (void)StartLoad(*loader, *kernel, shape, load);
    }
  }
  previewShapeInstance->RemoveHighlight(1);
  previewShapeInstance->OverrideTransparency(0.1f, true, false, {}, false);
}

void SymbolAnnotation::RemovePreview(const util::SmartPtr<oxk::ShapeScene>& scene) {
  try {
    if (!scene || !previewShapeInstance) {
      return;
    }
    scene->RemoveShapeInstance(previewShapeInstance, false, true);
    previewShapeInstance.Reset();
  } catch (...) {
    // Memory ran short telling the scene: the preview may stay.
  }
}

}  // namespace oxannotations
