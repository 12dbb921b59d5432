#include "Document.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "CreateAnnotation.h"
#include "ModelDescription.h"
#include "oxk/ComponentInstance.h"
#include "oxk/ContentFile.h"
#include "oxk/ModelFile.h"
#include "oxk/ShapeInstance.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxk/illustration/SbomTree.h"
#include "oxkapp/OxkApp.h"
#include "oxloader/Loader.h"
#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotation.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

namespace fs = std::filesystem;
using util::SmartPtr;

namespace {

// Frozen: how the content file holds the annotations. One "annotation" element each, with
// the identifier path the document knows it by; inside it, the annotation's own content.
const util::Symbol kDocumentElement("document");
const util::Symbol kAnnotationElement("annotation");
const util::Symbol kIdPathKey("idPath");

// Writes a file of the document, crash-safe, making its folder when missing.
bool WriteFile(const std::string& to, const std::string& bytes, std::string& error) {
  std::error_code ignored;
  fs::create_directories(fs::path(to).parent_path(), ignored);
  if (!util::SafeFileWriter::Write(to, bytes, error)) {
    error = "cannot write " + to + ": " + error;
    return false;
  }
  return true;
}

bool CopyFile(const std::string& from, const std::string& to, std::string& error) {
  std::string bytes;
  if (!util::FileSystem::ReadFile(from, bytes)) {
    error = "cannot read " + from;
    return false;
  }
  return WriteFile(to, bytes, error);
}

// A shape file the model names must stay inside the model's folder.
bool IsInsideFolder(const std::string& relative) {
  const fs::path path = fs::path(relative).lexically_normal();
  return !relative.empty() && path.is_relative() && *path.begin() != "..";
}

}  // namespace

Document::~Document() {
  Close();
}

bool Document::Create(const std::string& modelPath, const std::string& folder, std::string& error) {
  std::error_code failed;
  if (fs::exists(folder, failed) && (!fs::is_directory(folder, failed) || !fs::is_empty(folder, failed))) {
    error = "not an empty folder, nothing written: " + folder;
    return false;
  }
  ModelDescription model;
  if (!model.Load(modelPath, error)) {
    return false;
  }
  // The model must open as the host opens it before anything is written; its shapes are
  // loaded when the new document is opened.
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  if (!oxk::ModelFile::Open(modelPath, true, world, scene, &error, false)) {
    return false;
  }
  scene->Clear();
  const fs::path source = fs::absolute(modelPath).parent_path();
  for (const std::string& file : model.GetShapeFiles()) {
    if (!IsInsideFolder(file)) {
      error = modelPath + ": shape file outside the model's folder: " + file;
      return false;
    }
  }
  fs::create_directories(folder, failed);
  if (failed) {
    error = "cannot make " + folder + ": " + failed.message();
    return false;
  }
  if (!CopyFile(modelPath, (fs::path(folder) / kModelFile).string(), error)) {
    return false;
  }
  for (const std::string& file : model.GetShapeFiles()) {
    if (!CopyFile((source / file).string(), (fs::path(folder) / file).string(), error)) {
      return false;
    }
  }
  const SmartPtr<oxk::SerializedContentElement> empty(new oxk::SerializedContentElement(kDocumentElement));
  empty->EndContent();
  return util::SafeFileWriter::Write((fs::path(folder) / kContentFile).string(), oxk::ContentFile::ToText(*empty),
                                     error);
}

bool Document::Open(const std::string& folder, std::string& error) {
  Close();
  m_folder = fs::absolute(folder).lexically_normal().string();
  const std::string modelPath = (fs::path(m_folder) / kModelFile).string();
  const std::string contentPath = (fs::path(m_folder) / kContentFile).string();
  if (!util::FileSystem::FileExists(modelPath)) {
    error = "not a document (no " + std::string(kModelFile) + "): " + folder;
    return false;
  }
  SmartPtr<oxk::SerializedContentElement> content;
  if (util::FileSystem::FileExists(contentPath)) {
    content = oxk::ContentFile::Load(contentPath);
    if (!content || content->GetName() != kDocumentElement) {
      error = "the document's content cannot be read: " + contentPath;
      return false;
    }
  }

  oxk::World::GetWorld(m_previousWorld);
  if (!oxk::ModelFile::Open(modelPath, true, m_world, m_scene, &error)) {
    return false;
  }
  if (m_previousWorld) {
    SmartPtr<oxk::Preferences> preferences;
    if (m_previousWorld->GetIllustrationPreferences(preferences)) {
      m_world->SetIllustrationPreferences(preferences);
    }
    if (m_previousWorld->GetPreferences(preferences)) {
      m_world->SetPreferences(preferences);
    }
    m_world->SetSharedLibraryEnabled(m_previousWorld->IsSharedLibraryEnabled());
  }
  oxk::World::SetWorld(m_world);
  if (!WaitForLoads(error)) {
    return false;
  }

  // The user looks at the whole model.
  m_view = SmartPtr<oxk::ShapeView>(new oxk::ShapeView(ModelView(ModelBox(), kViewWidth, kViewHeight)));
  m_scene->AddView(SmartPtr<oxk::View>(m_view.get()));
  SmartPtr<oxkapp::SceneManager> manager;
  if (!oxkapp::OxkApp::Get()->GetSceneManager(manager)) {
    manager = SmartPtr<oxkapp::SceneManager>(new oxkapp::SceneManager());
    oxkapp::OxkApp::Get()->SetSceneManager(manager);
  }
  manager->SetActiveView(SmartPtr<oxk::View>(m_view.get()));

  // The annotations come back where they were saved; then, as a viewer restores its
  // view, the hidden parts are hidden with notice, and each symbol's observer hides the
  // symbols connected to them.
  std::vector<SmartPtr<oxk::ShapeInstance>> hidden;
  for (const auto& shape : m_scene->GetShapeInstances()) {
    if (!shape->IsVisible()) {
      shape->SetVisibility(true, false);
      hidden.push_back(shape);
    }
  }
  if (content && !Restore(content, error)) {
    return false;
  }
  if (!WaitForLoads(error)) {
    return false;
  }
  m_scene->BeginUpdate();
  for (const auto& shape : hidden) {
    shape->SetVisibility(false, true);
  }
  m_scene->EndUpdate();
  if (!WaitForLoads(error)) {
    return false;
  }
  for (const Entry& entry : m_annotations) {
    if (!entry.annotation->HasContent()) {
      error = "the symbol " + entry.idPath.str() + " cannot be restored: it has no shape to keep it in";
      return false;
    }
    if (const auto symbol = util::DynamicCast<oxannotations::SymbolAnnotation>(entry.annotation)) {
      if (!symbol->IsSymbolLoaded()) {
        m_warnings.push_back("the symbol " + entry.idPath.str() + " is kept but not shown: its file " +
                             symbol->GetFileName().str() + " could not be loaded");
      }
    } else if (const auto stamp = util::DynamicCast<oxannotations::Symbol2D>(entry.annotation)) {
      if (stamp->GetImageWidth() <= 0) {
        m_warnings.push_back("the stamp " + entry.idPath.str() + " is kept but shows no image: its file " +
                             stamp->GetImageFileName().str() + " could not be loaded");
      }
    }
  }
  return true;
}

bool Document::Restore(const SmartPtr<oxk::SerializedContentElement>& content, std::string& error) {
  for (const auto& element : content->GetChildren(kAnnotationElement)) {
    const auto* idPath = element->FindProperty(kIdPathKey);
    const auto* path = idPath != nullptr ? std::get_if<util::Symbol>(idPath) : nullptr;
    SmartPtr<oxk::SerializedContentElement> own;
    for (const auto& entry : element->GetEntries()) {
      if (entry.child) {
        own = entry.child;
        break;
      }
    }
    if (path == nullptr || path->empty() || !own) {
      error = "the document's content holds an annotation without identifier or content";
      return false;
    }
    const SmartPtr<oxk::Annotation> annotation = CreateAnnotation<oxk::Annotation>(own->GetName().str());
    if (!annotation) {
      error = "the document holds an annotation of an unknown type: " + own->GetName().str();
      return false;
    }
    (void)annotation->InitializeFromSerializedContent(own, SmartPtr<oxk::AnnoIdPathMapper>());
    annotation->SetIDPath(*path);
    (void)annotation->AttachScene(SmartPtr<oxk::Scene>(m_scene.get()));
    m_annotations.push_back({annotation, *path});
  }
  return true;
}

bool Document::Save(std::string& error) {
  const SmartPtr<oxk::SerializedContentElement> root(new oxk::SerializedContentElement(kDocumentElement));
  for (const Entry& entry : m_annotations) {
    const SmartPtr<oxk::SerializedContentElement> element = root->StartContent(kAnnotationElement);
    if (!element) {
      error = "the content cannot hold " + entry.idPath.str();
      return false;
    }
    element->AddProperty(kIdPathKey, oxk::SerializedContentElement::Value(entry.idPath));
    entry.annotation->Visit(element);
    element->EndContent();
    if (element->GetEntries().size() < 2) {
      error = "the symbol " + entry.idPath.str() + " has no content to save; the document is left as it was";
      return false;
    }
  }
  root->EndContent();
  const std::string path = (fs::path(m_folder) / kContentFile).string();
  if (!util::SafeFileWriter::Write(path, oxk::ContentFile::ToText(*root), error)) {
    error = "cannot write " + path + ": " + error;
    return false;
  }
  return true;
}

void Document::Close() {
  if (!m_world) {
    return;
  }
  std::string ignored;
  (void)WaitForLoads(ignored);
  for (const Entry& entry : m_annotations) {
    (void)entry.annotation->DetachScene();
  }
  m_annotations.clear();
  m_warnings.clear();
  SmartPtr<oxkapp::SceneManager> manager;
  if (oxkapp::OxkApp::Get()->GetSceneManager(manager)) {
    manager->SetActiveView({});
  }
  m_scene->Clear();
  m_scene.Reset();
  m_view.Reset();
  oxk::World::SetWorld(m_previousWorld);
  m_world.Reset();
  m_previousWorld.Reset();
}

bool Document::WaitForLoads(std::string& error) const {
  if (!oxloader::Loader::GetLoader()->WaitUntilIdle(kLoadTimeout)) {
    error = "the loader did not finish in time";
    return false;
  }
  return true;
}

void Document::Add(const SmartPtr<oxk::Annotation>& annotation, const util::Symbol& idPath) {
  annotation->SetIDPath(idPath);
  m_annotations.push_back({annotation, idPath});
}

util::Symbol Document::NewIdPath(const std::string& prefix) const {
  long highest = 0;
  for (const Entry& entry : m_annotations) {
    const std::string& path = entry.idPath.str();
    if (path.rfind(prefix, 0) == 0) {
      highest = std::max(highest, std::strtol(path.c_str() + prefix.size(), nullptr, 10));
    }
  }
  return util::Symbol(prefix + std::to_string(highest + 1));
}

bool Document::Pack(const std::string& source, std::string& name, std::string& error) const {
  if (!util::FileSystem::FileExists(source)) {
    error = "no such file: " + source;
    return false;
  }
  std::string bytes;
  if (!util::FileSystem::ReadFile(source, bytes)) {
    error = "cannot read " + source;
    return false;
  }
  const fs::path original = fs::path(source).filename();
  for (int attempt = 1;; ++attempt) {
    name = attempt == 1 ? original.string()
                        : original.stem().string() + "-" + std::to_string(attempt) + original.extension().string();
    const std::string target = (fs::path(m_folder) / name).string();
    if (!util::FileSystem::FileExists(target)) {
      return WriteFile(target, bytes, error);
    }
    std::string there;
    if (util::FileSystem::ReadFile(target, there) && there == bytes) {
      return true;
    }
  }
}

bool Document::FindPart(const std::string& path, Part& part) const {
  part = Part{path, {}, {}};
  if (path.empty() || path[0] != '/') {
    return false;
  }
  if (const auto illustration = util::DynamicCast<oxk::illustration::Illustration3dScene>(m_scene)) {
    const SmartPtr<oxk::illustration::SbomTree> sbom = illustration->GetSbomTree();
    if (const SmartPtr<oxk::illustration::SbomInstance> item =
            sbom ? sbom->FindInstance(util::Symbol(path)) : nullptr) {
      part.picked = item->GetEbomInstance();
      std::vector<SmartPtr<oxk::illustration::SbomInstance>> items;
      if (!item->GetEbomInstancesForWeld(part.instances, items) && part.picked) {
        part.instances.push_back(part.picked);
      }
      return part.picked && !part.instances.empty();
    }
  }
  SmartPtr<oxk::Tree> tree;
  if (!m_world || !m_world->GetTree(tree)) {
    return false;
  }
  part.picked = tree->FindInstance(util::Symbol(path));
  if (!part.picked) {
    return false;
  }
  part.instances.push_back(part.picked);
  return true;
}

SmartPtr<oxk::ShapeInstance> Document::ShapeOf(const SmartPtr<oxk::Instance>& instance) const {
  SmartPtr<oxk::ShapeInstance> shape;
  if (m_scene) {
    (void)m_scene->GetShapeInstance(instance, shape);
  }
  return shape;
}

geo::DBox Document::WorldBox(const std::vector<SmartPtr<oxk::Instance>>& instances) const {
  geo::DBox box;
  for (const auto& instance : instances) {
    const SmartPtr<oxk::ShapeInstance> shape = ShapeOf(instance);
    const SmartPtr<oxk::Shape> geometry = shape ? shape->GetShape() : nullptr;
    if (!geometry || !geometry->HasGeometry()) {
      continue;
    }
    const geo::FBox model = geometry->GetModelBox();
    if (model.IsEmpty()) {
      continue;
    }
    geo::DBox local;
    local.Enclose(geo::DPoint3D(model.min[0], model.min[1], model.min[2]));
    local.Enclose(geo::DPoint3D(model.max[0], model.max[1], model.max[2]));
    box.Enclose(local.Transformed(shape->GetLocation()));
  }
  return box;
}

geo::DBox Document::ModelBox() const {
  std::vector<SmartPtr<oxk::Instance>> instances;
  // Parts only: the symbols' own nodes carry their annotation.
  for (const auto& shape : m_scene->GetShapeInstances()) {
    SmartPtr<oxk::Instance> instance;
    if (shape->GetInstance(instance) &&
        instance->GetUserData(oxannotations::SymbolAnnotationBase::GetUserDataId()) == nullptr) {
      instances.push_back(instance);
    }
  }
  return WorldBox(instances);
}

geo::Camera3D ModelView(const geo::DBox& box, int width, int height) {
  // Looking from the front right and above: the camera's Z axis (towards the viewer)
  // points to (1, -1, 1), its X axis (right on screen) to (1, 1, 0), its Y axis up.
  const double r2 = std::sqrt(2.0);
  const double r3 = std::sqrt(3.0);
  const double r6 = std::sqrt(6.0);
  const geo::DVec3 u(1 / r2, 1 / r2, 0);
  const geo::DVec3 v(-1 / r6, 1 / r6, 2 / r6);
  const geo::DVec3 w(1 / r3, -1 / r3, 1 / r3);
  const geo::FMat33 axes(static_cast<float>(u.x), static_cast<float>(v.x), static_cast<float>(w.x),
                         static_cast<float>(u.y), static_cast<float>(v.y), static_cast<float>(w.y),
                         static_cast<float>(u.z), static_cast<float>(v.z), static_cast<float>(w.z));
  geo::DPoint3D center(0, 0, 0);
  double extent = 100;
  if (!box.IsEmpty()) {
    center = box.GetCenter();
    // The box's corners seen along the view: the width the camera must cover.
    double halfU = 0;
    double halfV = 0;
    for (int corner = 0; corner < 8; ++corner) {
      const geo::DVec3 d = box.Corner(corner) - center;
      halfU = std::max(halfU, std::fabs(geo::Dot(d, u)));
      halfV = std::max(halfV, std::fabs(geo::Dot(d, v)));
    }
    extent = std::max({2 * halfU, 2 * halfV * width / std::max(1, height), 1.0});
  }
  const double distance = 4 * extent;
  const geo::DPoint3D eye(center.x + w.x * distance, center.y + w.y * distance, center.z + w.z * distance);
  geo::Camera3D camera = geo::Camera3D::Orthographic(geo::Location(axes, eye), extent * 1.25);
  camera.SetViewport(width, height);
  return camera;
}

}  // namespace symbols_tool
