// Document: making a new document and packing files into one.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "CreateAnnotation.h"
#include "Document.h"
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

}  // namespace symbols_tool
