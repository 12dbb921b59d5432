#include "catalogue/LibraryWriter.h"

#include "catalogue/LibraryNames.h"
#include "catalogue/LibraryPaths.h"
#include "catalogue/NumberText.h"
#include "common/IsOldDialogEnabled.h"
#include "geo/XmlElem.h"
#include "util/PathParts.h"

namespace oxsymbols::detail {

namespace {

using oxk::illustration::SequencerTag;

std::string_view Bool(bool value) {
  return value ? "true" : "false";
}

// Element names as the writer spells them (the same frozen names the reader interns).
const char* Name(const util::Symbol& symbol) {
  return symbol.safe_c_str();
}

}  // namespace

LibraryWriter::LibraryWriter(const PartslibraryList& list, bool standard)
    : m_list(list), m_standard(standard), m_oldDialog(oxcommon::IsOldDialogEnabled()) {
  const std::string libraryPath = PartslibraryList::GetLibraryPath();
  m_libraryPathLength = libraryPath.size();
  m_libraryLocationKey = LibraryLocationKey(libraryPath);
}

bool LibraryWriter::IsWritten(const PartslibraryItemBase& item) const {
  // Standard mode keeps everything but shared entries, user mode only the user's own.
  return m_standard ? !item.IsShared() : !item.IsShared() && !item.IsStandard();
}

std::string LibraryWriter::Build(LibraryCounts* written) const {
  LibraryCounts counts;
  std::string out;
  // Roughly what an entry takes, so that the text grows without copying.
  out.reserve(512 + m_list.GetCategoryList().size() * 256 + m_list.GetOlList().size() * 1024 +
              m_list.GetImageList().size() * 896);
  XmlTextWriter xml(out);
  xml.Raw(names::kDeclaration);
  xml.Open(Name(names::kRoot), 0);
  xml.Element(Name(names::kUnits), 1, m_list.GetUnits());
  xml.Element(Name(names::kInformation), 1, m_list.GetInformation());

  xml.Open(Name(names::kCategories), 1);
  for (const auto& category : m_list.GetCategoryList()) {
    if (category && IsWritten(*category)) {
      WriteCategory(xml, *category);
      ++counts.categories;
    }
  }
  xml.Close(Name(names::kCategories), 1);

  xml.Open(Name(names::kShapes), 1);
  for (const auto& ol : m_list.GetOlList()) {
    if (ol && IsWritten(*ol)) {
      WriteShape(xml, *ol);
      ++counts.shapes;
    }
  }
  xml.Close(Name(names::kShapes), 1);

  xml.Open(Name(names::kSymbols), 1);
  for (const auto& image : m_list.GetImageList()) {
    if (image && IsWritten(*image)) {
      WriteImage(xml, *image);
      ++counts.images;
    }
  }
  xml.Close(Name(names::kSymbols), 1);
  xml.Close(Name(names::kRoot), 0);
  if (written != nullptr) {
    *written = counts;
  }
  return out;
}

void LibraryWriter::WriteCategory(XmlTextWriter& xml, const PartslibraryCategoryItem& category) const {
  NumberBuffer number;
  xml.Start(Name(names::kCategory), 2).Attribute(names::kId, FormatInt(category.GetID(), number)).EndStartTag();
  xml.Element(Name(names::kName), 3, category.GetName());
  xml.Element(Name(names::kTooltip), 3, category.GetCatTooltip());
  xml.Element(Name(names::kDescription), 3, category.GetCatDescription());
  xml.Close(Name(names::kCategory), 2);
}

template <class Entry>
void LibraryWriter::WriteEntryTexts(XmlTextWriter& xml, const Entry& entry, const std::string& tooltip,
                                    const std::string& galleryThumbnail, const char* fileElement,
                                    const std::string& file) const {
  xml.Element(Name(names::kName), 3, entry.GetName());
  xml.Element(Name(names::kTitle), 3, entry.GetTitle());
  xml.Element(Name(names::kShowTooltipTitle), 3, Bool(entry.ShowTooltipTitle()));
  xml.Element(Name(names::kDescription), 3, entry.GetDescription());
  xml.Element(Name(names::kShowTooltipDescription), 3, Bool(entry.ShowTooltipDescription()));
  xml.Element(Name(names::kTooltip), 3, tooltip);

  // Thumbnails are saved inside the library's image folder, whatever folder they are in.
  std::string reference = galleryThumbnail;
  if (util::FileSpec::IsAbsolute(reference)) {
    TrimToLibraryFolder(reference, true, m_standard && !entry.IsShared());
  }
  xml.Start(Name(names::kGalleryThumbnail), 3).Attribute(names::kUrl, reference).EndEmpty();
  // Files under the library folder are saved relative to it, others as they are.
  reference = file;
  if (util::FileSpec::IsAbsolute(reference) && IsUnderLocation(reference, m_libraryLocationKey)) {
    MakeRelative(reference, m_standard && !entry.IsStandard(), m_libraryPathLength);
  }
  xml.Start(fileElement, 3).Attribute(names::kUrl, reference).EndEmpty();
}

void LibraryWriter::WriteShape(XmlTextWriter& xml, const PartslibraryOlItem& ol) const {
  NumberBuffer number;
  xml.Start(Name(names::kShape), 2)
      .Attribute(names::kId, FormatInt(ol.GetID(), number))
      .Attribute(names::kCategoryId, FormatInt(ol.GetCategoryID(), number))
      .EndStartTag();
  WriteEntryTexts(xml, ol, ol.GetOlTooltip(), ol.GetOlGalleryThumbnailUrl(), Name(names::kGraphic), ol.GetOlUrl());
  xml.Element(Name(names::kScale), 3, FormatReal(ol.GetOlScale(), number));
  xml.Element(Name(names::kOrientation), 3, FormatInt(ol.GetOlOrientation(), number));
  if (ol.GetOlOrientation() != 0) {
    const geo::Location& csys = ol.GetOlCsys();
    xml.Start(Name(names::kShapeCsys), 3);
    for (int i = 0; i < 9; ++i) {
      xml.Attribute(names::kCsysMatrix[i], FormatReal(csys.GetMat().Get(i / 3, i % 3), number));
    }
    xml.Attribute(names::kPosX, FormatReal(csys.GetPos().x, number))
        .Attribute(names::kPosY, FormatReal(csys.GetPos().y, number))
        .Attribute(names::kPosZ, FormatReal(csys.GetPos().z, number))
        .EndEmpty();
  }
  if (!m_oldDialog) {
    if (!ol.GetAxisName().empty()) {
      xml.Element(Name(names::kAxisName), 3, ol.GetAxisName());
      xml.Element(Name(names::kDistanceFromCsys), 3, FormatReal(ol.GetDistanceFromCsys(), number));
      xml.Element(Name(names::kAxisId), 3, FormatInt(ol.GetAxisId(), number));
    }
    if (!ol.GetOrientationName().empty()) {
      xml.Element(Name(names::kOrientationName), 3, ol.GetOrientationName());
    }
    xml.Element(Name(names::kAnnotationToSymbol), 3, Bool(ol.IsAnnotationSymbol()));
    xml.Element(Name(names::kUseCurrentOrientation), 3, Bool(ol.IsUseCurrentOrientation()));
    xml.Element(Name(names::kEditCsysMethod), 3, FormatInt(ol.GetEditCsysMethod(), number));
  }
  SequencerTagList tags;
  ol.GetSequencerTags(tags);
  WriteTags(xml, tags);
  WriteCamera(xml, ol);
  xml.Close(Name(names::kShape), 2);
}

void LibraryWriter::WriteImage(XmlTextWriter& xml, const PartslibraryImageItem& image) const {
  NumberBuffer number;
  xml.Start(Name(names::kSymbol), 2)
      .Attribute(names::kId, FormatInt(image.GetID(), number))
      .Attribute(names::kCategoryId, FormatInt(image.GetCategoryID(), number))
      .Attribute(names::kBillboard, Bool(image.GetIsBillboardImage()))
      .EndStartTag();
  WriteEntryTexts(xml, image, image.GetImageTooltip(), image.GetImageGalleryThumbnailUrl(), Name(names::kImage),
                  image.GetImageUrl());
  xml.Element(Name(names::kScale), 3, FormatInt(image.GetImageScale(), number));
  xml.Start(Name(names::kFlip), 3)
      .Attribute(names::kHorizontal, Bool(image.GetFlipHorizontal()))
      .Attribute(names::kVertical, Bool(image.GetFlipVertical()))
      .EndEmpty();
  xml.Start(Name(names::kRotate), 3)
      .Attribute(names::kRight, FormatInt(image.GetRotateRight(), number))
      .Attribute(names::kLeft, FormatInt(image.GetRotateLeft(), number))
      .EndEmpty();
  SequencerTagList tags;
  image.GetSequencerTags(tags);
  WriteTags(xml, tags);
  xml.Close(Name(names::kSymbol), 2);
}

void LibraryWriter::WriteTags(XmlTextWriter& xml, const SequencerTagList& tags) {
  if (tags.empty()) {
    return;
  }
  xml.Open(Name(names::kTags), 3);
  for (const auto& tag : tags) {
    if (!tag) {
      continue;
    }
    xml.Start(Name(names::kTag), 4).Attribute(names::kType, SequencerTag::GetSymbolForType(tag->GetType()).view());
    xml.EndStartTag();
    xml.Element(Name(names::kDescription), 5, tag->GetDescription());
    if (!tag->GetUnits().empty() || !tag->GetQuantityString().empty()) {
      xml.Start(Name(names::kQuantity), 5).Attribute(names::kUnit, tag->GetUnits());
      xml.TextAndClose(Name(names::kQuantity), tag->GetQuantityString());
    }
    xml.Close(Name(names::kTag), 4);
  }
  xml.Close(Name(names::kTags), 3);
}

void LibraryWriter::WriteCamera(XmlTextWriter& xml, const PartslibraryOlItem& ol) {
  bool orthographic = false;
  double value = 0.0;
  geo::Location location;
  if (!ol.GetCameraData(orthographic, value, location)) {
    return;
  }
  // The camera's attribute forms are the host XML layer's own.
  geo::XmlElem* camera = geo::NewXmlElem(Name(names::kCamera));
  struct Release {
    geo::XmlElem* elem;
    ~Release() { geo::FreeXml(elem); }
  } release{camera};
  camera->SetAttribute(names::kOrtho, orthographic);
  camera->SetAttribute(names::kValue, value);
  camera->SetAttribute(names::kLocation, location);
  geo::WriteXmlCloseTags(camera, xml.Out(), 3);
}

}  // namespace oxsymbols::detail
