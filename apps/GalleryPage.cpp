#include "GalleryPage.h"

#include <unordered_map>

#include "ToolSetup.h"
#include "catalogue/PartslibraryUIData.h"
#include "geo/XmlElem.h"
#include "util/FileSystem.h"

namespace symbols_tool {

namespace {

class PickerData : public oxsymbols::PartslibraryUIData {
 public:
  PickerData() : PartslibraryUIData("ol_", "image_") {}
};

std::string Base64(const std::string& bytes) {
  static const char* const kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t chunk = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (i + 1 < bytes.size()) {
      chunk |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    }
    if (i + 2 < bytes.size()) {
      chunk |= static_cast<unsigned char>(bytes[i + 2]);
    }
    out += kDigits[(chunk >> 18) & 63];
    out += kDigits[(chunk >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(chunk >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[chunk & 63] : '=';
  }
  return out;
}

std::string Html(const std::string& text) {
  return geo::EncodeXmlStr(text);
}

// The tooltip's rich-text markers become HTML: "\b " opens bold, "\b0 " closes it.
std::string TooltipHtml(const std::string& tooltip) {
  std::string out;
  size_t at = 0;
  while (at < tooltip.size()) {
    if (tooltip.compare(at, 4, "\\b0 ") == 0) {
      out += "</b>";
      at += 4;
    } else if (tooltip.compare(at, 3, "\\b ") == 0) {
      out += "<b>";
      at += 3;
    } else if (tooltip[at] == '\n') {
      out += "<br>";
      ++at;
    } else {
      const size_t next = tooltip.find_first_of("\\\n", at + 1);
      const size_t end = next == std::string::npos ? tooltip.size() : next;
      out += Html(tooltip.substr(at, end - at));
      at = end;
    }
  }
  return out;
}

}  // namespace

std::string GalleryPage::Build(const oxsymbols::PartslibraryList& list) {
  PickerData data;
  data.Refresh(list);
  // Entries are contiguous per group; count them the way the picker data files them.
  std::unordered_map<int, size_t> perCategory;
  for (const auto& ol : list.GetOlList()) {
    ++perCategory[ol->GetCategoryID()];
  }
  for (const auto& image : list.GetImageList()) {
    ++perCategory[image->GetCategoryID()];
  }
  std::string page =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Symbol library</title>\n<style>"
      "body{font-family:sans-serif;margin:2em;background:#f6f6f4}h2{border-bottom:1px solid #ccc}"
      ".grid{display:flex;flex-wrap:wrap;gap:1em}.entry{width:12em;background:#fff;border:1px solid #ddd;"
      "border-radius:6px;padding:.6em;text-align:center}.entry img,.missing{width:64px;height:64px}"
      ".missing{display:inline-block;border:1px dashed #c33}.label{font-weight:bold;margin:.3em 0}"
      ".tooltip{font-size:.85em;color:#444}.meta{font-size:.75em;color:#888}</style></head><body>\n"
      "<h1>Symbol library</h1>\n";
  size_t entry = 0;
  const auto& categories = list.GetCategoryList();
  for (size_t group = 0; group < data.GetNumGroupNames() && group < categories.size(); ++group) {
    page += "<section><h2>" + Html(WideToUtf8(data.GetGroupLabels()[group])) + "</h2>\n<div class=\"grid\">\n";
    const auto found = perCategory.find(categories[group]->GetID());
    const size_t count = found == perCategory.end() ? 0 : found->second;
    if (count == 0) {
      page += "<p class=\"meta\">No entries; the picker selects " +
              Html(data.GetgroupItems()[group].empty() ? "nothing" : data.GetgroupItems()[group]) + ".</p>\n";
    }
    for (size_t i = 0; i < count && entry < data.GetNumItems(); ++i, ++entry) {
      std::string png;
      const std::string& icon = data.GetIcons()[entry];
      page += "<div class=\"entry\" title=\"" + Html(icon) + "\">";
      if (util::FileSystem::ReadFile(icon, png) && !png.empty()) {
        page += "<img alt=\"\" src=\"data:image/png;base64," + Base64(png) + "\">";
      } else {
        page += "<span class=\"missing\"></span>";
      }
      page += "<div class=\"label\">" + Html(WideToUtf8(data.GetLabels()[entry])) + "</div><div class=\"tooltip\">" +
              TooltipHtml(WideToUtf8(data.GetTooltips()[entry])) + "</div><div class=\"meta\">" +
              Html(data.GetUserData()[entry]) + (data.GetSharedItems()[entry] ? " · library" : " · yours") +
              "</div></div>\n";
    }
    page += "</div></section>\n";
  }
  page += "</body></html>\n";
  return page;
}

}  // namespace symbols_tool
