// A 2D image entry of the symbol catalogue: an image file placed as a stamp or a
// billboard, with its thumbnails, tooltip texts, placement defaults and sequencer tags.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "orrinsymbols/catalogue/EntryFields.h"
#include "orrinsymbols/catalogue/PartslibraryItem.h"
#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/common/SequencerTagList.h"

namespace oxsymbols {

using oxcommon::SequencerTagList;

class OXSYMBOLS_EXPORT PartslibraryImageItem : public PartslibraryItem {
 public:
  explicit PartslibraryImageItem(bool isShared = false, bool isStandard = false)
      : PartslibraryItem(isShared, isStandard) {}
  PartslibraryImageItem(const PartslibraryImageItem&) = default;
  PartslibraryImageItem(PartslibraryImageItem&&) = default;
  PartslibraryImageItem& operator=(const PartslibraryImageItem&) = default;
  PartslibraryImageItem& operator=(PartslibraryImageItem&&) = default;
  ~PartslibraryImageItem() override = default;

  [[nodiscard]] const std::string& GetImageName() const { return GetName(); }
  void SetImageName(const std::string& name) { SetName(name); }
  [[nodiscard]] int GetImageCatID() const { return GetCategoryID(); }
  void SetImageCategoryID(int id) { SetCategoryID(id); }

  [[nodiscard]] const std::string& GetTitle() const { return m_fields.title; }
  // An empty title stores "Image <id>" with the identifier the entry has now.
  void SetTitle(const std::string& title);
  [[nodiscard]] const std::string& GetDescription() const { return m_fields.description; }
  void SetDescription(std::string text) { m_fields.description = std::move(text); }
  [[nodiscard]] bool ShowTooltipTitle() const { return m_fields.showTooltipTitle; }
  void SetShowTooltipTitle(bool show) { m_fields.showTooltipTitle = show; }
  [[nodiscard]] bool ShowTooltipDescription() const { return m_fields.showTooltipDescription; }
  void SetShowTooltipDescription(bool show) { m_fields.showTooltipDescription = show; }
  [[nodiscard]] bool GetIsBillboardImage() const { return m_isBillboardImage; }
  void SetIsBillboardImage(bool billboard) { m_isBillboardImage = billboard; }
  [[nodiscard]] const std::string& GetImageTooltip() const { return m_fields.tooltip; }
  void SetImageTooltip(std::string text) { m_fields.tooltip = std::move(text); }
  [[nodiscard]] const std::string& GetImageGalleryThumbnailUrl() const { return m_fields.galleryThumbnailUrl; }
  void SetImageGalleryThumbnailUrl(std::string url) { m_fields.galleryThumbnailUrl = std::move(url); }
  [[nodiscard]] const std::string& GetImageDlgThumbnailUrl() const { return m_fields.dlgThumbnailUrl; }
  void SetImageDlgThumbnailUrl(std::string url) { m_fields.dlgThumbnailUrl = std::move(url); }
  [[nodiscard]] const std::string& GetImageUrl() const { return m_fields.url; }
  void SetImageUrl(std::string url) { m_fields.url = std::move(url); }
  [[nodiscard]] const std::string& GetImagePreview() const { return m_previewUrl; }
  void SetImagePreview(std::string url) { m_previewUrl = std::move(url); }
  [[nodiscard]] int GetImageScale() const { return m_scale; }
  void SetImageScale(int scale) { m_scale = scale; }
  [[nodiscard]] bool GetFlipHorizontal() const { return m_flipHorizontal; }
  void SetFlipHorizontal(bool flip) { m_flipHorizontal = flip; }
  [[nodiscard]] bool GetFlipVertical() const { return m_flipVertical; }
  void SetFlipVertical(bool flip) { m_flipVertical = flip; }
  [[nodiscard]] int GetRotateRight() const { return m_rotateRight; }
  void SetRotateRight(int turns) { m_rotateRight = turns; }
  [[nodiscard]] int GetRotateLeft() const { return m_rotateLeft; }
  void SetRotateLeft(int turns) { m_rotateLeft = turns; }

  // Tags are shared objects; the indexes are the caller's to keep in range.
  void AddSequencerTag(const util::SmartPtr<oxk::illustration::SequencerTag>& tag) { m_fields.AddSequencerTag(tag); }
  void SetSequencerTag(unsigned int index, const util::SmartPtr<oxk::illustration::SequencerTag>& tag) {
    m_fields.SetSequencerTag(index, tag);
  }
  void DelSequencerTag(int index) { m_fields.DelSequencerTag(index); }
  void GetSequencerTags(SequencerTagList& out) const { m_fields.GetSequencerTags(out); }

  // The dialog thumbnail is the gallery one with its first "64x64" made "192x192".
  void ComputeDialogThumbnailUrl(std::string& url);

 private:
  detail::EntryFields m_fields;
  bool m_isBillboardImage = false;
  std::string m_previewUrl;
  int m_scale = 0;
  bool m_flipHorizontal = false;
  bool m_flipVertical = false;
  int m_rotateRight = 0;
  int m_rotateLeft = 0;
};

}  // namespace oxsymbols
