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
// parts; Save asks each annotation for its content. A document whose content cannot be
// read is refused, and never written over.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "oxk/Annotation.h"
#include "oxk/Instance.h"
#include "oxk/ShapeScene.h"
#include "oxk/ShapeView.h"
#include "oxk/World.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

namespace symbols_tool {

class Document {
 public:
  // Frozen: the files a document folder holds.
  static constexpr const char* kModelFile = "model.xml";
  static constexpr const char* kContentFile = "annotations.xml";

  // One annotation of the document with the identifier path the document knows it by.
  struct Entry {
    util::SmartPtr<oxk::Annotation> annotation;
    util::Symbol idPath;
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
  // and its shape files are copied in, with empty content. False (error says why) when
  // the folder holds anything already, or the model cannot be read.
  [[nodiscard]] static bool Create(const std::string& modelPath, const std::string& folder, std::string& error);

  // Opens the document in folder and waits until every shape, image and symbol is
  // loaded and placed. The host's preferences (the symbol library) carry over from the
  // world installed before.
  [[nodiscard]] bool Open(const std::string& folder, std::string& error);
  // Writes the content of every annotation, crash-safe. Refuses, writing nothing, when an
  // annotation has no content to give (a 3D symbol whose shape could not be made), so
  // that no annotation of the file is lost.
  [[nodiscard]] bool Save(std::string& error);
  // Detaches the annotations, closes the scene and puts the world installed before back.
  void Close();

  // Waits until the loader has nothing left to do.
  [[nodiscard]] bool WaitForLoads(std::string& error) const;

  [[nodiscard]] const std::string& GetFolder() const { return m_folder; }
  [[nodiscard]] const util::SmartPtr<oxk::World>& GetWorld() const { return m_world; }
  [[nodiscard]] const util::SmartPtr<oxk::ShapeScene>& GetScene() const { return m_scene; }
  [[nodiscard]] const util::SmartPtr<oxk::ShapeView>& GetView() const { return m_view; }
  [[nodiscard]] const std::vector<Entry>& GetAnnotations() const { return m_annotations; }
  // What Open found but could live with: symbols whose file or image could not be
  // loaded are kept as they were saved, and saved again so, but not shown.
  [[nodiscard]] const std::vector<std::string>& GetWarnings() const { return m_warnings; }
  void Add(const util::SmartPtr<oxk::Annotation>& annotation, const util::Symbol& idPath);
  // A fresh identifier path with the given prefix ("/stamp" gives "/stamp1", "/stamp2").
  [[nodiscard]] util::Symbol NewIdPath(const std::string& prefix) const;

  // Copies a file into the document folder, as the authoring application packs the files
  // its symbols use; name is its name there. A file of that name with other bytes keeps
  // its place: the copy then takes a name of its own.
  [[nodiscard]] bool Pack(const std::string& source, std::string& name, std::string& error) const;

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
  bool Restore(const util::SmartPtr<oxk::SerializedContentElement>& content, std::string& error);

  std::string m_folder;
  util::SmartPtr<oxk::World> m_previousWorld;
  util::SmartPtr<oxk::World> m_world;
  util::SmartPtr<oxk::ShapeScene> m_scene;
  util::SmartPtr<oxk::ShapeView> m_view;
  std::vector<Entry> m_annotations;
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
