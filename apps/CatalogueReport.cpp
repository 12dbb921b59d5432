#include "CatalogueReport.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <unordered_set>

#include "ToolSetup.h"

namespace symbols_tool {

namespace {

using oxsymbols::PartslibraryImageItem;
using oxsymbols::PartslibraryOlItem;
using oxsymbols::SequencerTagList;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Yes(bool value) {
  return value ? "yes" : "no";
}

template <class Entry>
std::string Origin(const Entry& entry) {
  return LibraryName(entry.IsShared(), entry.IsStandard());
}

void ShowTags(const SequencerTagList& tags, std::ostream& out) {
  out << "  tags:              " << tags.size() << "\n";
  for (const auto& tag : tags) {
    if (!tag) {
      continue;
    }
    out << "    - " << oxk::illustration::SequencerTag::GetSymbolForType(tag->GetType()).safe_c_str() << ": "
        << tag->GetDescription();
    if (!tag->GetQuantityString().empty() || !tag->GetUnits().empty()) {
      out << " (" << tag->GetQuantityString() << (tag->GetUnits().empty() ? "" : " ") << tag->GetUnits() << ")";
    }
    out << "\n";
  }
}

// The lines every entry kind starts with: kind and identifier, origin, category, texts.
template <class Entry>
void ShowEntryHeader(const char* kind, const Entry& entry, const std::string& categoryName, const std::string& tooltip,
                     std::ostream& out) {
  out << kind << " " << entry.GetID() << "\n"
      << "  library:           " << Origin(entry) << "\n"
      << "  category:          " << entry.GetCategoryID() << " (" << categoryName << ")\n"
      << "  name:              " << entry.GetName() << "\n"
      << "  title:             " << entry.GetTitle() << "\n"
      << "  description:       " << entry.GetDescription() << "\n"
      << "  tooltip:           " << tooltip << "\n"
      << "  tooltip shows:     title " << Yes(entry.ShowTooltipTitle()) << ", description "
      << Yes(entry.ShowTooltipDescription()) << "\n";
}

void ShowLocation(const char* label, const geo::Location& location, std::ostream& out) {
  const geo::FMat33& m = location.GetMat();
  const geo::DPoint3D& p = location.GetPos();
  out << label << "[" << m.Get(0, 0) << " " << m.Get(0, 1) << " " << m.Get(0, 2) << " | " << m.Get(1, 0) << " "
      << m.Get(1, 1) << " " << m.Get(1, 2) << " | " << m.Get(2, 0) << " " << m.Get(2, 1) << " " << m.Get(2, 2)
      << "] at (" << p.x << ", " << p.y << ", " << p.z << ")\n";
}

template <class Entry>
bool Matches(const Entry& entry, const std::string& tooltip, const std::string& needle) {
  const auto has = [&](const std::string& text) { return Lower(text).find(needle) != std::string::npos; };
  if (has(entry.GetName()) || has(entry.GetTitle()) || has(entry.GetDescription()) || has(tooltip)) {
    return true;
  }
  SequencerTagList tags;
  entry.GetSequencerTags(tags);
  return std::any_of(tags.begin(), tags.end(), [&](const auto& tag) {
    return tag &&
           (has(tag->GetDescription()) || has(tag->GetName()) || has(tag->GetUnits()) || has(tag->GetQuantityString()));
  });
}

}  // namespace

std::string CatalogueReport::CategoryName(int id) const {
  const auto category = m_list.GetCategoryFromCategoryList(id);
  return category ? category->GetName() : "(none)";
}

void CatalogueReport::List(std::ostream& out) const {
  out << "Units: " << m_list.GetUnits() << "\n";
  if (!m_list.GetInformation().empty()) {
    out << "Information: " << m_list.GetInformation() << "\n";
  }
  out << m_list.GetCategoryList().size() << " categories, " << m_list.GetOlList().size() << " shapes, "
      << m_list.GetImageList().size() << " images\n";
  const auto entryLine = [&out](const char* kind, int id, const std::string& title, const std::string& origin) {
    out << "  " << kind << " " << id << "  " << title << "  [" << origin << "]\n";
  };
  // Entries by category identifier, so each category finds its own without a full walk.
  std::unordered_map<int, std::vector<size_t>> olsOf;
  std::unordered_map<int, std::vector<size_t>> imagesOf;
  const auto& ols = m_list.GetOlList();
  const auto& images = m_list.GetImageList();
  for (size_t i = 0; i < ols.size(); ++i) {
    olsOf[ols[i]->GetCategoryID()].push_back(i);
  }
  for (size_t i = 0; i < images.size(); ++i) {
    imagesOf[images[i]->GetCategoryID()].push_back(i);
  }
  std::unordered_set<int> categoryIds;
  for (const auto& category : m_list.GetCategoryList()) {
    out << "\nCategory " << category->GetID() << ": " << category->GetName() << "  [" << Origin(*category) << "]\n";
    if (!categoryIds.insert(category->GetID()).second) {
      out << "  (same identifier as an earlier category)\n";
    }
    for (const size_t i : olsOf[category->GetID()]) {
      entryLine("shape", ols[i]->GetID(), ols[i]->GetTitle(), Origin(*ols[i]));
    }
    for (const size_t i : imagesOf[category->GetID()]) {
      entryLine("image", images[i]->GetID(), images[i]->GetTitle(), Origin(*images[i]));
    }
  }
  bool header = false;
  const auto orphan = [&](const char* kind, const auto& entry) {
    if (categoryIds.count(entry->GetCategoryID()) != 0) {
      return;
    }
    if (!header) {
      out << "\nWithout a category:\n";
      header = true;
    }
    entryLine(kind, entry->GetID(), entry->GetTitle(), Origin(*entry));
  };
  for (const auto& ol : ols) {
    orphan("shape", ol);
  }
  for (const auto& image : images) {
    orphan("image", image);
  }
}

bool CatalogueReport::ShowShape(int id, std::ostream& out) const {
  const auto ol = m_list.GetOlFromOlList(id);
  if (!ol) {
    return false;
  }
  ShowEntryHeader("shape", *ol, CategoryName(ol->GetCategoryID()), ol->GetOlTooltip(), out);
  out << "  gallery thumbnail: " << ol->GetOlGalleryThumbnailUrl() << "\n"
      << "  dialog thumbnail:  " << ol->GetOlDlgThumbnailUrl() << "\n"
      << "  shape file:        " << ol->GetOlUrl() << "\n"
      << "  scale:             " << ol->GetOlScale() << "\n"
      << "  orientation:       " << ol->GetOlOrientation() << " (" << ol->GetOrientationName() << ")\n";
  ShowLocation("  shape csys:        ", ol->GetOlCsys(), out);
  out << "  axis:              " << ol->GetAxisId() << " (" << ol->GetAxisName() << "), distance "
      << ol->GetDistanceFromCsys() << "\n"
      << "  annotation symbol: " << Yes(ol->IsAnnotationSymbol()) << "\n"
      << "  current orientation: " << Yes(ol->IsUseCurrentOrientation()) << "\n"
      << "  edit csys method:  " << ol->GetEditCsysMethod() << "\n";
  bool orthographic = false;
  double value = 0.0;
  geo::Location location;
  if (ol->GetCameraData(orthographic, value, location)) {
    out << "  camera:            " << (orthographic ? "orthographic, width " : "perspective, field of view ") << value
        << "\n";
    ShowLocation("  camera location:   ", location, out);
  } else {
    out << "  camera:            none\n";
  }
  SequencerTagList tags;
  ol->GetSequencerTags(tags);
  ShowTags(tags, out);
  return true;
}

bool CatalogueReport::ShowImage(int id, std::ostream& out) const {
  const auto image = m_list.GetImageFromImageList(id);
  if (!image) {
    return false;
  }
  ShowEntryHeader("image", *image, CategoryName(image->GetCategoryID()), image->GetImageTooltip(), out);
  out << "  gallery thumbnail: " << image->GetImageGalleryThumbnailUrl() << "\n"
      << "  dialog thumbnail:  " << image->GetImageDlgThumbnailUrl() << "\n"
      << "  image file:        " << image->GetImageUrl() << "\n"
      << "  billboard:         " << Yes(image->GetIsBillboardImage()) << "\n"
      << "  scale:             " << image->GetImageScale() << "\n"
      << "  flip:              horizontal " << Yes(image->GetFlipHorizontal()) << ", vertical "
      << Yes(image->GetFlipVertical()) << "\n"
      << "  rotate:            right " << image->GetRotateRight() << ", left " << image->GetRotateLeft() << "\n";
  SequencerTagList tags;
  image->GetSequencerTags(tags);
  ShowTags(tags, out);
  return true;
}

bool CatalogueReport::ShowCategory(int id, std::ostream& out) const {
  const auto category = m_list.GetCategoryFromCategoryList(id);
  if (!category) {
    return false;
  }
  out << "category " << category->GetID() << "\n"
      << "  library:           " << Origin(*category) << "\n"
      << "  name:              " << category->GetName() << "\n"
      << "  tooltip:           " << category->GetCatTooltip() << "\n"
      << "  description:       " << category->GetCatDescription() << "\n"
      << "  entries:\n";
  for (const auto& ol : m_list.GetOlList()) {
    if (ol && ol->GetCategoryID() == id) {
      out << "    shape " << ol->GetID() << "  " << ol->GetTitle() << "\n";
    }
  }
  for (const auto& image : m_list.GetImageList()) {
    if (image && image->GetCategoryID() == id) {
      out << "    image " << image->GetID() << "  " << image->GetTitle() << "\n";
    }
  }
  return true;
}

size_t CatalogueReport::Find(const std::string& text, std::ostream& out) const {
  const std::string needle = Lower(text);
  size_t found = 0;
  for (const auto& ol : m_list.GetOlList()) {
    if (ol && Matches(*ol, ol->GetOlTooltip(), needle)) {
      out << "shape " << ol->GetID() << "  " << ol->GetTitle() << "  category " << CategoryName(ol->GetCategoryID())
          << "  [" << Origin(*ol) << "]\n";
      ++found;
    }
  }
  for (const auto& image : m_list.GetImageList()) {
    if (image && Matches(*image, image->GetImageTooltip(), needle)) {
      out << "image " << image->GetID() << "  " << image->GetTitle() << "  category "
          << CategoryName(image->GetCategoryID()) << "  [" << Origin(*image) << "]\n";
      ++found;
    }
  }
  return found;
}

}  // namespace symbols_tool
