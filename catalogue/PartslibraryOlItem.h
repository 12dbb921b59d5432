// A 3D shape entry of the symbol catalogue: a symbol shape file with its thumbnails,
// tooltip texts, placement defaults (coordinate system, axis, orientation), an optional
// stored camera and sequencer tags.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "orrinsymbols/catalogue/EntryFields.h"
#include "orrinsymbols/catalogue/PartslibraryImageItem.h"
#include "orrinsymbols/catalogue/PartslibraryItem.h"
#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/geo/Camera3D.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/illustration/SequencerTag.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxsymbols {

class OXSYMBOLS_EXPORT PartslibraryOlItem : public PartslibraryItem {
 public:
  explicit PartslibraryOlItem(bool isShared = false, bool isStandard = false)
      : PartslibraryItem(isShared, isStandard) {}
  PartslibraryOlItem(const PartslibraryOlItem&) = default;
  PartslibraryOlItem(PartslibraryOlItem&&) = default;
  PartslibraryOlItem& operator=(const PartslibraryOlItem&) = default;
  PartslibraryOlItem& operator=(PartslibraryOlItem&&) = default;
  ~PartslibraryOlItem() override = default;

  [[nodiscard]] const std::string& GetOlName() const { return GetName(); }
  void SetOlName(const std::string& name) { SetName(name); }
  [[nodiscard]] int GetOlCategoryID() const { return GetCategoryID(); }

  [[nodiscard]] const std::string& GetTitle() const { return m_fields.title; }
  // An empty title stores "Ol <id>" with the identifier the entry has now.
  void SetTitle(const std::string& title);
  [[nodiscard]] const std::string& GetDescription() const { return m_fields.description; }
  void SetDescription(std::string text) { m_fields.description = std::move(text); }
  [[nodiscard]] bool ShowTooltipTitle() const { return m_fields.showTooltipTitle; }
  void SetShowTooltipTitle(bool show) { m_fields.showTooltipTitle = show; }
  [[nodiscard]] bool ShowTooltipDescription() const { return m_fields.showTooltipDescription; }
  void SetShowTooltipDescription(bool show) { m_fields.showTooltipDescription = show; }
  [[nodiscard]] const std::string& GetOlTooltip() const { return m_fields.tooltip; }
  void SetOlTooltip(std::string text) { m_fields.tooltip = std::move(text); }
  [[nodiscard]] const std::string& GetOlGalleryThumbnailUrl() const { return m_fields.galleryThumbnailUrl; }
  void SetOlGalleryThumbnailUrl(std::string url) { m_fields.galleryThumbnailUrl = std::move(url); }
  [[nodiscard]] const std::string& GetOlDlgThumbnailUrl() const { return m_fields.dlgThumbnailUrl; }
  void SetOlDlgThumbnailUrl(std::string url) { m_fields.dlgThumbnailUrl = std::move(url); }
  [[nodiscard]] const std::string& GetOlPreviewThumbnailUrl() const { return m_previewThumbnailUrl; }
  void SetOlPreviewThumbnailUrl(std::string url) { m_previewThumbnailUrl = std::move(url); }
  [[nodiscard]] const std::string& GetOlUrl() const { return m_fields.url; }
  void SetOlUrl(std::string url) { m_fields.url = std::move(url); }
  [[nodiscard]] double GetOlScale() const { return m_scale; }
  void SetOlScale(double scale) { m_scale = scale; }
  [[nodiscard]] int GetOlOrientation() const { return m_orientation; }
  void SetOlOrientation(int orientation) { m_orientation = orientation; }
  [[nodiscard]] const geo::Location& GetOlCsys() const { return m_csys; }
  void SetOlCsys(const geo::Location& csys) { m_csys = csys; }
  [[nodiscard]] int GetAxisId() const { return m_axisId; }
  void SetAxisId(int id) { m_axisId = id; }
  [[nodiscard]] std::string GetAxisName() const { return m_axisName; }
  void SetAxisName(std::string name) { m_axisName = std::move(name); }
  [[nodiscard]] double GetDistanceFromCsys() const { return m_distanceFromCsys; }
  void SetDistanceFromCsys(double distance) { m_distanceFromCsys = distance; }
  [[nodiscard]] std::string GetOrientationName() const { return m_orientationName; }
  void SetOrientationName(std::string name) { m_orientationName = std::move(name); }
  [[nodiscard]] bool IsAnnotationSymbol() const { return m_annotationSymbol; }
  void SetAnnotationSymbol(bool annotation) { m_annotationSymbol = annotation; }
  [[nodiscard]] bool IsUseCurrentOrientation() const { return m_useCurrentOrientation; }
  void SetUseCurrentOrientation(bool use) { m_useCurrentOrientation = use; }
  [[nodiscard]] int GetEditCsysMethod() const { return m_editCsysMethod; }
  void SetEditCsysMethod(int method) { m_editCsysMethod = method; }

  // Tags are shared objects; the indexes are the caller's to keep in range.
  void AddSequencerTag(const util::SmartPtr<oxk::illustration::SequencerTag>& tag) { m_fields.AddSequencerTag(tag); }
  void SetSequencerTag(unsigned int index, const util::SmartPtr<oxk::illustration::SequencerTag>& tag) {
    m_fields.SetSequencerTag(index, tag);
  }
  void DelSequencerTag(int index) { m_fields.DelSequencerTag(index); }
  void GetSequencerTags(SequencerTagList& out) const { m_fields.GetSequencerTags(out); }

  // A stored camera: orthographic width or perspective field of view, and its location.
  void SetCameraData(const geo::Camera3D& camera);
  void SetCameraData(bool orthographic, double value, const geo::Location& location);
  // False (outputs untouched) when no camera was ever stored.
  bool GetCameraData(bool& orthographic, double& value, geo::Location& location) const;
  [[nodiscard]] bool IsCameraSet() const { return m_cameraKind != kNoCamera; }

  // Replaces the first occurrence of from by to.
  static void ComputeThumbnailUrl(std::string& url, const std::string& from, const std::string& to);

 private:
  enum CameraKind { kNoCamera = 0, kOrthographic = 1, kPerspective = 2 };

  detail::EntryFields m_fields;
  std::string m_previewThumbnailUrl;
  double m_scale = 1.0;
  int m_orientation = 0;
  geo::Location m_csys = geo::Location::IDENTITY;
  int m_cameraKind = kNoCamera;
  double m_cameraValue = 0.0;
  geo::Location m_cameraLocation;
  int m_axisId = 0;
  double m_distanceFromCsys = 0.0;
  std::string m_axisName;
  std::string m_orientationName;
  bool m_annotationSymbol = false;
  bool m_useCurrentOrientation = false;
  int m_editCsysMethod = 1;
};

}  // namespace oxsymbols
