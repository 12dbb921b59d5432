#include "GalleryPage.h"

#include <unordered_map>

#include "ToolSetup.h"
#include "catalogue/PartslibraryUIData.h"
#include "geo/XmlElem.h"
#include "util/Base64.h"

namespace symbols_tool {

namespace {

class PickerData : public oxsymbols::PartslibraryUIData {
 public:
  PickerData() : PartslibraryUIData("ol_", "image_") {}
};

// Text for HTML content and attribute values. Control characters other than line feeds
// and tabs have no place in a page and become blanks.
std::string Html(const std::string& text) {
  std::string clean = text;
  for (char& c : clean) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) {
      c = ' ';
    }
  }
  return geo::EncodeXmlStr(clean);
}

// The tooltip's rich-text markers: "\b " opens bold, "\b0 " closes it.
constexpr std::string_view kBoldOn = "\\b ";
constexpr std::string_view kBoldOff = "\\b0 ";

std::string TooltipHtml(const std::string& tooltip) {
  std::string out;
  bool bold = false;
  size_t at = 0;
  while (at < tooltip.size()) {
    if (tooltip.compare(at, kBoldOff.size(), kBoldOff) == 0) {
      out += bold ? "</b>" : "";
      bold = false;
      at += kBoldOff.size();
    } else if (tooltip.compare(at, kBoldOn.size(), kBoldOn) == 0) {
      out += bold ? "" : "<b>";
      bold = true;
      at += kBoldOn.size();
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
  return bold ? out + "</b>" : out;
}

// The tooltip as plain text, for title attributes and the search.
std::string TooltipText(const std::string& tooltip) {
  std::string out;
  size_t at = 0;
  while (at < tooltip.size()) {
    if (tooltip.compare(at, kBoldOff.size(), kBoldOff) == 0) {
      at += kBoldOff.size();
    } else if (tooltip.compare(at, kBoldOn.size(), kBoldOn) == 0) {
      at += kBoldOn.size();
    } else {
      out += tooltip[at++];
    }
  }
  return out;
}

// Frozen: a transparent 1x1 GIF; entries show their thumbnail as its background, so
// that each image's data is on the page once while every entry keeps an img with alt text.
const char* const kSpacer = "data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7";

const char* const kStyle =
    "body{font-family:sans-serif;margin:2em;background:#f6f6f4}h2{border-bottom:1px solid #ccc}"
    "nav a{margin-right:1em}#search{font-size:1em;padding:.3em;margin:1em 0;width:20em}"
    ".grid{display:flex;flex-wrap:wrap;gap:1em}.entry{width:12em;background:#fff;border:1px solid #ddd;"
    "border-radius:6px;padding:.6em;text-align:center}.thumb{width:64px;height:64px;background-size:contain;"
    "background-repeat:no-repeat;background-position:center}.missing{border:1px dashed #c33}"
    ".label{font-weight:bold;margin:.3em 0}.tooltip{font-size:.85em;color:#444}.meta{font-size:.75em;color:#888}"
    "[hidden]{display:none!important}";

// Hides the entries whose label, tooltip and tags do not contain the search text, and the
// sections left without entries; says so when nothing is left.
const char* const kSearchScript = R"(<script>
const search = document.getElementById('search');
const nothing = document.getElementById('nothing');
search.addEventListener('input', () => {
  const wanted = search.value.trim().toLowerCase();
  let total = 0;
  for (const section of document.querySelectorAll('section')) {
    let shown = 0;
    for (const entry of section.querySelectorAll('.entry')) {
      entry.hidden = wanted !== '' && !entry.dataset.text.toLowerCase().includes(wanted);
      shown += entry.hidden ? 0 : 1;
    }
    section.hidden = wanted !== '' && shown === 0;
    total += shown;
  }
  nothing.hidden = wanted === '' || total > 0;
  nothing.textContent = 'No entry matches “' + search.value.trim() + '” in its name, tooltip or tags.';
});
</script>
)";

// The tags of the entry that picker data names ("ol.12", "image.3"), as one searchable
// text; and the entry in words for the page ("shape 12", "image 3").
class EntryTexts {
 public:
  explicit EntryTexts(const oxsymbols::PartslibraryList& list) {
    for (const auto& ol : list.GetOlList()) {
      if (ol) {
        oxsymbols::SequencerTagList tags;
        ol->GetSequencerTags(tags);
        m_tags.emplace(oxsymbols::PartslibraryUIData::olString + "." + std::to_string(ol->GetID()), Text(tags));
      }
    }
    for (const auto& image : list.GetImageList()) {
      if (image) {
        oxsymbols::SequencerTagList tags;
        image->GetSequencerTags(tags);
        m_tags.emplace(oxsymbols::PartslibraryUIData::imageString + "." + std::to_string(image->GetID()), Text(tags));
      }
    }
  }

  [[nodiscard]] std::string Tags(const std::string& userData) const {
    const auto found = m_tags.find(userData);
    return found == m_tags.end() ? std::string() : found->second;
  }

  [[nodiscard]] static std::string Label(const std::string& userData) {
    const std::string ol = oxsymbols::PartslibraryUIData::olString + ".";
    if (userData.rfind(ol, 0) == 0) {
      return "shape " + userData.substr(ol.size());
    }
    const std::string image = oxsymbols::PartslibraryUIData::imageString + ".";
    if (userData.rfind(image, 0) == 0) {
      return "image " + userData.substr(image.size());
    }
    return std::string();
  }

 private:
  static std::string Text(const oxsymbols::SequencerTagList& tags) {
    std::string text;
    for (const auto& tag : tags) {
      if (tag) {
        for (const std::string& part :
             {std::string(oxk::illustration::SequencerTag::GetSymbolForType(tag->GetType()).str()),
              tag->GetDescription(), tag->GetQuantityString(), tag->GetUnits()}) {
          if (!part.empty()) {
            text += " " + part;
          }
        }
      }
    }
    return text;
  }

  std::unordered_map<std::string, std::string> m_tags;
};

}  // namespace

std::string GalleryPage::Build(const oxsymbols::PartslibraryList& list, const ThumbnailFiles& thumbnails) {
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

  // Each distinct image once, by content: copies of one thumbnail under many names
  // share a class.
  std::unordered_map<std::string, size_t> imageByPath;
  std::unordered_map<std::string, size_t> imageByContent;
  std::string imageStyles;
  const auto imageClass = [&](const std::string& path) -> std::string {
    const auto known = imageByPath.find(path);
    if (known != imageByPath.end()) {
      return known->second == 0 ? std::string() : "i" + std::to_string(known->second);
    }
    std::string bytes;
    const Thumbnail thumbnail = thumbnails.Load(path, bytes);
    size_t index = 0;  // 0: no image
    if (thumbnail.IsImage()) {
      const auto [at, added] = imageByContent.emplace(bytes, imageByContent.size() + 1);
      index = at->second;
      if (added) {
        imageStyles += ".i" + std::to_string(index) + "{background-image:url(data:" + thumbnail.mimeType + ";base64," +
                       util::Base64Encode(bytes) + ")}\n";
      }
    }
    imageByPath.emplace(path, index);
    return index == 0 ? std::string() : "i" + std::to_string(index);
  };

  const EntryTexts texts(list);
  std::string index = "<nav>";
  std::string sections;
  size_t entry = 0;
  const auto& categories = list.GetCategoryList();
  for (size_t group = 0; group < data.GetNumGroupNames() && group < categories.size(); ++group) {
    const std::string anchor = "c" + std::to_string(group + 1);
    const std::string label = Html(WideToUtf8(data.GetGroupLabels()[group]));
    index += "<a href=\"#" + anchor + "\">" + label + "</a>";
    sections += "<section id=\"" + anchor + "\"><h2>" + label + "</h2>\n<div class=\"grid\">\n";
    const auto found = perCategory.find(categories[group]->GetID());
    const size_t count = found == perCategory.end() ? 0 : found->second;
    if (count == 0) {
      sections += "<p class=\"meta\">No entries.</p>\n";
    }
    for (size_t i = 0; i < count && entry < data.GetNumItems(); ++i, ++entry) {
      const std::string entryLabel = WideToUtf8(data.GetLabels()[entry]);
      const std::string tooltip = WideToUtf8(data.GetTooltips()[entry]);
      const std::string image = imageClass(data.GetIcons()[entry]);
      const std::string& userData = data.GetUserData()[entry];
      sections += "<div class=\"entry\" title=\"" + Html(TooltipText(tooltip)) + "\" data-text=\"" +
                  Html(entryLabel + " " + TooltipText(tooltip) + texts.Tags(userData)) + "\"><img class=\"thumb " +
                  (image.empty() ? std::string("missing") : image) + "\" alt=\"" + Html(entryLabel) + "\" src=\"" +
                  kSpacer + "\"><div class=\"label\">" + Html(entryLabel) + "</div><div class=\"tooltip\">" +
                  TooltipHtml(tooltip) + "</div><div class=\"meta\">" + Html(EntryTexts::Label(userData)) +
                  (data.GetSharedItems()[entry] ? " · library" : " · yours") + "</div></div>\n";
    }
    sections += "</div></section>\n";
  }
  index += "</nav>\n";

  std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Symbol library</title>\n";
  page += "<style>";
  page += kStyle;
  page += "\n" + imageStyles + "</style></head><body>\n<h1>Symbol library</h1>\n" + index;
  page +=
      "<input type=\"search\" id=\"search\" placeholder=\"Search names, tooltips and tags\" "
      "aria-label=\"Search names, tooltips and tags\">\n<p id=\"nothing\" class=\"meta\" hidden></p>\n";
  page += sections;
  page += kSearchScript;
  page += "</body></html>\n";
  return page;
}

}  // namespace symbols_tool
