// A 3D symbol: a small shape from the symbol library, inserted into the model as a node
// of its own and attached to model parts. This class holds the symbol's state, applies
// creation records, clones itself, reads and writes its saved content, places itself
// from the chosen coordinate systems and follows its connected parts.
//
// Locking. The annotation's read-write lock guards the shape side of the symbol:
// shapeInstance, sceneObserver, the base annotation's scenes, the record fields that
// SetSymbolInfo and InitializeFromSerializedContent apply (texts, names, id,
// symbolLocation, initLocation, partCsys, sequencerTags, annotationSymbol and the
// appearance override) and the node that CreateSymbol and RemoveSymbol make and take.
// Scene notifications and load completions may arrive on other threads and take it for
// reading only. connectedParts has a lock of its own (partsMutex), never held while the
// host is called, because completions record offsets and last positions on the loader's
// thread while scene notifications read the list on theirs; tempDir has tempDirMutex;
// symbolLoaded and legacySymbol are atomic. The placement settings (selectedCsys,
// cameraPreviewLocation, axisId, distanceFromCsys, useCurrentOrientation, symbolScale)
// are set by the host's placement dialog before the symbol is created and take no lock.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/common/SequencerTagList.h"
#include "orrinsymbols/conc/ThreadSafety.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxg/Appearance.h"
#include "orrinsymbols/oxk/AsyncEvent.h"
#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/oxk/Kernel.h"
#include "orrinsymbols/oxk/ShapeInstance.h"
#include "orrinsymbols/oxk/ShapeScene.h"
#include "orrinsymbols/oxk/illustration/SbomInstance.h"
#include "orrinsymbols/oxloader/Loader.h"
#include "orrinsymbols/symbol3d/ConnectedPartInfo.h"
#include "orrinsymbols/symbol3d/ShapeSceneObserver.h"
#include "orrinsymbols/symbol3d/SymbolAnnotationBase.h"
#include "orrinsymbols/symbol3d/SymbolInfo.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

class MyLoadEvent;

class OXSYMBOLS_EXPORT SymbolAnnotation : public SymbolAnnotationBase {
 public:
  SymbolAnnotation();
  // Shares the shape and preview instances; starts without observer, appearance
  // override, connected parts, tags, pending event or temporary folder.
  SymbolAnnotation(const SymbolAnnotation& other);

  [[nodiscard]] static util::Symbol GetClassStatic();

  // Under the read lock: a copy, marked as created from file; empty when memory is short.
  [[nodiscard]] util::SmartPtr<oxk::Annotation> Clone() const override;
  // Under the write lock: applies the record (texts, placement, tags, parts, appearance).
  // When memory runs short on the way the annotation stays as it was.
  void SetSymbolInfo(const SymbolInfo& record);
  // Leaves record as it is: the symbol's state is not exported as a record.
  void GetSymbolInfo(SymbolInfo& record) const;

  // Registers the scene observer and creates (or puts back) the symbol's shape in a
  // shape scene, then drops the connected parts that no longer resolve. True when there
  // is nothing to create; otherwise whether it worked.
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

  // Connected parts. A part is named by its SBOM path or its model-tree path; an entry
  // matches a part when its path is either of the part's.
  //
  // Connects a picked part (for annotation symbols only, once per part): the entry takes
  // the identifiers CheckValidInstance gives, the pick point as last position until the
  // part's reference position is known, and the offsets are recorded anew.
  void AddSelectedPart(const util::SmartPtr<oxk::ShapeInstance>& part, const util::SmartPtr<oxk::ShapeScene>& scene,
                       const util::SmartPtr<oxk::Instance>& instance, const geo::DPoint3D& pickPoint);
  // Connects a part by its paths: once per part path; while the symbol is attached to a
  // scene only paths that resolve are taken.
  void AddSelectedPart(const util::Symbol& partPath, const geo::DPoint3D& lastPos, const geo::DVec3& offset,
                       const util::Symbol& assemblyPath);
  // AddSelectedPart by path for each element, for annotation symbols only.
  void AddConnectedPartsByPath(const std::vector<ConnectedPartInfo>& parts);
  // The identifiers under which a picked instance is connected: its own path, its SBOM
  // path, or for a weld the first shown member with geometry (and the weld as assembly).
  [[nodiscard]] bool CheckValidInstance(const util::SmartPtr<oxk::ShapeScene>& scene,
                                        const util::SmartPtr<oxk::Instance>& instance, util::Symbol& partPath,
                                        util::Symbol& assemblyPath) const;
  // Resolves a path in the authoring application's SBOM tree, else in that of the
  // symbol's illustration scene.
  bool IsSbomTreeIdPath(const util::Symbol& path, util::SmartPtr<oxk::illustration::SbomInstance>& out) const;
  // Resolves a path in the model tree; false for an empty path or no match.
  bool IsEbomTreeIdPath(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const;
  [[nodiscard]] bool isConnectedPart(const util::SmartPtr<oxk::ShapeInstance>& part) const;
  [[nodiscard]] bool isConnectedPart(const util::Symbol& path) const;
  // The first connected part shown in the symbol's scene.
  bool GetConnectedPartShapeInstance(util::SmartPtr<oxk::ShapeInstance>& out) const override;
  // Records each matching entry's last position: the part's reference position.
  void SaveLastConnectPartPos(const util::SmartPtr<oxk::ShapeInstance>& part);
  // Records every entry's offset: the symbol's position minus the part's reference
  // position (or minus the last position, for a part the scene does not show).
  void UpdateOffsetWithConnectedParts();
  // Moves the symbol with a part: to the part's reference position plus the offset
  // (useOffset), or by the part's displacement since its last position.
  void UpdateSymbolLocation(const util::SmartPtr<oxk::ShapeInstance>& part, bool useOffset);
  // Puts the symbol at its recorded offsets from all its parts.
  void UpdateAnnotationLocation() override;
  // Waits for the geometry of the part's members to load, then moves the symbol with
  // the part (updateLocation) or records the offsets.
  void OnShapeInstanceCreate(const util::SmartPtr<oxk::ShapeInstance>& part, bool updateLocation, bool useOffset);
  // Loads a part's geometry and completes event when it is there (not when it already was).
  void LoadConnectedPartShapeData(const util::SmartPtr<oxk::ShapeInstance>& part,
                                  const util::SmartPtr<oxk::AsyncEvent>& event);
  // Drops every connection whose part path resolves nowhere.
  void RemoveUnvalidParts();
  // The symbol's position in the part's coordinate system.
  void SetCsysPos(geo::DPoint3D& position, bool keepRotation) override;

  // Scene observation and selection.
  //
  // The symbol's own shape or a connected part left the scene.
  void OnShapeInstanceRemove(const util::SmartPtr<oxk::ShapeInstance>& shape);
  // Folds the shape's visibility into the annotation's, once per scene update.
  void OnShapeInstancesAppearanceModified();
  // Whether the scene's selection holds this annotation.
  [[nodiscard]] bool IsSymbolSelected() const;
  void OnSetSelected(bool selected, const util::SmartPtr<oxk::View>& view) override;
  // Whether shape is the symbol's own shape instance; no lock, for the observer.
  [[nodiscard]] bool IsOwnShapeInstance(const oxk::ShapeInstance* shape) const { return shape == ownShape.load(); }

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
  [[nodiscard]] bool IsLegacySymbol() const { return legacySymbol.load(); }
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
  // Copies of the tag list out and in; when memory is short out comes back empty and the
  // symbol keeps its tags.
  void GetSequencerTags(oxcommon::SequencerTagList& out) const;
  void SetSequencerTags(const oxcommon::SequencerTagList& tags);
  [[nodiscard]] const util::SmartPtr<oxk::ShapeInstance>& GetPreviewShapeInstance() const {
    return previewShapeInstance;
  }
  // A copy of the connected parts as they are now (empty when memory is short).
  [[nodiscard]] std::vector<ConnectedPartInfo> GetConnectedParts() const;
  [[nodiscard]] bool HasAppearanceOverride() const { return hasAppearanceOverride; }
  [[nodiscard]] const util::SmartPtr<oxg::Appearance>& GetAppearanceOverride() const { return appearanceOverride; }
  [[nodiscard]] const geo::Location& GetSymbolLocation() const { return symbolLocation; }
  [[nodiscard]] const geo::Location& GetInitLocation() const { return initLocation; }
  [[nodiscard]] std::string GetTempDir() const;

  // Under the read lock: the tree instance or shape scene of the shape; out emptied when
  // there is no shape.
  void GetInstance(util::SmartPtr<oxk::Instance>& out) const;
  void GetShapeScene(util::SmartPtr<oxk::ShapeScene>& out) const;

  void DeleteTempDir();

 protected:
  ~SymbolAnnotation() override;

  void ShowAnnotation() override;
  void HideAnnotation() override;

  // The shape is in a shape scene.
  [[nodiscard]] bool IsAttachedToScene() const;
  // Whether path names a part of the open model (SBOM first, then the model tree).
  [[nodiscard]] bool ResolvesPartPath(const util::Symbol& path) const;
  // The model-tree instance at path: an SBOM item's, else the model tree's own.
  void GetInstanceByPath(util::SmartPtr<oxk::Instance>& out, const util::Symbol& path) const;
  // The assembly that stands for a part in its first matching entry.
  bool GetConnectedPartAssembly(util::SmartPtr<oxk::Instance>& instance) const;

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
  // The initial location from the chosen coordinate systems (and the camera, when the
  // symbol keeps the orientation it had in the preview).
  void CalculateSymbolLocation(geo::Location& out);
  // Sets shapeInstance and the lock-free copy of its address the observer compares with.
  void SetShapeInstanceField(const util::SmartPtr<oxk::ShapeInstance>& shape);

  // Frozen host flag value of shape loads, passed through unchanged.
  static constexpr int32_t kLoadFlags = 4;
  // Hands a new event or observer to the kernel; false when there is none or no kernel.
  static bool Manage(const util::SmartPtr<oxk::Kernel>& kernel, objm::ManagedObject* object) noexcept;
  // Starts a load the kernel manages; false, with the kernel no longer holding the event,
  // when the loader could not take it (memory ran short).
  static bool StartLoad(oxloader::Loader& loader, oxk::Kernel& kernel, const util::SmartPtr<oxk::Shape>& shape,
                        const util::SmartPtr<MyLoadEvent>& load) noexcept;

 private:
  // SetSymbolInfo, letting a shortage of memory before the first change through.
  void ApplySymbolInfo(const SymbolInfo& record);
  // CreatePreview, letting a shortage of memory through.
  void MakePreview(const util::SmartPtr<oxk::ShapeScene>& scene);
  // Unregisters, clears and releases the scene observer.
  void DropSceneObserver() OX_REQUIRES(GetRWLock());
  // Tells the scene observer (when there is one) what the symbol follows: its connected
  // parts and its own shape, so that the scene tells it about nothing else. Under
  // partsMutex; never throws (short of memory the observer hears about everything).
  void FollowInSceneLocked() noexcept;
  // IsSbomTreeIdPath and IsEbomTreeIdPath, letting a shortage of memory through.
  bool FindInSbom(const util::Symbol& path, util::SmartPtr<oxk::illustration::SbomInstance>& out) const;
  bool FindInModel(const util::Symbol& path, util::SmartPtr<oxk::Instance>& out) const;
  // A copy of the connected parts; throws when memory is short.
  [[nodiscard]] std::vector<ConnectedPartInfo> CopyParts() const;
  // The entry at index as it is now; false past the end of the list.
  bool ReadEntry(size_t index, ConnectedPartInfo& out) const;
  // Writes a field of the entry at index, when it is still the entry read from there.
  void StoreLastPos(size_t index, const ConnectedPartInfo& entry, const geo::DPoint3D& position);
  void StoreOffset(size_t index, const ConnectedPartInfo& entry, const geo::DVec3& offset);
  [[nodiscard]] bool HasConnectedParts() const;
  // A connected part as a scene has it: the model-tree instance its path names (empty
  // when the path resolves nowhere) and that instance's shape in the scene (empty when
  // the scene does not show it).
  struct PartInScene {
    util::SmartPtr<oxk::Instance> instance;
    util::SmartPtr<oxk::ShapeInstance> shape;
  };
  [[nodiscard]] PartInScene FindPartInScene(const oxk::ShapeScene& scene, const util::Symbol& partPath) const;
  // The reference location of part as entry connects it: through the entry's assembly
  // when it names one that resolves (GetPartReferenceLocation).
  [[nodiscard]] bool GetEntryReferenceLocation(const ConnectedPartInfo& entry,
                                               const util::SmartPtr<oxk::ShapeInstance>& part,
                                               geo::Location& out) const;
  // Publishes the part paths for isConnectedPart; called with partsMutex held after every
  // change of the list's entries. May throw bad_alloc, leaving the previous version.
  void PublishPartIds();
  // Appends an entry and publishes it, or neither (throws when memory runs short).
  void AppendEntry(const ConnectedPartInfo& entry);
  // AddSelectedPart by path and AddConnectedPartsByPath, letting a shortage of memory
  // through to the caller.
  void ConnectByPath(const ConnectedPartInfo& entry);
  void ConnectAllByPath(const std::vector<ConnectedPartInfo>& parts);

 protected:
  std::atomic<bool> symbolLoaded{false};
  util::SmartPtr<oxk::ShapeInstance> shapeInstance;
  util::SmartPtr<ShapeSceneObserver> sceneObserver OX_GUARDED_BY(GetRWLock());
  util::SmartPtr<oxk::ShapeInstance> previewShapeInstance;
  std::atomic<bool> legacySymbol{false};
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
  mutable std::mutex partsMutex;
  std::vector<ConnectedPartInfo> connectedParts;
  geo::Location cameraPreviewLocation;
  oxcommon::SequencerTagList sequencerTags;
  util::SmartPtr<oxk::AsyncEvent> event;

 private:
  std::atomic<const oxk::ShapeInstance*> ownShape{nullptr};
  // The thread that is creating and placing the shape (CreateSymbol), if any: the moves it
  // makes meanwhile record no offsets.
  std::atomic<std::thread::id> placingThread{};
  // The part paths as last published, read on every scene notification without a lock.
  // Each version is kept until the annotation goes, so no reader sees one freed; the list
  // of a symbol changes a handful of times.
  std::atomic<const std::vector<util::Symbol>*> partIds{nullptr};
  std::vector<std::unique_ptr<const std::vector<util::Symbol>>> partIdVersions;  // under partsMutex
  // Under partsMutex: the registered scene observer, told what to follow whenever the
  // parts or the own shape change, and the path of the own shape's instance.
  util::SmartPtr<ShapeSceneObserver> followingObserver;
  util::Symbol ownShapePath;
};

}  // namespace oxannotations
