// A document of the reference host: a folder standing for the packed model file a viewer
// opens. It holds the model description ("model.xml") with the model's shape files, the
// symbol shape files and images its symbols use (copied in when a symbol is placed, as
// the authoring application packs them), and the saved content of its annotations
// ("annotations.xml"). The folder is the opened model's anchor, so the module finds the
// symbol files of a document the way a viewer's module does.
//
// The tool acts as the host: Open builds the world and the shape scene from the model,
// creates every saved annotation through the module's factory, restores it from its
// content and attaches it, then hides the parts the model keeps hidden, with notice, as
// a viewer restores its view, so each symbol's scene observer hides the symbols of those
// parts; Save asks each annotation for its content.
//
// What a user can rely on:
// - One writer at a time: a document opened for writing is locked for the whole
//   command (DocumentLock); readers share the lock.
// - All or nothing: Pack and Save stage their files, and Save commits them together
//   (DocumentJournal); an open completes or drops what a stopped command left. A command
//   that fails, or is killed, leaves every file as it was.
// - Nothing outside the folder: every file the document names (shape, symbol and image
//   files) must be a plain name inside it, and no step of the way a symbolic link; only
//   regular files are read, without blocking. Packed files must be what they claim (a
//   shape the loader reads, a PNG image it decodes).
// - A document that cannot be read exactly is refused, with the file, line and reason,
//   and nothing is written.
// - What the tool does not understand it keeps: unknown content of an annotation
//   (KeptContent), annotations of unknown types, and everything of model.xml.
// - Limits: the model's and the content's depth and size, and a budget for the decoded
//   pictures of the document.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DocumentJournal.h"
#include "DocumentLock.h"
#include "ModelDescription.h"
#include "oxk/Anchor.h"
#include "oxk/Annotation.h"
#include "oxk/Instance.h"
#include "oxk/ShapeScene.h"
#include "oxk/ShapeView.h"
#include "oxk/World.h"
#include "oxloader/ImageBudget.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

namespace symbols_tool {

class Document {
 public:
  // Frozen: the files a document folder holds.
  static constexpr const char* kModelFile = "model.xml";
  static constexpr const char* kContentFile = "annotations.xml";

  // The largest files a document reads: its content, and a file it packs or holds.
  static constexpr uint64_t kMaxContentBytes = 256ull * 1024 * 1024;
  static constexpr uint64_t kMaxPackedBytes = 64ull * 1024 * 1024;
  // The decoded pictures of one open document stay within this many bytes.
  static constexpr uint64_t kImageBudget = 512ull * 1024 * 1024;

  enum class Access { kRead, kWrite };
  // What a packed file must be.
  enum class PackKind { kShape, kImage };

  // One annotation of the document with the identifier path the document knows it by.
  struct Entry {
    util::SmartPtr<oxk::Annotation> annotation;
    util::Symbol idPath;
    // Its element as the document saved it; empty for an annotation added since.
    util::SmartPtr<oxk::SerializedContentElement> saved;
  };
  // A saved annotation of a type this version does not make, kept as it was saved.
  struct KeptAnnotation {
    util::Symbol idPath;
    std::string type;
  };

  // A part named on the command line: the model-tree instances it stands for (one, or
  // the members of a weld) and the instance a user would pick for it.
  struct Part {
    std::string path;
    util::SmartPtr<oxk::Instance> picked;
    std::vector<util::SmartPtr<oxk::Instance>> instances;
  };

  Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  ~Document();

  // Makes folder a new document of the model description at modelPath: the description
  // and its shape files are copied in, with empty content. The document is made in a
  // temporary folder beside folder and renamed into place, so it appears whole or not at
  // all. False (error says why, nothing left) when the folder holds anything already,
  // the model cannot be read, or one of its shape files is not a regular file inside
  // the model's folder that reads as a shape.
  [[nodiscard]] static bool Create(const std::string& modelPath, const std::string& folder, std::string& error);

  // Locks and opens the document in folder and waits until every shape, image and
  // symbol is loaded and placed. notice hears a line when the lock is not free at once.
  // The host's preferences (the symbol library) carry over from the world installed
  // before. False (error says why) when the document is refused; nothing is written
  // then, except that the unfinished save of a stopped command is completed or dropped.
  [[nodiscard]] bool Open(const std::string& folder, Access access, std::string& error,
                          const std::function<void(const std::string&)>& notice = {});
  // Writes the content of every annotation and the changed model description, with the
  // files packed since Open, all together. Refuses, writing nothing, when the document
  // was opened for reading, or when an annotation has no content to give (a 3D symbol
  // whose shape could not be made) or holds a number that is not finite.
  [[nodiscard]] bool Save(std::string& error);
  // Detaches the annotations, closes the scene, drops what was staged and not saved,
  // releases the lock and puts the world installed before back.
  void Close();

  // Waits until the loader has nothing left to do.
  [[nodiscard]] bool WaitForLoads(std::string& error) const;

  [[nodiscard]] const std::string& GetFolder() const { return m_folder; }
  [[nodiscard]] const util::SmartPtr<oxk::World>& GetWorld() const { return m_world; }
  [[nodiscard]] const util::SmartPtr<oxk::ShapeScene>& GetScene() const { return m_scene; }
  [[nodiscard]] const util::SmartPtr<oxk::ShapeView>& GetView() const { return m_view; }
  [[nodiscard]] const std::vector<Entry>& GetAnnotations() const { return m_annotations; }
  [[nodiscard]] const std::vector<KeptAnnotation>& GetKeptAnnotations() const { return m_kept; }
  // The model description as Save writes it.
  [[nodiscard]] ModelDescription& GetModel() { return m_model; }
  // What Open found but could live with: symbols whose file or image could not be
  // loaded are kept as they were saved, and saved again so, but not shown.
  [[nodiscard]] const std::vector<std::string>& GetWarnings() const { return m_warnings; }
  // Adds an annotation under idPath; false when the document holds that path already.
  [[nodiscard]] bool Add(const util::SmartPtr<oxk::Annotation>& annotation, const util::Symbol& idPath);
  // A fresh identifier path with the given prefix ("/stamp" gives "/stamp1", "/stamp2"):
  // one past the highest the document holds, or the lowest free one when that would
  // overflow.
  [[nodiscard]] util::Symbol NewIdPath(const std::string& prefix) const;
  [[nodiscard]] bool HoldsIdPath(const util::Symbol& idPath) const;

  // Packs a file into the document, as the authoring application packs the files its
  // symbols use; name is its name there, where the module finds it from now on (Save
  // puts it in place). The file must be what kind says. A file of that name with other
  // bytes keeps its place: the copy then takes a name of its own; a name held by
  // anything but a regular file is refused.
  [[nodiscard]] bool Pack(const std::string& source, PackKind kind, std::string& name, std::string& error);

  // Resolves an SBOM path ("/FLANGE") or a model-tree path ("/1/4"); false when neither
  // tree has it.
  [[nodiscard]] bool FindPart(const std::string& path, Part& part) const;
  // The shape instance of an instance in the document's scene; empty when it has none.
  [[nodiscard]] util::SmartPtr<oxk::ShapeInstance> ShapeOf(const util::SmartPtr<oxk::Instance>& instance) const;
  // The world box of the instances' shapes (their model boxes placed where they are).
  [[nodiscard]] geo::DBox WorldBox(const std::vector<util::SmartPtr<oxk::Instance>>& instances) const;
  // The world box of every part shown or hidden in the scene.
  [[nodiscard]] geo::DBox ModelBox() const;

 private:
  bool ReadFiles(std::string& error);
  bool Restore(std::string& error);
  [[nodiscard]] util::SmartPtr<oxk::Anchor> GetAnchor() const;
  [[nodiscard]] std::string PathOf(const std::string& name) const;

  std::string m_folder;
  DocumentLock m_lock;
  std::unique_ptr<DocumentJournal> m_journal;  // set when open for writing
  ModelDescription m_model;
  std::string m_modelText;    // model.xml as it is on disk
  std::string m_contentText;  // annotations.xml as it is on disk ("" when there is none)
  util::SmartPtr<oxk::SerializedContentElement> m_savedContent;
  std::map<std::string, std::string> m_packed;  // names packed since the last save, and their bytes
  util::SmartPtr<oxloader::ImageBudget> m_imageBudget;
  util::SmartPtr<oxk::World> m_previousWorld;
  util::SmartPtr<oxk::World> m_world;
  util::SmartPtr<oxk::ShapeScene> m_scene;
  util::SmartPtr<oxk::ShapeView> m_view;
  std::vector<Entry> m_annotations;
  std::vector<KeptAnnotation> m_kept;
  std::vector<std::string> m_warnings;
};

// The document's view is as many pixels as an A4 landscape page has points, so that a
// flattened view fills a page one point a pixel.
inline constexpr int kViewWidth = 842;
inline constexpr int kViewHeight = 595;

// How long the tool waits for the loader before it gives up.
inline constexpr std::chrono::seconds kLoadTimeout{120};

// A view of the whole model: an orthographic camera looking down at it from the front
// right, fitting the model's box into a viewport of the given size.
[[nodiscard]] geo::Camera3D ModelView(const geo::DBox& box, int width, int height);

}  // namespace symbols_tool
