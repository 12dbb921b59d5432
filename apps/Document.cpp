#include "Document.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "CreateAnnotation.h"
#include "KeptContent.h"
#include "oxk/ComponentInstance.h"
#include "oxk/ContentFile.h"
#include "oxk/ModelFile.h"
#include "oxk/ShapeInstance.h"
#include "oxk/Tree.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxk/illustration/SbomTree.h"
#include "oxkapp/OxkApp.h"
#include "oxkapp/illustration/LimMultiRootContainer.h"
#include "oxloader/Loader.h"
#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotation.h"
#include "symbol3d/SymbolContentKeys.h"
#include "util/ConfinedFolder.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

namespace fs = std::filesystem;
using util::ConfinedFolder;
using util::SmartPtr;

namespace {

// Frozen: how the content file holds the annotations. One "annotation" element each, with
// the identifier path the document knows it by; inside it, the annotation's own content.
const util::Symbol kDocumentElement("document");
const util::Symbol kAnnotationElement("annotation");
const util::Symbol kIdPathKey("idPath");
// Frozen: the prefix of a new document's folder while it is made.
constexpr const char* kNewFolderInfix = ".symbols-new-";

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }
  return path;
}

// The identifier path of an annotation element of the content file, or empty.
util::Symbol IdPathOf(const oxk::SerializedContentElement& element) {
  const auto* value = element.FindProperty(kIdPathKey);
  const auto* path = value != nullptr ? std::get_if<util::Symbol>(value) : nullptr;
  return path != nullptr ? *path : util::Symbol();
}

// The annotation's own content inside its element: the first child.
SmartPtr<oxk::SerializedContentElement> OwnContent(const oxk::SerializedContentElement& element) {
  for (const auto& entry : element.GetEntries()) {
    if (entry.child) {
      return entry.child;
    }
  }
  return {};
}

// The top-level node paths ("/cs2") a 3D symbol's content names by its identifier key,
// at any depth, each once.
std::set<util::Symbol> NodeIdentifiers(const oxk::SerializedContentElement& content) {
  std::set<util::Symbol> nodes;
  std::vector<const oxk::SerializedContentElement*> pending{&content};
  while (!pending.empty()) {
    const oxk::SerializedContentElement* element = pending.back();
    pending.pop_back();
    for (const auto& entry : element->GetEntries()) {
      if (entry.child) {
        pending.push_back(entry.child.get());
      } else if (const auto* id = std::get_if<util::Symbol>(&entry.value);
                 id != nullptr && entry.key == oxannotations::symbolkeys::id && !id->empty()) {
        nodes.insert(util::Symbol("/" + id->str()));
      }
    }
  }
  return nodes;
}

// The file an annotation loads from the document, if it names one.
std::string FileNameOf(const SmartPtr<oxk::Annotation>& annotation) {
  if (const auto symbol = util::DynamicCast<oxannotations::SymbolAnnotation>(annotation)) {
    return symbol->GetFileName().str();
  }
  if (const auto stamp = util::DynamicCast<oxannotations::Symbol2D>(annotation)) {
    return stamp->GetImageFileName().str();
  }
  return {};
}

// Why a file the document names cannot be used, or empty when it can (or is missing:
// an annotation whose file is missing is kept, not shown).
std::string RefuseNamedFile(const ConfinedFolder& files, const std::string& name) {
  std::string why;
  if (!ConfinedFolder::IsPlainName(name, why)) {
    return why;
  }
  const ConfinedFolder::Kind kind = files.Inspect(name, why);
  switch (kind) {
    case ConfinedFolder::Kind::kMissing:
    case ConfinedFolder::Kind::kRegular:
      return {};
    case ConfinedFolder::Kind::kLink:
      return "it is a symbolic link, or leads through one; a document's files must be its own";
    case ConfinedFolder::Kind::kDirectory:
    case ConfinedFolder::Kind::kOther:
      return std::string("it ") + ConfinedFolder::Describe(kind);
  }
  return "it is not a regular file";
}

// Checks that a packed file is what it claims to be.
bool IsWhatItClaims(const std::string& bytes, Document::PackKind kind, std::string& why) {
  switch (kind) {
    case Document::PackKind::kShape: {
      const SmartPtr<oxk::Shape> shape(new oxk::Shape());
      if (oxloader::Loader::DecodeObj(bytes, *shape) != oxloader::Loader::kOk) {
        why = "not a shape file the loader reads (Wavefront OBJ)";
        return false;
      }
      return true;
    }
    case Document::PackKind::kImage: {
      uint32_t width = 0;
      uint32_t height = 0;
      const int status =
          oxloader::Loader::InspectImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), width, height);
      if (status == oxloader::Loader::kTooLarge) {
        why = "a picture larger than the loader decodes";
        return false;
      }
      if (status != oxloader::Loader::kOk) {
        why = std::string("not a ") + oxloader::Loader::kDecodedFormats + " image";
        return false;
      }
      return true;
    }
  }
  return false;
}

// Removes a folder (with what is in it) unless told it was put in place.
class FolderGuard {
 public:
  FolderGuard() = default;
  FolderGuard(const FolderGuard&) = delete;
  FolderGuard& operator=(const FolderGuard&) = delete;
  ~FolderGuard() {
    for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder) {
      std::error_code ignored;
      fs::remove_all(*folder, ignored);
    }
  }
  void Add(const fs::path& folder) { m_folders.push_back(folder); }
  void Commit() { m_folders.clear(); }

 private:
  std::vector<fs::path> m_folders;
};

// Writes a file of a new document: flushed, as one step of the command's writes.
bool WriteNewFile(const fs::path& path, const std::string& bytes, std::string& error) {
  std::error_code failed;
  fs::create_directories(path.parent_path(), failed);
  DocumentJournal::WriteStep();
  if (!util::SafeFileWriter::Write(path.string(), bytes, error)) {
    error = "cannot write " + path.string() + ": " + error;
    return false;
  }
  return true;
}

}  // namespace

Document::~Document() {
  Close();
}

bool Document::Create(const std::string& modelPath, const std::string& folder, std::string& error) {
  const fs::path target = WithoutTrailingSlash(fs::absolute(folder).lexically_normal().string());
  std::error_code failed;
  const fs::file_status status = fs::symlink_status(target, failed);
  if (fs::exists(status) && (!fs::is_directory(status) || !fs::is_empty(target, failed))) {
    error = "not an empty folder, nothing written: " + folder;
    return false;
  }
  std::string text;
  if (!util::FileSystem::ReadFile(modelPath, text, error, oxk::ModelFile::kMaxBytes)) {
    error = modelPath + ": " + error;
    return false;
  }
  // The model must open as the host opens it before anything is written; its shapes are
  // loaded when the new document is opened.
  ModelDescription model;
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  if (!model.Parse(text, modelPath, error) ||
      !oxk::ModelFile::OpenText(modelPath, text, true, world, scene, &error, false)) {
    return false;
  }
  scene->Clear();
  // Only the model's own shape files are copied: regular files inside its folder, no
  // link on the way, that read as shapes.
  const ConfinedFolder source(fs::absolute(modelPath).parent_path().string());
  std::vector<std::pair<std::string, std::string>> shapes;
  for (const std::string& file : model.GetShapeFiles()) {
    std::string bytes;
    std::string why;
    if (!source.Read(file, bytes, why, kMaxPackedBytes) || !IsWhatItClaims(bytes, PackKind::kShape, why)) {
      error = modelPath + ": shape file " + file + ": " + why + "; nothing written";
      return false;
    }
    shapes.emplace_back(file, std::move(bytes));
  }

  // Made beside the target, renamed into place; every folder made on the way goes again
  // on failure.
  FolderGuard guard;
  fs::path parent = target.parent_path();
  std::vector<fs::path> missing;
  for (fs::path up = parent; !up.empty() && !fs::exists(up, failed); up = up.parent_path()) {
    missing.push_back(up);
    if (up == up.parent_path()) {
      break;
    }
  }
  for (auto made = missing.rbegin(); made != missing.rend(); ++made) {
    if (!fs::create_directory(*made, failed)) {
      error = "cannot make " + made->string() + ": " + failed.message();
      return false;
    }
    guard.Add(*made);
  }
  // What an earlier run for the same target left when it was stopped goes first.
  const std::string building = "." + target.filename().string() + kNewFolderInfix;
  for (const fs::directory_entry& entry : fs::directory_iterator(parent, failed)) {
    if (entry.path().filename().string().compare(0, building.size(), building) == 0) {
      fs::remove_all(entry.path(), failed);
    }
  }
  std::string pattern = (parent / (building + "XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    error = "cannot make a folder beside " + target.string() + ": " + std::generic_category().message(errno);
    return false;
  }
  const fs::path made(pattern);
  guard.Add(made);
  if (!WriteNewFile(made / kModelFile, text, error)) {
    return false;
  }
  for (const auto& [file, bytes] : shapes) {
    if (!WriteNewFile(made / file, bytes, error)) {
      return false;
    }
  }
  const SmartPtr<oxk::SerializedContentElement> empty(new oxk::SerializedContentElement(kDocumentElement));
  empty->EndContent();
  if (!WriteNewFile(made / kContentFile, oxk::ContentFile::ToText(*empty), error)) {
    return false;
  }
  DocumentJournal::WriteStep();
  if (::rename(made.c_str(), target.c_str()) != 0) {
    error = errno == ENOTEMPTY || errno == EEXIST || errno == ENOTDIR
                ? "not an empty folder, nothing written: " + folder
                : "cannot make " + target.string() + ": " + std::generic_category().message(errno);
    return false;
  }
  (void)util::SafeFileWriter::SyncFolder(parent.string());
  guard.Commit();
  return true;
}

std::string Document::PathOf(const std::string& name) const {
  return (fs::path(m_folder) / name).string();
}

bool Document::ReadFiles(std::string& error) {
  const ConfinedFolder files(m_folder);
  std::string why;
  const ConfinedFolder::Kind model = files.Inspect(kModelFile, why);
  if (model == ConfinedFolder::Kind::kMissing) {
    error = "not a document (no " + std::string(kModelFile) + "): " + m_folder;
    return false;
  }
  if (model != ConfinedFolder::Kind::kRegular || !files.Read(kModelFile, m_modelText, why, oxk::ModelFile::kMaxBytes)) {
    error =
        PathOf(kModelFile) + ": " + (model != ConfinedFolder::Kind::kRegular ? ConfinedFolder::Describe(model) : why);
    return false;
  }
  if (!m_model.Parse(m_modelText, PathOf(kModelFile), error)) {
    return false;
  }
  for (const std::string& shape : m_model.GetShapeFiles()) {
    if (const std::string refused = RefuseNamedFile(files, shape); !refused.empty()) {
      error = PathOf(kModelFile) + ": the shape file " + shape + " cannot be used: " + refused;
      return false;
    }
  }

  const ConfinedFolder::Kind content = files.Inspect(kContentFile, why);
  if (content == ConfinedFolder::Kind::kMissing) {
    return true;
  }
  const std::string contentPath = PathOf(kContentFile);
  if (content != ConfinedFolder::Kind::kRegular || !files.Read(kContentFile, m_contentText, why, kMaxContentBytes)) {
    error = "the document's content cannot be read: " + contentPath + ": " +
            (content != ConfinedFolder::Kind::kRegular ? ConfinedFolder::Describe(content) : why);
    return false;
  }
  m_savedContent = oxk::ContentFile::FromText(m_contentText, why);
  if (!m_savedContent) {
    error = "the document's content cannot be read: " + contentPath + ": " + why;
    return false;
  }
  if (m_savedContent->GetName() != kDocumentElement) {
    error = "the document's content cannot be read: " + contentPath + ": its root is not a document";
    return false;
  }
  std::set<util::Symbol> seen;
  for (const auto& element : m_savedContent->GetChildren(kAnnotationElement)) {
    const util::Symbol idPath = IdPathOf(*element);
    if (idPath.empty() || !OwnContent(*element)) {
      error = "the document's content cannot be read: " + contentPath + ": an annotation without identifier or content";
      return false;
    }
    if (!seen.insert(idPath).second) {
      error = "the document's content cannot be read: " + contentPath + ": two annotations have the identifier " +
              idPath.str();
      return false;
    }
  }
  return true;
}

bool Document::Open(const std::string& folder, Access access, std::string& error,
                    const std::function<void(const std::string&)>& notice) {
  Close();
  m_folder = WithoutTrailingSlash(fs::absolute(folder).lexically_normal().string());
  std::error_code failed;
  if (!fs::is_directory(m_folder, failed)) {
    error = "not a document (no " + std::string(kModelFile) + "): " + folder;
    return false;
  }
  const auto waiting = [&] {
    if (notice) {
      notice("waiting for another command on " + m_folder);
    }
  };
  const auto exclusive = DocumentLock::Mode::kExclusive;
  if (!m_lock.Acquire(m_folder, access == Access::kWrite ? exclusive : DocumentLock::Mode::kShared, DocumentLock::kWait,
                      waiting, error)) {
    return false;
  }
  // What a stopped command left is completed or dropped first, under the writer's lock.
  if (DocumentJournal::NeedsRecovery(m_folder)) {
    if (access == Access::kRead && !m_lock.Change(exclusive, DocumentLock::kWait, waiting, error)) {
      Close();
      return false;
    }
    if (!DocumentJournal::Recover(m_folder, error) ||
        (access == Access::kRead && !m_lock.Change(DocumentLock::Mode::kShared, DocumentLock::kWait, waiting, error))) {
      Close();
      return false;
    }
  }
  if (access == Access::kWrite) {
    m_journal = std::make_unique<DocumentJournal>(m_folder);
  }
  if (!ReadFiles(error)) {
    Close();
    return false;
  }

  oxk::World::GetWorld(m_previousWorld);
  if (!oxk::ModelFile::OpenText(PathOf(kModelFile), m_modelText, true, m_world, m_scene, &error)) {
    Close();
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
  m_imageBudget = SmartPtr<oxloader::ImageBudget>(new oxloader::ImageBudget(kImageBudget));
  oxloader::Loader::GetLoader()->SetImageBudget(m_imageBudget);
  if (!WaitForLoads(error)) {
    Close();
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
  if ((m_savedContent && !Restore(error)) || !WaitForLoads(error)) {
    Close();
    return false;
  }
  m_scene->BeginUpdate();
  for (const auto& shape : hidden) {
    shape->SetVisibility(false, true);
  }
  m_scene->EndUpdate();
  if (!WaitForLoads(error)) {
    Close();
    return false;
  }
  for (const Entry& entry : m_annotations) {
    if (!entry.annotation->HasContent()) {
      error = "the symbol " + entry.idPath.str() + " cannot be restored: it has no shape to keep it in";
      Close();
      return false;
    }
    if (const auto symbol = util::DynamicCast<oxannotations::SymbolAnnotation>(entry.annotation)) {
      if (!symbol->IsSymbolLoaded()) {
        m_warnings.push_back("the symbol " + entry.idPath.str() + " is kept but not shown: its file " +
                             symbol->GetFileName().str() + " could not be loaded");
      }
      const SmartPtr<oxk::SerializedContentElement> own = OwnContent(*entry.saved);
      const size_t saved = own ? own->GetChildren(oxannotations::symbolkeys::attachedToPart).size() : 0;
      const size_t live = symbol->GetConnectedParts().size();
      if (saved > live) {
        m_warnings.push_back("the symbol " + entry.idPath.str() + " keeps " + std::to_string(saved - live) +
                             (saved - live == 1 ? " connection" : " connections") +
                             " to parts the model does not have now; they come back with the parts");
      }
    } else if (const auto stamp = util::DynamicCast<oxannotations::Symbol2D>(entry.annotation)) {
      if (stamp->GetImageWidth() <= 0) {
        m_warnings.push_back("the stamp " + entry.idPath.str() + " is kept but shows no image: its file " +
                             stamp->GetImageFileName().str() + " could not be loaded");
      }
    }
  }
  for (const KeptAnnotation& kept : m_kept) {
    m_warnings.push_back("the annotation " + kept.idPath.str() + " is of a type this version does not know (" +
                         kept.type + "); it is kept as it is");
  }
  return true;
}

bool Document::Restore(std::string& error) {
  // Identifiers the document holds are never handed out to new symbols, whether or not
  // a node of the model carries them.
  SmartPtr<oxk::MultiRootContainer> container;
  SmartPtr<oxkapp::illustration::OrbisFileInfo> fileInfo;
  if (m_world->GetMultiRootContainer(container)) {
    if (const auto illustration = util::DynamicCast<oxkapp::illustration::LimMultiRootContainer>(container)) {
      fileInfo = illustration->GetFileInfo();
    }
  }
  const ConfinedFolder files(m_folder);
  SmartPtr<oxk::Tree> tree;
  (void)m_world->GetTree(tree);
  std::set<util::Symbol> nodes;  // the nodes 3D symbols take, at the top of the model
  for (const auto& element : m_savedContent->GetChildren(kAnnotationElement)) {
    const util::Symbol idPath = IdPathOf(*element);
    if (fileInfo) {
      fileInfo->ReserveStructureId(idPath);
    }
    const SmartPtr<oxk::SerializedContentElement> own = OwnContent(*element);
    const SmartPtr<oxk::Annotation> annotation = CreateAnnotation<oxk::Annotation>(own->GetName().str());
    if (!annotation) {
      m_kept.push_back({idPath, own->GetName().str()});
      continue;
    }
    // A 3D symbol comes back on the node its saved identifier names, which must be its
    // own: one that a part of the model or another symbol holds would be taken over.
    // Every identifier its content holds, at any depth, is checked, whichever one the
    // reader takes.
    if (util::DynamicCast<oxannotations::SymbolAnnotation>(annotation)) {
      for (const util::Symbol& node : NodeIdentifiers(*own)) {
        if (!nodes.insert(node).second || (tree && tree->FindInstance(node))) {
          error = "the document's content cannot be used: " + PathOf(kContentFile) + ": the symbol " + idPath.str() +
                  " would take the node " + node.str() + ", which another symbol or a part of the model holds";
          return false;
        }
      }
    }
    (void)annotation->InitializeFromSerializedContent(own, SmartPtr<oxk::AnnoIdPathMapper>());
    // The file it loads must be the document's own before anything opens it.
    if (const std::string file = FileNameOf(annotation); !file.empty()) {
      if (const std::string refused = RefuseNamedFile(files, file); !refused.empty()) {
        error = "the document's content cannot be used: " + PathOf(kContentFile) + ": " + idPath.str() +
                " names the file " + file + ": " + refused;
        return false;
      }
    }
    annotation->SetIDPath(idPath);
    (void)annotation->AttachScene(SmartPtr<oxk::Scene>(m_scene.get()));
    m_annotations.push_back({annotation, idPath, element});
  }
  return true;
}

bool Document::Save(std::string& error) {
  if (!m_journal) {
    error = "the document was opened for reading only";
    return false;
  }
  // Each annotation as it writes itself now, with what it did not write again of what
  // was saved.
  std::map<const oxk::SerializedContentElement*, SmartPtr<oxk::SerializedContentElement>> written;
  std::vector<SmartPtr<oxk::SerializedContentElement>> added;
  for (const Entry& entry : m_annotations) {
    const SmartPtr<oxk::SerializedContentElement> element(new oxk::SerializedContentElement(kAnnotationElement));
    element->AddProperty(kIdPathKey, oxk::SerializedContentElement::Value(entry.idPath));
    entry.annotation->Visit(element);
    element->EndContent();
    if (element->GetEntries().size() < 2) {
      error = "the symbol " + entry.idPath.str() + " has no content to save; the document is left as it was";
      return false;
    }
    if (entry.saved) {
      written[entry.saved.get()] = KeptContent::Merge(*entry.saved, *element);
    } else {
      added.push_back(element);
    }
  }
  // In the order of the file, what this version does not know kept where it was; new
  // annotations after.
  const SmartPtr<oxk::SerializedContentElement> root(new oxk::SerializedContentElement(kDocumentElement));
  if (m_savedContent) {
    for (const auto& entry : m_savedContent->GetEntries()) {
      if (!entry.child) {
        root->AddProperty(entry.key, entry.value);
        continue;
      }
      const auto found = written.find(entry.child.get());
      KeptContent::CopyInto(root, found != written.end() ? *found->second : *entry.child);
    }
  }
  for (const auto& element : added) {
    KeptContent::CopyInto(root, *element);
  }
  root->EndContent();
  std::string content;
  std::string why;
  if (!oxk::ContentFile::ToText(*root, content, why)) {
    error = "the content cannot be saved: " + why + "; the document is left as it was";
    return false;
  }
  std::string staged;
  if (content != m_contentText && !m_journal->Stage(kContentFile, content, staged, error)) {
    return false;
  }
  const std::string model = m_model.IsModified() ? m_model.ToText() : m_modelText;
  if (model != m_modelText && !m_journal->Stage(kModelFile, model, staged, error)) {
    return false;
  }
  if (!m_journal->Commit(error)) {
    return false;
  }
  m_contentText = content;
  m_modelText = model;
  if (const SmartPtr<oxk::Anchor> anchor = GetAnchor()) {
    for (const auto& [name, bytes] : m_packed) {
      anchor->SetPendingFile(util::Symbol(name), std::string());
    }
  }
  m_packed.clear();
  return true;
}

void Document::Close() {
  if (m_world) {
    std::string ignored;
    (void)WaitForLoads(ignored);
    for (const Entry& entry : m_annotations) {
      (void)entry.annotation->DetachScene();
    }
    SmartPtr<oxkapp::SceneManager> manager;
    if (oxkapp::OxkApp::Get()->GetSceneManager(manager)) {
      manager->SetActiveView({});
    }
    m_scene->Clear();
    oxk::World::SetWorld(m_previousWorld);
  }
  if (m_imageBudget && oxloader::Loader::GetLoader()->GetImageBudget() == m_imageBudget) {
    oxloader::Loader::GetLoader()->SetImageBudget({});
  }
  m_annotations.clear();
  m_kept.clear();
  m_warnings.clear();
  m_packed.clear();
  m_scene.Reset();
  m_view.Reset();
  m_world.Reset();
  m_previousWorld.Reset();
  m_imageBudget.Reset();
  m_savedContent.Reset();
  m_modelText.clear();
  m_contentText.clear();
  // What was staged and not saved goes while the lock is still held.
  m_journal.reset();
  m_lock.Release();
}

bool Document::WaitForLoads(std::string& error) const {
  if (!oxloader::Loader::GetLoader()->WaitUntilIdle(kLoadTimeout)) {
    error = "the loader did not finish in time";
    return false;
  }
  return true;
}

bool Document::HoldsIdPath(const util::Symbol& idPath) const {
  return std::any_of(m_annotations.begin(), m_annotations.end(),
                     [&](const Entry& entry) { return entry.idPath == idPath; }) ||
         std::any_of(m_kept.begin(), m_kept.end(), [&](const KeptAnnotation& kept) { return kept.idPath == idPath; });
}

bool Document::Add(const SmartPtr<oxk::Annotation>& annotation, const util::Symbol& idPath) {
  if (idPath.empty() || HoldsIdPath(idPath)) {
    return false;
  }
  annotation->SetIDPath(idPath);
  m_annotations.push_back({annotation, idPath, {}});
  return true;
}

util::Symbol Document::NewIdPath(const std::string& prefix) const {
  // The numbers taken, as written after the prefix (digits only, no leading zero).
  std::set<unsigned long long> taken;
  const auto take = [&](const util::Symbol& idPath) {
    const std::string_view path = idPath.view();
    if (path.substr(0, prefix.size()) != prefix || path.size() == prefix.size() || path[prefix.size()] == '0') {
      return;
    }
    const std::string_view digits = path.substr(prefix.size());
    unsigned long long number = 0;
    const auto [end, failed] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (failed == std::errc() && end == digits.data() + digits.size()) {
      taken.insert(number);
    }
  };
  for (const Entry& entry : m_annotations) {
    take(entry.idPath);
  }
  for (const KeptAnnotation& kept : m_kept) {
    take(kept.idPath);
  }
  unsigned long long next = taken.empty() ? 1 : *taken.rbegin() + 1;
  if (!taken.empty() && *taken.rbegin() >= static_cast<unsigned long long>(LLONG_MAX)) {
    // One past the highest would not fit: the lowest free number instead.
    next = 1;
    for (const unsigned long long number : taken) {
      if (number != next) {
        break;
      }
      ++next;
    }
  }
  return util::Symbol(prefix + std::to_string(next));
}

SmartPtr<oxk::Anchor> Document::GetAnchor() const {
  SmartPtr<oxk::MultiRootContainer> container;
  SmartPtr<oxk::Structure> structure;
  SmartPtr<oxk::Anchor> anchor;
  if (m_world && m_world->GetMultiRootContainer(container) && container->GetPrimaryStructure(structure)) {
    (void)structure->GetAnchor(anchor);
  }
  return anchor;
}

bool Document::Pack(const std::string& source, PackKind kind, std::string& name, std::string& error) {
  if (!m_journal) {
    error = "the document was opened for reading only";
    return false;
  }
  std::string bytes;
  std::string why;
  if (!util::FileSystem::ReadFile(source, bytes, why, kMaxPackedBytes)) {
    error = "cannot read " + source + ": " + why;
    return false;
  }
  if (!IsWhatItClaims(bytes, kind, why)) {
    error = source + " is " + why + "; nothing is copied into the document";
    return false;
  }
  // A plain, visible name: hidden names belong to the tool's own files.
  std::string original = fs::path(source).filename().string();
  original.erase(0, original.find_first_not_of('.'));
  if (original.empty()) {
    original = kind == PackKind::kImage ? "image.png" : "shape.obj";
  }
  const fs::path plain(original);
  const ConfinedFolder files(m_folder);
  for (int attempt = 1;; ++attempt) {
    name = attempt == 1 ? original : plain.stem().string() + "-" + std::to_string(attempt) + plain.extension().string();
    if (const auto packed = m_packed.find(name); packed != m_packed.end()) {
      if (packed->second == bytes) {
        return true;
      }
      continue;
    }
    const ConfinedFolder::Kind there = files.Inspect(name, why);
    if (there == ConfinedFolder::Kind::kRegular) {
      std::string held;
      if (files.Read(name, held, why, kMaxPackedBytes) && held == bytes) {
        return true;
      }
      continue;
    }
    if (there != ConfinedFolder::Kind::kMissing) {
      error = "cannot pack " + name + " into the document: " + PathOf(name) + " " + ConfinedFolder::Describe(there) +
              "; a command writes only regular files of the document";
      return false;
    }
    std::string staged;
    if (!m_journal->Stage(name, bytes, staged, error)) {
      return false;
    }
    if (const SmartPtr<oxk::Anchor> anchor = GetAnchor()) {
      anchor->SetPendingFile(util::Symbol(name), staged);
    }
    m_packed[name] = std::move(bytes);
    return true;
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
