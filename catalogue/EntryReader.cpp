#include "catalogue/EntryReader.h"

#include <string>

#include "catalogue/ElementAttributes.h"
#include "catalogue/LibraryNames.h"
#include "catalogue/NumberText.h"
#include "common/ModuleLocalizer.h"

namespace oxsymbols::detail {

namespace {

using oxk::illustration::SequencerTag;

std::string Localized(const char* key) {
  return oxcommon::ModuleLocalizer().LocalizeMessage(key, util::Localizer::kReturnKey);
}

// An element's text, or the message text of its "locid" key when it has one.
std::string TextOrLocalized(const geo::XmlElem* elem) {
  if (const char* key = ElementAttributes(elem).Find(names::kLocId)) {
    return Localized(key);
  }
  return elem->GetTextRaw();
}

// The setters each entry kind names its shared fields with.
void SetTooltip(PartslibraryOlItem& ol, std::string text) {
  ol.SetOlTooltip(std::move(text));
}
void SetTooltip(PartslibraryImageItem& image, std::string text) {
  image.SetImageTooltip(std::move(text));
}
void SetGalleryThumbnail(PartslibraryOlItem& ol, std::string url) {
  ol.SetOlGalleryThumbnailUrl(std::move(url));
}
void SetGalleryThumbnail(PartslibraryImageItem& image, std::string url) {
  image.SetImageGalleryThumbnailUrl(std::move(url));
}

// The dialog thumbnail from the gallery one, in a copy with room for the longer marker
// so that the replacement does not allocate again.
void DeriveDialogThumbnail(PartslibraryOlItem& ol) {
  std::string dialog;
  dialog.reserve(ol.GetOlGalleryThumbnailUrl().size() + 2);
  dialog = ol.GetOlGalleryThumbnailUrl();
  PartslibraryOlItem::ComputeThumbnailUrl(dialog, names::kSmallThumbnail, names::kLargeThumbnail);
  ol.SetOlDlgThumbnailUrl(std::move(dialog));
}
void DeriveDialogThumbnail(PartslibraryImageItem& image) {
  std::string dialog;
  dialog.reserve(image.GetImageGalleryThumbnailUrl().size() + 2);
  dialog = image.GetImageGalleryThumbnailUrl();
  image.ComputeDialogThumbnailUrl(dialog);
  image.SetImageDlgThumbnailUrl(std::move(dialog));
}

template <class Entry>
void ReadTags(const geo::XmlElem* tags, Entry& entry) {
  for (size_t i = 0; i < tags->GetNumChildren(); ++i) {
    const geo::XmlElem* tagElem = tags->GetChild(i);
    if (tagElem->GetName() != names::kTag) {
      continue;
    }
    util::SmartPtr<SequencerTag> tag(new SequencerTag());
    // Tags are named after their entry as read so far; the writer puts the name first.
    tag->SetName(entry.GetName());
    if (const char* type = ElementAttributes(tagElem).Find(names::kType)) {
      tag->SetType(SequencerTag::GetTypeForSymbol(util::Symbol(type)));
    }
    for (size_t j = 0; j < tagElem->GetNumChildren(); ++j) {
      const geo::XmlElem* child = tagElem->GetChild(j);
      if (child->GetName() == names::kDescription) {
        tag->SetDescription(TextOrLocalized(child));
      } else if (child->GetName() == names::kQuantity) {
        const ElementAttributes attributes(child);
        if (const char* locid = attributes.Find(names::kLocId)) {
          tag->SetUnits(Localized(locid));
        } else if (const char* unit = attributes.Find(names::kUnit)) {
          tag->SetUnits(unit);
        }
        tag->SetQuantityString(child->GetTextRaw());
      }
    }
    entry.AddSequencerTag(tag);
  }
}

// A missing matrix or position attribute keeps the identity's value for that place.
geo::Location ReadCsys(const geo::XmlElem* elem) {
  const ElementAttributes attributes(elem);
  float m[9];
  for (int i = 0; i < 9; ++i) {
    m[i] = attributes.Float(names::kCsysMatrix[i], geo::FMat33::IDENTITY.Get(i / 3, i % 3));
  }
  const geo::DPoint3D pos(attributes.Double(names::kPosX, 0.0), attributes.Double(names::kPosY, 0.0),
                          attributes.Double(names::kPosZ, 0.0));
  return geo::Location(geo::FMat33(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]), pos);
}

// The camera counts only with all three attributes present.
void ReadCamera(const geo::XmlElem* elem, PartslibraryOlItem& ol) {
  const ElementAttributes attributes(elem);
  const char* ortho = attributes.Find(names::kOrtho);
  const char* value = attributes.Find(names::kValue);
  const char* location = attributes.Find(names::kLocation);
  if (ortho == nullptr || value == nullptr || location == nullptr) {
    return;
  }
  bool orthographic = false;
  double number = 0.0;
  geo::Location place;
  (void)geo::ParseXmlBool(ortho, orthographic);
  (void)geo::ParseXmlDouble(value, number);
  (void)geo::ParseXmlLocation(location, place);
  ol.SetCameraData(orthographic, number, place);
}

}  // namespace

EntryReader::EntryReader(LibraryOrigin origin)
    : m_isShared(IsSharedOrigin(origin)), m_isStandard(IsStandardOrigin(origin)), m_urls(m_isShared, m_isStandard) {}

bool EntryReader::ReadUrl(const geo::XmlElem* elem, std::string& url) const {
  return m_urls.ReadUrl(ElementAttributes(elem).Find(names::kUrl), url);
}

template <class Entry, class ReadOwn>
void EntryReader::ReadEntry(const geo::XmlElem* elem, Entry& entry, ReadOwn readOwn) const {
  entry.SetShowTooltipTitle(true);
  entry.SetShowTooltipDescription(false);
  std::string url;
  for (size_t i = 0; i < elem->GetNumChildren(); ++i) {
    const geo::XmlElem* child = elem->GetChild(i);
    const util::Symbol& name = child->GetName();
    if (name == names::kName) {
      entry.SetName(TextOrLocalized(child));
    } else if (name == names::kTitle) {
      entry.SetTitle(TextOrLocalized(child));
    } else if (name == names::kShowTooltipTitle) {
      entry.SetShowTooltipTitle(child->GetTextAsBool());
    } else if (name == names::kDescription) {
      entry.SetDescription(TextOrLocalized(child));
    } else if (name == names::kShowTooltipDescription) {
      entry.SetShowTooltipDescription(child->GetTextAsBool());
    } else if (name == names::kTooltip) {
      SetTooltip(entry, child->GetTextRaw());
    } else if (name == names::kGalleryThumbnail) {
      if (ReadUrl(child, url)) {
        SetGalleryThumbnail(entry, std::move(url));
      }
    } else if (name == names::kTags) {
      ReadTags(child, entry);
    } else {
      readOwn(child, name);
    }
  }
  if (entry.GetTitle().empty()) {
    entry.SetTitle(entry.GetName());
  }
  DeriveDialogThumbnail(entry);
}

util::SmartPtr<PartslibraryCategoryItem> EntryReader::ReadCategory(const geo::XmlElem* elem) const {
  util::SmartPtr<PartslibraryCategoryItem> category(new PartslibraryCategoryItem(m_isShared, m_isStandard));
  if (elem->GetName() == names::kCategory) {
    category->SetID(ElementAttributes(elem).Int(names::kId, 0));
  }
  for (size_t i = 0; i < elem->GetNumChildren(); ++i) {
    const geo::XmlElem* child = elem->GetChild(i);
    const util::Symbol& name = child->GetName();
    if (name == names::kName) {
      category->SetName(TextOrLocalized(child));
    } else if (name == names::kTooltip) {
      category->SetCatTooltip(child->GetTextRaw());
    } else if (name == names::kDescription) {
      category->SetCatDescription(child->GetTextRaw());
    }
  }
  return category;
}

util::SmartPtr<PartslibraryOlItem> EntryReader::ReadShape(const geo::XmlElem* elem) const {
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem(m_isShared, m_isStandard));
  if (elem->GetName() == names::kShape) {
    const ElementAttributes attributes(elem);
    ol->SetID(attributes.Int(names::kId, 0));
    ol->SetCategoryID(attributes.Int(names::kCategoryId, 0));
  }
  std::string url;
  ReadEntry(elem, *ol, [&](const geo::XmlElem* child, const util::Symbol& name) {
    if (name == names::kGraphic) {
      if (ReadUrl(child, url)) {
        ol->SetOlUrl(std::move(url));
      }
    } else if (name == names::kScale) {
      ol->SetOlScale(ReadReal(child->GetTextRaw()));
    } else if (name == names::kOrientation) {
      ol->SetOlOrientation(ReadInt(child->GetTextRaw()));
    } else if (name == names::kShapeCsys) {
      ol->SetOlCsys(ReadCsys(child));
    } else if (name == names::kOrientationName) {
      ol->SetOrientationName(child->GetTextRaw());
    } else if (name == names::kAxisName) {
      ol->SetAxisName(child->GetTextRaw());
    } else if (name == names::kDistanceFromCsys) {
      ol->SetDistanceFromCsys(ReadReal(child->GetTextRaw()));
    } else if (name == names::kAxisId) {
      ol->SetAxisId(ReadInt(child->GetTextRaw()));
    } else if (name == names::kAnnotationToSymbol) {
      ol->SetAnnotationSymbol(child->GetTextAsBool());
    } else if (name == names::kUseCurrentOrientation) {
      ol->SetUseCurrentOrientation(child->GetTextAsBool());
    } else if (name == names::kEditCsysMethod) {
      ol->SetEditCsysMethod(ReadInt(child->GetTextRaw()));
    } else if (name == names::kCamera) {
      ReadCamera(child, *ol);
    }
  });
  return ol;
}

util::SmartPtr<PartslibraryImageItem> EntryReader::ReadImage(const geo::XmlElem* elem) const {
  util::SmartPtr<PartslibraryImageItem> image(new PartslibraryImageItem(m_isShared, m_isStandard));
  if (elem->GetName() == names::kSymbol) {
    const ElementAttributes attributes(elem);
    image->SetID(attributes.Int(names::kId, 0));
    image->SetCategoryID(attributes.Int(names::kCategoryId, 0));
    image->SetIsBillboardImage(attributes.Bool(names::kBillboard, false));
  }
  std::string url;
  ReadEntry(elem, *image, [&](const geo::XmlElem* child, const util::Symbol& name) {
    if (name == names::kImage) {
      if (ReadUrl(child, url)) {
        image->SetImageUrl(std::move(url));
      }
    } else if (name == names::kScale) {
      image->SetImageScale(ReadInt(child->GetTextRaw()));
    } else if (name == names::kFlip) {
      const ElementAttributes attributes(child);
      image->SetFlipHorizontal(attributes.Bool(names::kHorizontal, false));
      image->SetFlipVertical(attributes.Bool(names::kVertical, false));
    } else if (name == names::kRotate) {
      const ElementAttributes attributes(child);
      image->SetRotateRight(attributes.Int(names::kRight, 0));
      image->SetRotateLeft(attributes.Int(names::kLeft, 0));
    }
  });
  return image;
}

}  // namespace oxsymbols::detail
