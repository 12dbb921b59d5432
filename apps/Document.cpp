#include "Document.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "CreateAnnotation.h"
#include "DocumentFormat.h"
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
using namespace document_format;

namespace {

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

}  // namespace

Document::~Document() {
  Close();
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

}  // namespace symbols_tool
