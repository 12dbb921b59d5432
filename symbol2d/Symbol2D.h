// A 2D image symbol: a catalogue image drawn as a stamp markup in a scene (on a page of
// a 2D document or as a billboard in 3D) that the user moves, resizes, turns in quarter
// turns and flips, or as a stamp element of a 2D illustration document. Its persistent
// state is one Symbol2DInfo; besides it the symbol keeps the original size (half
// extents recorded from the image), its markup, scene, 2D element, the caller's pending
// event and a temporary folder.
//
// Locking. The image loads on the loader's thread; OnImageLoaded runs there and never
// takes the annotation's read-write lock. Everything that thread reads or writes sits
// behind stateMutex, a small lock of the symbol's own that is never held while waiting
// for anything: markup, scene, event, 2D element, temporary folder, original size and
// the attachment count, and of the record the fields the completion reads or changes
// (centre, width, height, transparency, rotations, image file name and image object).
// The host's thread takes it to change those, and to read the three the loader writes
// (width, height, transparency); the record's other fields are the host thread's alone.
// Order: the read-write lock, then stateMutex, then the host objects' own locks.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/common/SequencerTagList.h"
#include "orrinsymbols/conc/Mutex.h"
#include "orrinsymbols/geo/DBox.h"
#include "orrinsymbols/geo/DBox2D.h"
#include "orrinsymbols/geo/Pipeline.h"
#include "orrinsymbols/oxannotations/Annotation.h"
#include "orrinsymbols/oxannotations/UniversalMeasurementObserver.h"
#include "orrinsymbols/oxcontext/Context2D.h"
#include "orrinsymbols/oxk/AsyncEvent.h"
#include "orrinsymbols/oxk/Image.h"
#include "orrinsymbols/oxk/illustration2d/Stamp2D.h"
#include "orrinsymbols/oxmk/Stamp.h"
#include "orrinsymbols/symbol2d/Symbol2DInfo.h"
#include "orrinsymbols/symbol3d/SymbolAnnotationBase.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxannotations {

class OXSYMBOLS_EXPORT Symbol2D : public Annotation {
 public:
  // The annotation type of every symbol annotation, 2D or 3D.
  static constexpr int32_t kAnnotationType = SymbolAnnotationBase::kAnnotationType;

  // A 60 by 60 stamp around the origin, black, half transparent, a billboard.
  Symbol2D();
  // A default record and a new image, then SetSymbolInfo(info).
  explicit Symbol2D(const Symbol2DInfo& info);
  // Copies the record (with an image object of its own for the same url), the original
  // size and the temporary folder; shares markup, scene, pending event and 2D element.
  Symbol2D(const Symbol2D& other);

  [[nodiscard]] static util::Symbol GetClassStatic();
  // The content key of the image file name.
  [[nodiscard]] static util::Symbol GetSymbolFileName();
  // A fresh event identifier on every call.
  [[nodiscard]] static unsigned char GetBaseEventId();

  // Every field but the image object; the original size becomes (width, height), the
  // image's url is looked up afresh, and an empty title takes the image name. The
  // markup is not touched.
  void SetSymbolInfo(const Symbol2DInfo& info);

  // Record fields.
  [[nodiscard]] std::string GetTitle() const { return info.title.str(); }
  [[nodiscard]] std::string GetDescription() const { return info.description.str(); }
  void SetTitle(const std::string& text, bool show);
  void SetDescription(const std::string& text, bool show);
  [[nodiscard]] bool ShowTooltipTitle() const { return info.showTooltipTitle; }
  [[nodiscard]] bool ShowTooltipDescription() const { return info.showTooltipDescription; }
  [[nodiscard]] const util::Symbol& GetImageName() const { return info.imageName; }
  [[nodiscard]] const util::Symbol& GetImageFileName() const { return info.imageFileName; }
  [[nodiscard]] const geo::Color& GetLineColor() const { return info.lineColor; }
  [[nodiscard]] const geo::Color& GetFillColor() const { return info.fillColor; }
  [[nodiscard]] int32_t GetLineWidth() const { return info.lineWidth; }
  [[nodiscard]] int32_t GetLineStipple() const { return info.lineStipple; }
  [[nodiscard]] int32_t GetAnchor() const { return info.anchor; }
  [[nodiscard]] float GetTransparency() const;
  [[nodiscard]] bool IsScreenSpace() const { return info.screenSpace; }
  [[nodiscard]] bool IsBillboard3D() const { return info.isBillboard; }
  [[nodiscard]] bool GetReverse() const { return info.reverse; }
  [[nodiscard]] bool GetFlipHorizontally() const { return info.flipHorizontally; }
  // Also given to the markup when there is one.
  void SetReverse(bool reverse);
  void SetFlipHorizontally(bool flip);
  [[nodiscard]] int32_t GetRotateRight() const { return info.rotateRight; }
  [[nodiscard]] int32_t GetRotateLeft() const { return info.rotateLeft; }
  // The stored degrees only; the drawing turns through SetImageRotation.
  void SetRotateRight(int32_t degrees);
  void SetRotateLeft(int32_t degrees);
  [[nodiscard]] int32_t GetPageNum() const override { return info.pageNum; }
  void SetPageNum(int32_t page) override;
  // Copies of the tag list out and in; when memory is short out comes back empty and the
  // symbol keeps its tags.
  void GetSequencerTags(oxcommon::SequencerTagList& out) const;
  void SetSequencerTags(const oxcommon::SequencerTagList& tags);
  void GetOrigSize(float& width, float& height) const;
  void SetOrigSize(float width, float height);
  [[nodiscard]] geo::DPoint3D GetCenter() const;

  // The image: its url, the catalogue look-ups, the load and its completion.
  // The url of the image file: inside the illustration application from its temporary
  // "Symbols" folder ("file:///" + path, false when the file is missing), otherwise the
  // opened model's url for the file. False (url untouched) without an image file name.
  bool GetImageFromTempDir(util::Symbol& url);
  // The catalogue's image url of the image entry id, from the library files as they are
  // now: as stored, or absolute with "file:///" before it; "" without such an entry.
  [[nodiscard]] util::Symbol GetImageByID(int id) const;
  [[nodiscard]] util::Symbol GetImageUrlByID(int id) const;
  // Starts loading the image's url; parent (may be null) completes once the symbol has
  // taken the image.
  void LoadImage(oxk::AsyncEvent* parent);
  // The load ended (also when it failed): turns a first-loaded image, shows it, sizes
  // the stamp or the 2D element, and tells observers.
  void OnImageLoaded(const util::SmartPtr<oxk::Image>& loaded, bool hadImageData);
  // The same for a load started at the given attachment (AttachmentCount): when the
  // symbol was detached or attached elsewhere since, only the image data is turned.
  void OnImageLoaded(const util::SmartPtr<oxk::Image>& loaded, bool hadImageData, uint64_t attachment);
  // Counts the symbol's attachments and detachments; a load notes it when it starts.
  [[nodiscard]] uint64_t AttachmentCount() const;
  // Gives the image data to the markup and shows the markup as the symbol is shown.
  void SetStampImage();
  // Sets the image's url and the image fields without loading anything.
  void InitImageInfo(const util::Symbol& url, const util::Symbol& name, const util::Symbol& fileName, int id,
                     bool billboard);
  // LoadImage with the pending event.
  void Initialise();
  void SetEvent(const util::SmartPtr<oxk::AsyncEvent>& newEvent) override;
  [[nodiscard]] util::SmartPtr<oxk::AsyncEvent> GetEvent() const;
  [[nodiscard]] util::SmartPtr<oxk::Image> GetImage() const { return info.image; }
  // Pixel size of frame 0 of the loaded image; -1 without image data.
  [[nodiscard]] int GetImageWidth() const;
  [[nodiscard]] int GetImageHeight() const;
  [[nodiscard]] std::string GetTempDir() const;
  void DeleteTempDir();

  // Scenes, markup and 2D element.
  [[nodiscard]] util::SmartPtr<oxk::Annotation> Clone() const override;
  bool AttachScene(const util::SmartPtr<oxk::Scene>& newScene) override;
  bool DetachScene() override;
  [[nodiscard]] util::SmartPtr<oxk::Scene> GetScene() const;
  [[nodiscard]] util::SmartPtr<oxmk::Stamp> GetMarkup() const;
  [[nodiscard]] util::SmartPtr<oxk::illustration2d::Stamp2D> GetStamp2D() const;
  void CreateAnnotation2D(const util::SmartPtr<oxk::Scene>& target) override;
  void CompleteAnnotation2D(const util::SmartPtr<oxk::Scene>& target,
                            const util::SmartPtr<oxk::AsyncEvent>& completion) override;

  bool MarkupUpdated(const util::SmartPtr<oxk::Markup>& updated, const util::SmartPtr<oxk::Markup>& previous,
                     const util::SmartPtr<oxk::Operation>& operation) override;
  void MarkupSelected(const util::SmartPtr<oxk::Markup>& selected, bool isSelected) override;
  [[nodiscard]] bool AllowGroupDrag() const override;
  bool GetMarkupShadow(util::SmartPtr<oxk::Markup>& out) const override;
  void GetMarkupLocation(int32_t index, geo::Location& location) const override;
  void SetMarkupLocation(int32_t index, const geo::Location& location) override;
  void GetMarkupSize(int32_t index, geo::DVec3& size) const override;
  void SetMarkupSize(int32_t index, const geo::DVec3& size) override;
  [[nodiscard]] int32_t NumberOfMarkups() const override;
  [[nodiscard]] int32_t GetManipulationTypes() const override;
  [[nodiscard]] geo::DBox GetBBox() const override;
  [[nodiscard]] bool IsZoomable() const override;
  [[nodiscard]] util::Symbol GetIconName() const override;
  void OnSetSelected(bool selected, const util::SmartPtr<oxk::View>& view) override;
  [[nodiscard]] bool IsEqual(const util::SmartPtr<oxk::Annotation>& other) const override;
  [[nodiscard]] std::string GetObjectDescription() const override;

  // The box of the markup's rectangle in the pipeline's device pixels; empty without a
  // markup.
  [[nodiscard]] geo::DBox GetMarkupPixelBBox(const geo::Pipeline& pipeline, oxcontext::Context2D* context, int n) const;
  // Sizes the stamp so that the image shows one screen pixel per image pixel in the
  // scene's first view.
  void SetMarkupSizeAsImage();
  // Turns the image data clockwise by (right + left) / 90 quarter turns.
  void SetImageRotation(int right, int left);
  void SetToOriginalSize();
  [[nodiscard]] bool IsOriginalSize() const;
  // Half the box's size as half extents, its centre as centre; needs the markup.
  void ApplyExtents2D(const geo::DBox2D& box);

  // Observers of the measurement-displayed event. False for an empty observer.
  bool RegisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer);
  bool UnregisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer);

  // Saved content: one "symbol2d" child with the record's fields and sequencer tags.
  void Visit(const util::SmartPtr<oxk::SerializedContentElement>& element) override;
  // The same content, with the stamp's box in the pipeline's pixels as centre and size.
  [[nodiscard]] bool Flatten(const util::SmartPtr<oxk::SerializedContentElement>& element,
                             const std::map<util::Symbol, geo::Location>& transforms,
                             const oxk::FlattenInstanceCheck* instanceCheck, oxk::Pipeline* pipeline) override;
  void SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) override;
  bool InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) override;
  bool InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                       const util::SmartPtr<objm::ManagedObject>& owner,
                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) override;

 protected:
  ~Symbol2D() override;

  void ShowAnnotation() override;
  void HideAnnotation() override;

  // See Locking above.
  mutable conc::Mutex stateMutex;
  Symbol2DInfo info;
  util::SmartPtr<oxmk::Stamp> markup OX_GUARDED_BY(stateMutex);
  util::SmartPtr<oxk::Scene> scene OX_GUARDED_BY(stateMutex);
  float origWidth OX_GUARDED_BY(stateMutex) = 30.0f;
  float origHeight OX_GUARDED_BY(stateMutex) = 30.0f;
  util::SmartPtr<oxk::AsyncEvent> event OX_GUARDED_BY(stateMutex);
  std::string tempDir OX_GUARDED_BY(stateMutex);
  util::SmartPtr<oxk::illustration2d::Stamp2D> stamp2D OX_GUARDED_BY(stateMutex);
  // One more at every attachment to a new scene and every detachment.
  uint64_t attachments OX_GUARDED_BY(stateMutex) = 0;

 private:
  // The url of a file packed with the opened model. Always true.
  bool ExtractSymbolsFromOxzFile(util::Symbol& url, const util::Symbol& file) const;
  // The content; with a pipeline, the centre and size are the markup's pixel box.
  void SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element, const geo::Pipeline* pipeline);
  // The content in a new "symbol2d" child of element; nothing without element or when
  // the child cannot be opened.
  void SerializeAsChild(const util::SmartPtr<oxk::SerializedContentElement>& element, const geo::Pipeline* pipeline);
  // The url of an image file, as GetImageFromTempDir finds it.
  bool ImageUrlFor(const util::Symbol& fileName, util::Symbol& url) const;
  // SetSymbolInfo; false, with the symbol unchanged, when memory ran short.
  bool ApplySymbolInfo(const Symbol2DInfo& record);
  // A copy of the record, taken under stateMutex.
  [[nodiscard]] Symbol2DInfo CopyInfo() const;
  // The catalogue entry's image url, as stored; false without such an entry.
  static bool FindCatalogueImageUrl(int id, std::string& url);
  // The parts of the public operations of the same names that run with stateMutex held.
  void SetStampImageLocked() OX_REQUIRES(stateMutex);
  void SetImageRotationLocked(int right, int left) OX_REQUIRES(stateMutex);
  void SetMarkupSizeAsImageLocked() OX_REQUIRES(stateMutex);
  void SetMarkupSizeLocked(const geo::DVec3& size) OX_REQUIRES(stateMutex);
};

}  // namespace oxannotations
