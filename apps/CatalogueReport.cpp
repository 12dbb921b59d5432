#include "CatalogueReport.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "ToolContext.h"
#include "Utf8Text.h"

namespace symbols_tool {

namespace {

using nlohmann::json;
using oxk::illustration::SequencerTag;
using oxsymbols::PartslibraryImageItem;
using oxsymbols::PartslibraryOlItem;
using oxsymbols::SequencerTagList;

std::string Yes(bool value) {
  return value ? "yes" : "no";
}

template <class Entry>
const char* Origin(const Entry& entry) {
  return oxsymbols::OriginName(oxsymbols::OriginOf(entry));
}

// "  label:  text" with the text escaped; nothing for an empty text.
void Field(std::ostream& out, const char* label, const std::string& text) {
  if (!text.empty()) {
    out << "  " << label << EscapeForTerminal(text) << "\n";
  }
}

SequencerTagList TagsOf(const PartslibraryOlItem& ol) {
  SequencerTagList tags;
  ol.GetSequencerTags(tags);
  return tags;
}

SequencerTagList TagsOf(const PartslibraryImageItem& image) {
  SequencerTagList tags;
  image.GetSequencerTags(tags);
  return tags;
}

const std::string& TooltipOf(const PartslibraryOlItem& ol) {
  return ol.GetOlTooltip();
}

const std::string& TooltipOf(const PartslibraryImageItem& image) {
  return image.GetImageTooltip();
}

void ShowTags(const SequencerTagList& tags, std::ostream& out) {
  if (tags.empty()) {
    return;
  }
  out << "  tags:              " << tags.size() << "\n";
  for (const auto& tag : tags) {
    if (!tag) {
      continue;
    }
    out << "    - " << SequencerTag::GetSymbolForType(tag->GetType()).safe_c_str();
    if (!tag->GetDescription().empty()) {
      out << ": " << EscapeForTerminal(tag->GetDescription());
    }
    if (!tag->GetQuantityString().empty() || !tag->GetUnits().empty()) {
      out << " (" << EscapeForTerminal(tag->GetQuantityString()) << (tag->GetUnits().empty() ? "" : " ")
          << EscapeForTerminal(tag->GetUnits()) << ")";
    }
    out << "\n";
  }
}

json TagsJson(const SequencerTagList& tags) {
  json list = json::array();
  for (const auto& tag : tags) {
    if (tag) {
      list.push_back({{"type", SequencerTag::GetSymbolForType(tag->GetType()).str()},
                      {"name", tag->GetName()},
                      {"description", tag->GetDescription()},
                      {"quantity", tag->GetQuantityString()},
                      {"units", tag->GetUnits()}});
    }
  }
  return list;
}

json LocationJson(const geo::Location& location) {
  const geo::FMat33& m = location.GetMat();
  json matrix = json::array();
  for (int row = 0; row < 3; ++row) {
    matrix.push_back({JsonNumber(m.Get(row, 0)), JsonNumber(m.Get(row, 1)), JsonNumber(m.Get(row, 2))});
  }
  const geo::DPoint3D& p = location.GetPos();
  return {{"matrix", matrix}, {"position", {p.x, p.y, p.z}}};
}

// The lines every entry kind starts with: kind and identifier, origin, category, texts.
template <class Entry>
void ShowEntryHeader(const char* kind, const Entry& entry, const std::string& categoryName, std::ostream& out) {
  out << kind << " " << entry.GetID() << "\n"
      << "  library:           " << Origin(entry) << "\n"
      << "  category:          " << entry.GetCategoryID() << " (" << EscapeForTerminal(categoryName) << ")\n";
  Field(out, "name:              ", entry.GetName());
  // The title is the name unless the file gives one of its own.
  if (entry.GetTitle() != entry.GetName()) {
    Field(out, "title:             ", entry.GetTitle());
  }
  Field(out, "description:       ", entry.GetDescription());
  Field(out, "tooltip:           ", TooltipOf(entry));
  out << "  tooltip shows:     title " << Yes(entry.ShowTooltipTitle()) << ", description "
      << Yes(entry.ShowTooltipDescription()) << "\n";
}

template <class Entry>
json EntryHeaderJson(const char* kind, const Entry& entry, const std::string& categoryName) {
  return {{"kind", kind},
          {"id", entry.GetID()},
          {"library", Origin(entry)},
          {"categoryId", entry.GetCategoryID()},
          {"category", categoryName},
          {"name", entry.GetName()},
          {"title", entry.GetTitle()},
          {"description", entry.GetDescription()},
          {"tooltip", TooltipOf(entry)},
          {"showTooltipTitle", entry.ShowTooltipTitle()},
          {"showTooltipDescription", entry.ShowTooltipDescription()},
          {"tags", TagsJson(TagsOf(entry))}};
}

void ShowLocation(const char* label, const geo::Location& location, std::ostream& out) {
  const geo::FMat33& m = location.GetMat();
  const geo::DPoint3D& p = location.GetPos();
  out << label << "[" << m.Get(0, 0) << " " << m.Get(0, 1) << " " << m.Get(0, 2) << " | " << m.Get(1, 0) << " "
      << m.Get(1, 1) << " " << m.Get(1, 2) << " | " << m.Get(2, 0) << " " << m.Get(2, 1) << " " << m.Get(2, 2)
      << "] at (" << p.x << ", " << p.y << ", " << p.z << ")\n";
}

template <class Entry>
bool Matches(const Entry& entry, const std::string& needle) {
  const auto has = [&](const std::string& text) { return FoldCase(text).find(needle) != std::string::npos; };
  if (has(entry.GetName()) || has(entry.GetTitle()) || has(entry.GetDescription()) || has(TooltipOf(entry))) {
    return true;
  }
  const SequencerTagList tags = TagsOf(entry);
  return std::any_of(tags.begin(), tags.end(), [&](const auto& tag) {
    return tag &&
           (has(tag->GetDescription()) || has(tag->GetName()) || has(tag->GetUnits()) || has(tag->GetQuantityString()));
  });
}

// The list's shapes and images by category identifier, each in list order, so that each
// category finds its own without a walk over every entry.
class EntriesByCategory {
 public:
  explicit EntriesByCategory(const oxsymbols::PartslibraryList& list) {
    const auto& ols = list.GetOlList();
    const auto& images = list.GetImageList();
    for (size_t i = 0; i < ols.size(); ++i) {
      m_ols[ols[i]->GetCategoryID()].push_back(i);
    }
    for (size_t i = 0; i < images.size(); ++i) {
      m_images[images[i]->GetCategoryID()].push_back(i);
    }
  }

  // Indexes into the list's shapes and images.
  [[nodiscard]] const std::vector<size_t>& Ols(int categoryId) const { return Of(m_ols, categoryId); }
  [[nodiscard]] const std::vector<size_t>& Images(int categoryId) const { return Of(m_images, categoryId); }

 private:
  using Index = std::unordered_map<int, std::vector<size_t>>;

  static const std::vector<size_t>& Of(const Index& index, int categoryId) {
    static const std::vector<size_t> kNone;
    const auto found = index.find(categoryId);
    return found != index.end() ? found->second : kNone;
  }

  Index m_ols;
  Index m_images;
};

}  // namespace

std::string CatalogueReport::CategoryName(int id) const {
  const auto category = m_list.GetCategoryFromCategoryList(id);
  return category ? category->GetName() : std::string();
}

void CatalogueReport::List(std::ostream& out) const {
  if (!m_list.GetUnits().empty()) {
    out << "Units: " << EscapeForTerminal(m_list.GetUnits()) << "\n";
  }
  if (!m_list.GetInformation().empty()) {
    out << "Information: " << EscapeForTerminal(m_list.GetInformation()) << "\n";
  }
  out << CountsText({m_list.GetCategoryList().size(), m_list.GetOlList().size(), m_list.GetImageList().size()}) << "\n";
  const auto entryLine = [&out](const char* kind, const auto& entry) {
    out << "  " << kind << " " << entry.GetID() << "  " << EscapeForTerminal(entry.GetTitle()) << "  [" << Origin(entry)
        << "]\n";
  };
  const EntriesByCategory byCategory(m_list);
  const auto& ols = m_list.GetOlList();
  const auto& images = m_list.GetImageList();
  std::unordered_set<int> categoryIds;
  for (const auto& category : m_list.GetCategoryList()) {
    out << "\nCategory " << category->GetID() << ": " << EscapeForTerminal(category->GetName()) << "  ["
        << Origin(*category) << "]\n";
    if (!categoryIds.insert(category->GetID()).second) {
      out << "  (same identifier as an earlier category)\n";
    }
    for (const size_t i : byCategory.Ols(category->GetID())) {
      entryLine("shape", *ols[i]);
    }
    for (const size_t i : byCategory.Images(category->GetID())) {
      entryLine("image", *images[i]);
    }
  }
  bool header = false;
  const auto orphan = [&](const char* kind, const auto& entry) {
    if (categoryIds.count(entry.GetCategoryID()) != 0) {
      return;
    }
    if (!header) {
      out << "\nWithout a category:\n";
      header = true;
    }
    entryLine(kind, entry);
  };
  for (const auto& ol : ols) {
    orphan("shape", *ol);
  }
  for (const auto& image : images) {
    orphan("image", *image);
  }
}

json CatalogueReport::ListJson() const {
  const EntriesByCategory byCategory(m_list);
  const auto& ols = m_list.GetOlList();
  const auto& images = m_list.GetImageList();
  const auto entryJson = [](const char* kind, const auto& entry) -> json {
    return {{"kind", kind}, {"id", entry.GetID()}, {"title", entry.GetTitle()}, {"library", Origin(entry)}};
  };
  json categories = json::array();
  std::unordered_set<int> categoryIds;
  for (const auto& category : m_list.GetCategoryList()) {
    categoryIds.insert(category->GetID());
    json entries = json::array();
    for (const size_t i : byCategory.Ols(category->GetID())) {
      entries.push_back(entryJson("shape", *ols[i]));
    }
    for (const size_t i : byCategory.Images(category->GetID())) {
      entries.push_back(entryJson("image", *images[i]));
    }
    categories.push_back({{"id", category->GetID()},
                          {"name", category->GetName()},
                          {"library", Origin(*category)},
                          {"entries", std::move(entries)}});
  }
  json without = json::array();
  for (const auto& ol : ols) {
    if (categoryIds.count(ol->GetCategoryID()) == 0) {
      without.push_back(entryJson("shape", *ol));
    }
  }
  for (const auto& image : images) {
    if (categoryIds.count(image->GetCategoryID()) == 0) {
      without.push_back(entryJson("image", *image));
    }
  }
  json answer = JsonAnswer();
  answer.update({{"units", m_list.GetUnits()},
                 {"information", m_list.GetInformation()},
                 {"counts",
                  {{"categories", m_list.GetCategoryList().size()},
                   {"shapes", m_list.GetOlList().size()},
                   {"images", m_list.GetImageList().size()}}},
                 {"categories", std::move(categories)},
                 {"withoutCategory", std::move(without)}});
  return answer;
}

bool CatalogueReport::ShowShape(int id, std::ostream& out) const {
  const auto ol = m_list.GetOlFromOlList(id);
  if (!ol) {
    return false;
  }
  ShowEntryHeader("shape", *ol, CategoryName(ol->GetCategoryID()), out);
  Field(out, "gallery thumbnail: ", ol->GetOlGalleryThumbnailUrl());
  Field(out, "dialog thumbnail:  ", ol->GetOlDlgThumbnailUrl());
  Field(out, "shape file:        ", ol->GetOlUrl());
  out << "  scale:             " << ol->GetOlScale() << "\n"
      << "  orientation:       " << ol->GetOlOrientation();
  if (!ol->GetOrientationName().empty()) {
    out << " (" << EscapeForTerminal(ol->GetOrientationName()) << ")";
  }
  out << "\n";
  ShowLocation("  shape csys:        ", ol->GetOlCsys(), out);
  out << "  axis:              " << ol->GetAxisId();
  if (!ol->GetAxisName().empty()) {
    out << " (" << EscapeForTerminal(ol->GetAxisName()) << ")";
  }
  out << ", distance " << ol->GetDistanceFromCsys() << "\n"
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
  }
  ShowTags(TagsOf(*ol), out);
  return true;
}

bool CatalogueReport::ShowImage(int id, std::ostream& out) const {
  const auto image = m_list.GetImageFromImageList(id);
  if (!image) {
    return false;
  }
  ShowEntryHeader("image", *image, CategoryName(image->GetCategoryID()), out);
  Field(out, "gallery thumbnail: ", image->GetImageGalleryThumbnailUrl());
  Field(out, "dialog thumbnail:  ", image->GetImageDlgThumbnailUrl());
  Field(out, "image file:        ", image->GetImageUrl());
  out << "  billboard:         " << Yes(image->GetIsBillboardImage()) << "\n"
      << "  scale:             " << image->GetImageScale() << "\n"
      << "  flip:              horizontal " << Yes(image->GetFlipHorizontal()) << ", vertical "
      << Yes(image->GetFlipVertical()) << "\n"
      << "  rotate:            right " << image->GetRotateRight() << ", left " << image->GetRotateLeft() << "\n";
  ShowTags(TagsOf(*image), out);
  return true;
}

bool CatalogueReport::ShowCategory(int id, std::ostream& out) const {
  const auto category = m_list.GetCategoryFromCategoryList(id);
  if (!category) {
    return false;
  }
  out << "category " << category->GetID() << "\n"
      << "  library:           " << Origin(*category) << "\n";
  Field(out, "name:              ", category->GetName());
  Field(out, "tooltip:           ", category->GetCatTooltip());
  Field(out, "description:       ", category->GetCatDescription());
  bool any = false;
  const auto entry = [&](const char* kind, const auto& item) {
    if (!any) {
      out << "  entries:\n";
      any = true;
    }
    out << "    " << kind << " " << item.GetID() << "  " << EscapeForTerminal(item.GetTitle()) << "\n";
  };
  for (const auto& ol : m_list.GetOlList()) {
    if (ol && ol->GetCategoryID() == id) {
      entry("shape", *ol);
    }
  }
  for (const auto& image : m_list.GetImageList()) {
    if (image && image->GetCategoryID() == id) {
      entry("image", *image);
    }
  }
  return true;
}

json CatalogueReport::ShowJson(const std::string& kind, int id) const {
  if (kind == "shape") {
    const auto ol = m_list.GetOlFromOlList(id);
    if (!ol) {
      return nullptr;
    }
    json shape = EntryHeaderJson("shape", *ol, CategoryName(ol->GetCategoryID()));
    bool orthographic = false;
    double value = 0.0;
    geo::Location location;
    json camera = nullptr;
    if (ol->GetCameraData(orthographic, value, location)) {
      camera = {{"orthographic", orthographic}, {"value", value}, {"location", LocationJson(location)}};
    }
    shape.update({{"galleryThumbnail", ol->GetOlGalleryThumbnailUrl()},
                  {"dialogThumbnail", ol->GetOlDlgThumbnailUrl()},
                  {"file", ol->GetOlUrl()},
                  {"scale", ol->GetOlScale()},
                  {"orientation", ol->GetOlOrientation()},
                  {"orientationName", ol->GetOrientationName()},
                  {"csys", LocationJson(ol->GetOlCsys())},
                  {"axisId", ol->GetAxisId()},
                  {"axisName", ol->GetAxisName()},
                  {"distanceFromCsys", ol->GetDistanceFromCsys()},
                  {"annotationSymbol", ol->IsAnnotationSymbol()},
                  {"useCurrentOrientation", ol->IsUseCurrentOrientation()},
                  {"editCsysMethod", ol->GetEditCsysMethod()},
                  {"camera", camera}});
    return shape;
  }
  if (kind == "image") {
    const auto image = m_list.GetImageFromImageList(id);
    if (!image) {
      return nullptr;
    }
    json entry = EntryHeaderJson("image", *image, CategoryName(image->GetCategoryID()));
    entry.update({{"galleryThumbnail", image->GetImageGalleryThumbnailUrl()},
                  {"dialogThumbnail", image->GetImageDlgThumbnailUrl()},
                  {"file", image->GetImageUrl()},
                  {"billboard", image->GetIsBillboardImage()},
                  {"scale", image->GetImageScale()},
                  {"flipHorizontal", image->GetFlipHorizontal()},
                  {"flipVertical", image->GetFlipVertical()},
                  {"rotateRight", image->GetRotateRight()},
                  {"rotateLeft", image->GetRotateLeft()}});
    return entry;
  }
  const auto category = m_list.GetCategoryFromCategoryList(id);
  if (!category) {
    return nullptr;
  }
  json entries = json::array();
  for (const auto& ol : m_list.GetOlList()) {
    if (ol && ol->GetCategoryID() == id) {
      entries.push_back({{"kind", "shape"}, {"id", ol->GetID()}, {"title", ol->GetTitle()}});
    }
  }
  for (const auto& image : m_list.GetImageList()) {
    if (image && image->GetCategoryID() == id) {
      entries.push_back({{"kind", "image"}, {"id", image->GetID()}, {"title", image->GetTitle()}});
    }
  }
  return {{"kind", "category"},
          {"id", category->GetID()},
          {"library", Origin(*category)},
          {"name", category->GetName()},
          {"tooltip", category->GetCatTooltip()},
          {"description", category->GetCatDescription()},
          {"entries", std::move(entries)}};
}

size_t CatalogueReport::Find(const std::string& text, std::ostream& out) const {
  const json found = FindJson(text);
  for (const json& match : found["matches"]) {
    out << match["kind"].get<std::string>() << " " << match["id"].get<int>() << "  "
        << EscapeForTerminal(match["title"].get<std::string>());
    if (!match["category"].get<std::string>().empty()) {
      out << "  category " << EscapeForTerminal(match["category"].get<std::string>());
    }
    out << "  [" << match["library"].get<std::string>() << "]\n";
  }
  return found["matches"].size();
}

json CatalogueReport::FindJson(const std::string& text) const {
  const std::string needle = FoldCase(text);
  json matches = json::array();
  const auto add = [&](const char* kind, const auto& entry) {
    matches.push_back({{"kind", kind},
                       {"id", entry.GetID()},
                       {"title", entry.GetTitle()},
                       {"category", CategoryName(entry.GetCategoryID())},
                       {"library", Origin(entry)}});
  };
  for (const auto& ol : m_list.GetOlList()) {
    if (ol && Matches(*ol, needle)) {
      add("shape", *ol);
    }
  }
  for (const auto& image : m_list.GetImageList()) {
    if (image && Matches(*image, needle)) {
      add("image", *image);
    }
  }
  json answer = JsonAnswer();
  answer.update({{"query", text}, {"matches", std::move(matches)}});
  return answer;
}

}  // namespace symbols_tool
