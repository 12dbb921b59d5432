// A 3D symbol: a small shape from the symbol library, inserted into the model as a node
// of its own and attached to model parts. This class holds the symbol's state, applies
// creation records, clones itself and reads and writes its saved content.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "common/Export.h"
#include "common/SequencerTagList.h"
#include "geo/Location.h"
#include "oxg/Appearance.h"
#include "oxk/AsyncEvent.h"
#include "oxk/Instance.h"
#include "oxk/ShapeInstance.h"
#include "oxk/ShapeScene.h"
#include "symbol3d/ConnectedPartInfo.h"
#include "symbol3d/ShapeSceneObserver.h"
#include "symbol3d/SymbolAnnotationBase.h"
#include "symbol3d/SymbolInfo.h"
#include "util/SmartPtr.h"

namespace oxannotations {

class OXSYMBOLS_EXPORT SymbolAnnotation : public SymbolAnnotationBase {
 public:
  SymbolAnnotation();
  // Shares the shape and preview instances; starts without observer, appearance
  // override, connected parts, tags, pending event or temporary folder.
  SymbolAnnotation(const SymbolAnnotation& other);

  [[nodiscard]] static util::Symbol GetClassStatic();

  // Under the read lock: a copy, marked as created from file.
  [[nodiscard]] util::SmartPtr<oxk::Annotation> Clone() const override;
  // Under the write lock: applies the record (texts, placement, tags, parts, appearance).
  void SetSymbolInfo(const SymbolInfo& record);
  // Leaves record as it is: the symbol's state is not exported as a record.
  void GetSymbolInfo(SymbolInfo& record) const;

  // Registers the scene observer and creates (or puts back) the symbol's shape in a
  // shape scene. True when there is nothing to create; otherwise whether it worked.
  bool AttachScene(const util::SmartPtr<oxk::Scene>& scene) override;
  // Unregisters the observer and takes the shape out of its scene (the shape is kept).
  bool DetachScene() override;
  // Creates the node and the loading shape without leaving the shape in the scene.
  void AdditionalInit(const util::SmartPtr<oxk::Scene>& scene) override;
  // Under the read lock: with no connected parts, whether the shape is shown; otherwise
  // the annotation's own visibility.
  [[nodiscard]] bool IsVisible() const override;

  // Completion of the symbol's load: loaded, with a measurement-displayed notification;
  // or failed, and detached. Both return true.
  bool SymbolLoadedOK();
  bool SymbolLoadFail();

  // The placement preview: a faint, unhighlighted shape of the symbol at the identity
  // placement scaled by the symbol scale, in a shape instance of its own.
  void CreatePreview(const util::SmartPtr<oxk::ShapeScene>& scene);
  void RemovePreview(const util::SmartPtr<oxk::ShapeScene>& scene);

  // Placement with connected parts.
  void UpdateAnnotationLocation();
  void UpdateOffsetWithConnectedParts();
  void UpdateSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& part, bool useOffset);
  // Looks a part path up in the model tree; false for an empty path or no match.
  bool IsEbomTreeIdPath(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const;
  // Looks a part path up in an SBOM tree; the reference host offers none.
  bool IsSbomTreeIdPath(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const;
  // Drops every connection whose part path resolves nowhere.
  void RemoveUnvalidParts();

  bool InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) override;
  using oxk::Annotation::InitializeFromSerializedContent;
  [[nodiscard]] bool IsEqual(const util::SmartPtr<oxk::Annotation>& other) const override;
  [[nodiscard]] bool CanAnimate(const util::SmartPtr<oxk::OperationStep>& step) const override;
  [[nodiscard]] bool Flatten(const util::SmartPtr<oxk::SerializedContentElement>& element,
                             const std::map<util::Symbol, geo::Location>& transforms,
                             const oxk::FlattenInstanceCheck* instanceCheck, oxk::Pipeline* pipeline) override;
  [[nodiscard]] util::SmartPtr<oxk::ShapeInstance> GetShapeInstance() const override;
  void SetEvent(const util::SmartPtr<oxk::AsyncEvent>& newEvent) override;
  void SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) override;
  [[nodiscard]] bool HasContent() const override;

  // Plain accessors (no lock).
  [[nodiscard]] bool IsLegacySymbol() const { return legacySymbol; }
  [[nodiscard]] bool IsSymbolLoaded() const { return symbolLoaded.load(); }
  [[nodiscard]] bool IsAnnotationSymbol() const { return annotationSymbol; }
  void SetAnnotationSymbol(bool value) { annotationSymbol = value; }
  [[nodiscard]] bool IsUseCurrentOrientation() const { return useCurrentOrientation; }
  void SetUseCurrentOrientation(bool value) { useCurrentOrientation = value; }
  [[nodiscard]] int32_t GetAxisId() const { return axisId; }
  void SetAxisId(int32_t value) { axisId = value; }
  [[nodiscard]] double GetDistanceFromCsys() const { return distanceFromCsys; }
  void SetDistanceFromCsys(double value) { distanceFromCsys = value; }
  void SetSymbolScale(double value) { symbolScale = value; }
  [[nodiscard]] const geo::Location& GetCameraPreviewLocation() const { return cameraPreviewLocation; }
  void SetCameraPreviewLocation(const geo::Location& location) { cameraPreviewLocation = location; }
  void GetSelectedCsys(geo::Location& location) const { location = selectedCsys; }
  void SetSelectedCsys(const geo::Location& location) { selectedCsys = location; }
  [[nodiscard]] const geo::Location& GetPartCsys() const { return partCsys; }
  // Keeps the orientation and position of location, with the scale 1 / symbol scale.
  void SetPartCsys(const geo::Location& location);
  void GetSequencerTags(oxcommon::SequencerTagList& out) const { out = sequencerTags; }
  void SetSequencerTags(const oxcommon::SequencerTagList& tags) { sequencerTags = tags; }
  [[nodiscard]] const util::SmartPtr<oxk::ShapeInstance>& GetPreviewShapeInstance() const {
    return previewShapeInstance;
  }
  [[nodiscard]] const std::vector<ConnectedPartInfo>& GetConnectedParts() const { return connectedParts; }
  [[nodiscard]] bool HasAppearanceOverride() const { return hasAppearanceOverride; }
  [[nodiscard]] const util::SmartPtr<oxg::Appearance>& GetAppearanceOverride() const { return appearanceOverride; }
  [[nodiscard]] const geo::Location& GetSymbolLocation() const { return symbolLocation; }
  [[nodiscard]] const geo::Location& GetInitLocation() const { return initLocation; }
  [[nodiscard]] std::string GetTempDir() const;

  // Under the read lock: the tree instance or shape scene of the shape; out emptied when
  // there is no shape.
  void GetInstance(util::SmartPtr<oxk::Instance>& out) const;
  void GetShapeScene(util::SmartPtr<oxk::ShapeScene>& out) const;

  // Connects a part by its paths: once per part path; while the symbol is attached to a
  // scene only paths that resolve in the model are taken.
  void AddSelectedPart(const util::Symbol& partPath, const geo::DPoint3D& lastPos, const geo::DVec3& offset,
                       const util::Symbol& assemblyPath);
  // AddSelectedPart for each element, for annotation symbols only.
  void AddConnectedPartsByPath(const std::vector<ConnectedPartInfo>& parts);
  [[nodiscard]] bool isConnectedPart(const util::Symbol& path) const;

  void DeleteTempDir();

 protected:
  ~SymbolAnnotation() override;

  void ShowAnnotation() override;
  void HideAnnotation() override;

  // The shape is in a shape scene.
  [[nodiscard]] bool IsAttachedToScene() const;
  // Whether path names a part of the open model.
  [[nodiscard]] bool ResolvesPartPath(const util::Symbol& path) const;
  void GetInstanceByPath(util::SmartPtr<oxk::Instance>& out, const util::Symbol& path) const;

  // Builds node, shape instance and starts the load; under the write lock.
  bool CreateSymbol(const util::SmartPtr<oxk::ShapeScene>& shapeScene);
  // Finds the node named by id, or creates and places one; false without a model.
  bool InsertSymbolToTree(util::SmartPtr<oxk::Instance>& out);
  // Where the symbol file is read from.
  bool GetOlFromTempDir(std::string& path) const;
  // The url of a file packed with the opened model. Always true.
  bool ExtractSymbolsFromOxzFile(util::Symbol& url, const util::Symbol& file) const;
  // Places the shape and applies a pending appearance override.
  void SetSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& shape);
  // Takes the shape out and, when no scene shows the node any more, the node too.
  bool RemoveSymbol();
  // The initial location from the chosen coordinate systems.
  void CalculateSymbolLocation(geo::Location& out);

 private:
  // Unregisters, clears and releases the scene observer.
  void DropSceneObserver();

 protected:
  std::atomic<bool> symbolLoaded{false};
  util::SmartPtr<oxk::ShapeInstance> shapeInstance;
  util::SmartPtr<ShapeSceneObserver> sceneObserver;
  util::SmartPtr<oxk::ShapeInstance> previewShapeInstance;
  bool legacySymbol = false;
  bool hasAppearanceOverride = false;
  util::SmartPtr<oxg::Appearance> appearanceOverride;
  double symbolScale = 1.0;
  geo::Location symbolLocation;
  geo::Location initLocation = geo::Location::IDENTITY;
  geo::Location selectedCsys = geo::Location::IDENTITY;
  geo::Location partCsys = geo::Location::IDENTITY;
  mutable std::mutex tempDirMutex;  // completions clean up on the loader thread
  std::string tempDir;
  int32_t axisId = 0;
  double distanceFromCsys = 0.0;
  bool annotationSymbol = false;
  bool useCurrentOrientation = false;
  std::vector<ConnectedPartInfo> connectedParts;
  geo::Location cameraPreviewLocation;
  oxcommon::SequencerTagList sequencerTags;
  util::SmartPtr<oxk::AsyncEvent> event;
};

}  // namespace oxannotations
