#include "oxk/illustration2d/SvgPageWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <unordered_map>
#include <vector>

#include "geo/XmlElem.h"
#include "oxk/illustration2d/Annotation2D.h"
#include "oxk/illustration2d/Outline2D.h"
#include "oxk/illustration2d/Stamp2D.h"
#include "util/Base64.h"
#include "util/SafeFileWriter.h"
#include "util/Utf8.h"

namespace oxk::illustration2d {
namespace {

// Page units with two decimals at most, in the C locale's form whatever the process's;
// what is not a finite number is written as 0, so that the page stays valid.
std::string Num(double value) {
  if (!std::isfinite(value)) {
    return "0";
  }
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 2);
  if (error != std::errc()) {
    return "0";
  }
  std::string text(buffer, end);
  while (!text.empty() && text.back() == '0') {
    text.pop_back();
  }
  if (!text.empty() && text.back() == '.') {
    text.pop_back();
  }
  return text == "-0" || text.empty() ? "0" : text;
}

// Valid UTF-8 of characters XML can hold, escaped.
std::string Text(const std::string& text) {
  return geo::EncodeXmlStr(util::Utf8::MakeValid(text, true));
}

class Collector : public Visitor2D {
 public:
  void VisitElement(const util::SmartPtr<Element2D>& element) override {
    if (util::DynamicCast<Annotation2D>(element) || util::DynamicCast<Outline2D>(element)) {
      elements.push_back(element);
    }
  }
  std::vector<util::SmartPtr<Element2D>> elements;
};

// The stamps' pictures, each written once: every distinct picture (after its turns) is a
// symbol in the page's definitions, which each stamp that shows it places by reference.
// Stamps share one decoded picture per file and turn, so a picture is known by its data;
// two data that encode to the same bytes are one picture too.
class Pictures {
 public:
  // The reference of the stamp's picture ("#picture-1"); empty when it has no data or
  // the data cannot be encoded.
  const std::string& Of(const Stamp2D& stamp) {
    static const std::string kNone;
    const util::SmartPtr<oxk::Image> image = stamp.GetImage();
    const util::SmartPtr<oximg::Image> data = image ? image->GetImageData() : util::SmartPtr<oximg::Image>();
    if (!data) {
      return kNone;
    }
    const auto known = m_byData.find(data.get());
    if (known != m_byData.end()) {
      return known->second.reference;
    }
    Picture& picture = m_byData[data.get()];
    picture.data = data;  // held, so that no other data takes its address meanwhile
    std::string png;
    const oximg::Frame* frame = data->GetFrame(0);
    if (frame == nullptr || !data->EncodePng(png)) {
      return picture.reference;
    }
    const auto same = m_byBytes.find(png);
    if (same != m_byBytes.end()) {
      picture.reference = same->second;
      return picture.reference;
    }
    const std::string id = "picture-" + std::to_string(m_byBytes.size() + 1);
    picture.reference = "#" + id;
    const std::string width = std::to_string(frame->GetWidth()), height = std::to_string(frame->GetHeight());
    m_definitions += "    <symbol id=\"" + id + "\" viewBox=\"0 0 " + width + " " + height +
                     "\" preserveAspectRatio=\"none\">\n      <image width=\"" + width + "\" height=\"" + height +
                     "\" href=\"data:image/png;base64," + util::Base64Encode(png) + "\"/>\n    </symbol>\n";
    m_byBytes.emplace(std::move(png), picture.reference);
    return picture.reference;
  }

  // The definitions element, empty when no stamp shows a picture.
  [[nodiscard]] std::string Definitions() const {
    return m_definitions.empty() ? std::string() : "  <defs>\n" + m_definitions + "  </defs>\n";
  }

 private:
  struct Picture {
    util::SmartPtr<oximg::Image> data;
    std::string reference;
  };
  std::unordered_map<const oximg::Image*, Picture> m_byData;
  std::unordered_map<std::string, std::string> m_byBytes;
  std::string m_definitions;
};

void WriteStamp(const Stamp2D& stamp, const std::string& picture, double pageHeight, std::string& out) {
  const geo::DBox2D extents = stamp.GetStampExtents();
  const double x = extents.minX, y = pageHeight - extents.maxY;
  const double w = extents.Width(), h = extents.Height();
  const double cx = x + w / 2, cy = y + h / 2;
  const std::string title = stamp.GetTitle();
  const std::string description = stamp.GetDescription();

  out += "    <g class=\"stamp\" data-path=\"" + Text(stamp.GetIDPath().str()) + "\" data-file=\"" +
         Text(stamp.GetImageFilename().str()) + "\">\n";
  std::string tooltip = title;
  if (stamp.GetUseDescription() && !description.empty()) {
    tooltip += tooltip.empty() ? description : "\n" + description;
  }
  if (!tooltip.empty()) {
    out += "      <title>" + Text(tooltip) + "</title>\n";
  }

  const std::string box =
      "x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(w) + "\" height=\"" + Num(h) + "\"";
  if (!picture.empty()) {
    std::string transform;
    if (stamp.GetHorFlip() || stamp.GetVerFlip()) {
      transform = " transform=\"translate(" + Num(cx) + " " + Num(cy) + ") scale(" + (stamp.GetHorFlip() ? "-1" : "1") +
                  " " + (stamp.GetVerFlip() ? "-1" : "1") + ") translate(" + Num(-cx) + " " + Num(-cy) + ")\"";
    }
    out += "      <use href=\"" + picture + "\" " + box + transform + "/>\n";
  } else {
    out += "      <rect " + box + " fill=\"none\" stroke=\"#b42318\" stroke-width=\"1\" stroke-dasharray=\"4 3\"/>\n";
    out += "      <text x=\"" + Num(cx) + "\" y=\"" + Num(cy + 4) +
           "\" text-anchor=\"middle\" font-size=\"10\" fill=\"#b42318\">no image</text>\n";
  }
  if (stamp.GetUseTitle() && !title.empty()) {
    out += "      <text class=\"caption\" x=\"" + Num(cx) + "\" y=\"" + Num(y + h + 14) +
           "\" text-anchor=\"middle\" font-size=\"11\" fill=\"#1d2939\">" + Text(title) + "</text>\n";
  }
  out += "    </g>\n";
}

// Path data of polylines in page coordinates (y flipped for SVG), closed when asked.
std::string PathData(const std::vector<LineArt2D::Polyline>& lines, double pageHeight, bool closed) {
  std::string d;
  for (const LineArt2D::Polyline& line : lines) {
    if (line.size() < (closed ? 3u : 2u)) {
      continue;
    }
    for (size_t i = 0; i < line.size(); ++i) {
      d += (d.empty() ? "M" : i == 0 ? " M" : " L") + Num(line[i].x) + " " + Num(pageHeight - line[i].y);
    }
    if (closed) {
      d += " Z";
    }
  }
  return d;
}

// The colours of one kind of art: parts in the page's greys, symbols in their blue.
struct ArtStyle {
  const char* area;
  const char* line;
  const char* hidden;
};
constexpr ArtStyle kPartStyle{"#eef1f6", "#1d2939", "#667085"};
constexpr ArtStyle kSymbolStyle{"#d1e0ff", "#1849a9", "#6b8fd6"};

// The space between pages stacked top to bottom in one drawing.
constexpr double kPageGap = 20;

// Area first, then hidden lines, edges and outlines, so that the heavier lines lie on top.
void WriteArt(const LineArt2D& art, const ArtStyle& style, double pageHeight, std::string& out) {
  const std::string area = PathData(art.areas, pageHeight, true);
  if (!area.empty()) {
    out += "      <path class=\"area\" d=\"" + area + "\" fill=\"" + style.area +
           "\" fill-rule=\"evenodd\" stroke=\"none\"/>\n";
  }
  const std::string hidden = PathData(art.hidden, pageHeight, false);
  if (!hidden.empty()) {
    out += "      <path class=\"hidden\" d=\"" + hidden + "\" fill=\"none\" stroke=\"" + style.hidden +
           "\" stroke-width=\"0.5\" stroke-dasharray=\"3 2\" stroke-linecap=\"butt\"/>\n";
  }
  const std::string edges = PathData(art.edges, pageHeight, false);
  if (!edges.empty()) {
    out += "      <path class=\"edge\" d=\"" + edges + "\" fill=\"none\" stroke=\"" + style.line +
           "\" stroke-width=\"0.6\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n";
  }
  const std::string outlines = PathData(art.outlines, pageHeight, false);
  if (!outlines.empty()) {
    out += "      <path class=\"outline\" d=\"" + outlines + "\" fill=\"none\" stroke=\"" + style.line +
           "\" stroke-width=\"1.1\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n";
  }
}

// The page box of what the art shows; false when it shows nothing.
bool ArtBox(const LineArt2D& art, geo::DBox2D& box) {
  bool any = false;
  for (const auto* lines : {&art.areas, &art.outlines, &art.edges}) {
    for (const LineArt2D::Polyline& line : *lines) {
      for (const LineArt2D::Point& point : line) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
          continue;
        }
        box = any ? geo::DBox2D{std::min(box.minX, point.x), std::min(box.minY, point.y), std::max(box.maxX, point.x),
                                std::max(box.maxY, point.y)}
                  : geo::DBox2D{point.x, point.y, point.x, point.y};
        any = true;
      }
    }
  }
  return any;
}

void WriteMarker(const Annotation2D& element, double pageHeight, std::string& out) {
  const geo::FMat33 transform = element.GetTransform();
  const double x = transform.m[0][2], y = pageHeight - transform.m[1][2];
  const std::string path = element.GetIDPath().str();
  const std::string label = element.GetLabel().empty() ? path : element.GetLabel();
  const LineArt2D art = element.GetArt();
  out += "    <g class=\"annotation\" data-path=\"" + Text(path) + "\">\n";
  out += "      <title>" + Text(label == path ? path : label + "\n" + path) + "</title>\n";
  WriteArt(art, kSymbolStyle, pageHeight, out);
  // The label goes beside the shape when there is one, else beside the marker.
  geo::DBox2D box;
  double lx = x + 14, ly = y - 10;
  if (ArtBox(art, box)) {
    lx = std::max(box.maxX + 6, x + 14);
    ly = std::min(pageHeight - box.maxY, y - 10);
  }
  out += "      <line x1=\"" + Num(x) + "\" y1=\"" + Num(y) + "\" x2=\"" + Num(lx) + "\" y2=\"" + Num(ly) +
         "\" stroke=\"#1849a9\" stroke-width=\"0.8\"/>\n";
  out += "      <circle cx=\"" + Num(x) + "\" cy=\"" + Num(y) +
         "\" r=\"2.5\" fill=\"#1849a9\" stroke=\"#ffffff\" stroke-width=\"1\"/>\n";
  out += "      <text class=\"label\" x=\"" + Num(lx + 2) + "\" y=\"" + Num(ly - 2) +
         "\" font-size=\"11\" fill=\"#1849a9\" stroke=\"#ffffff\" stroke-width=\"3\" paint-order=\"stroke\">" +
         Text(label) + "</text>\n";
  out += "    </g>\n";
}

void WriteOutline(const Outline2D& outline, double pageHeight, std::string& out) {
  const std::string name = outline.GetName();
  const std::string path = outline.GetModelPath();
  out += "    <g class=\"part\" data-path=\"" + Text(path) + "\" data-name=\"" + Text(name) + "\">\n";
  const std::string title = path.empty() ? name : name.empty() ? path : name + " (" + path + ")";
  if (!title.empty()) {
    out += "      <title>" + Text(title) + "</title>\n";
  }
  WriteArt(outline.GetArt(), kPartStyle, pageHeight, out);
  out += "    </g>\n";
}

void WriteElements(const std::vector<util::SmartPtr<Element2D>>& elements, Pictures& pictures, double pageHeight,
                   std::string& out) {
  for (const auto& element : elements) {
    if (const auto stamp = util::DynamicCast<Stamp2D>(element)) {
      WriteStamp(*stamp, pictures.Of(*stamp), pageHeight, out);
    } else if (const auto annotation = util::DynamicCast<Annotation2D>(element)) {
      WriteMarker(*annotation, pageHeight, out);
    } else if (const auto outline = util::DynamicCast<Outline2D>(element)) {
      WriteOutline(*outline, pageHeight, out);
    }
  }
}

}  // namespace

std::string SvgPageWriter::ToSvg(const Document2D& document) {
  const double width = document.GetPageWidth(), height = document.GetPageHeight();
  Collector collector;
  document.Accept(collector);

  // Only the pages that carry something are written, and always the first: a stamp on
  // page 1000 makes two pages, not a thousand.
  std::map<int32_t, std::map<const Layer2D*, std::vector<util::SmartPtr<Element2D>>>> byPage;
  byPage[0];
  for (const auto& element : collector.elements) {
    byPage[element->GetPage()][element->GetLayer().get()].push_back(element);
  }
  const double total = static_cast<double>(byPage.size()) * (height + kPageGap) - kPageGap;

  // The pictures first: the definitions go before the layers that use them.
  Pictures pictures;
  for (const auto& element : collector.elements) {
    if (const auto stamp = util::DynamicCast<Stamp2D>(element)) {
      (void)pictures.Of(*stamp);
    }
  }

  std::string out;
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width) + "\" height=\"" + Num(total) +
         "\" viewBox=\"0 0 " + Num(width) + " " + Num(total) + "\" font-family=\"sans-serif\">\n";
  out += pictures.Definitions();
  double top = 0;
  for (auto& [page, byLayer] : byPage) {
    const std::string number = std::to_string(page);
    out += "  <g class=\"sheet\" data-page=\"" + number + "\"";
    out += top == 0 ? ">\n" : " transform=\"translate(0 " + Num(top) + ")\">\n";
    out += "  <rect class=\"page\" width=\"" + Num(width) + "\" height=\"" + Num(height) + "\" fill=\"#ffffff\"/>\n";
    // Identifiers stay unique: the first page's layers keep their plain ones.
    const std::string prefix = page == 0 ? "layer-" : "page-" + number + "-layer-";
    for (const auto& layer : document.GetLayers()) {
      const auto found = byLayer.find(layer.get());
      out += "  <g class=\"layer\" id=\"" + prefix + Text(layer->GetName().str()) + "\"";
      out += layer->IsVisible() ? ">\n" : " display=\"none\">\n";
      if (found != byLayer.end()) {
        WriteElements(found->second, pictures, height, out);
        byLayer.erase(found);
      }
      out += "  </g>\n";
    }
    // Elements on no layer, or on a layer of another document.
    if (!byLayer.empty()) {
      out += "  <g class=\"layer\">\n";
      for (const auto& [layer, elements] : byLayer) {
        WriteElements(elements, pictures, height, out);
      }
      out += "  </g>\n";
    }
    out += "  </g>\n";
    top += height + kPageGap;
  }
  out += "</svg>\n";
  return out;
}

bool SvgPageWriter::Write(const Document2D& document, const std::string& path) {
  return util::SafeFileWriter::Write(path, ToSvg(document));
}

}  // namespace oxk::illustration2d
