#include "ModelDescription.h"

#include <charconv>
#include <pugixml.hpp>
#include <set>
#include <sstream>

namespace symbols_tool {

struct ModelDescription::Xml {
  pugi::xml_document document;
};

namespace {

// Everything the user wrote is kept: declaration, comments, processing instructions,
// the document type, and the white space between elements.
// Read as a fragment, which keeps the white space around the root as well.
constexpr unsigned kParseKeepAll = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_doctype | pugi::parse_ws_pcdata | pugi::parse_fragment;

// A matrix element as the shortest text that reads back as the same float, whatever the
// process's locale: 0.1f is 0.1, not 0.10000000149011612.
std::string NumberText(float value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

// A coordinate with at most 15 significant digits: every decimal the file gave reads back
// as itself, and sums such as 10.1 + 0.2 are written 10.3, not 10.299999999999999.
std::string NumberText(double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 15);
  return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The twelve numbers of a location as the description stores them: the matrix row by
// row, then the position.
std::string LocationText(const geo::Location& location) {
  std::string text;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      text += NumberText(location.GetMat().m[r][c]) + " ";
    }
  }
  const geo::DPoint3D& p = location.GetPos();
  return text + NumberText(p.x) + " " + NumberText(p.y) + " " + NumberText(p.z);
}

pugi::xml_node FindPart(const pugi::xml_document& document, const std::string& path) {
  pugi::xml_node node = document.child("model");
  if (!node || path.size() < 2 || path[0] != '/') {
    return {};
  }
  size_t start = 1;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    const std::string id = path.substr(start, end - start);
    if (id.empty()) {
      return {};
    }
    node = node.find_child_by_attribute("part", "id", id.c_str());
    if (!node) {
      return {};
    }
    start = end + 1;
  }
  return node;
}

}  // namespace

ModelDescription::ModelDescription() : m_xml(std::make_unique<Xml>()) {}

ModelDescription::~ModelDescription() = default;

bool ModelDescription::Parse(const std::string& text, const std::string& label, std::string& error) {
  m_modified = false;
  const pugi::xml_parse_result parsed =
      m_xml->document.load_buffer(text.data(), text.size(), kParseKeepAll, pugi::encoding_utf8);
  if (!parsed) {
    error = label + ": " + parsed.description();
    return false;
  }
  if (!m_xml->document.child("model")) {
    error = label + ": not a model description (no <model> root)";
    return false;
  }
  return true;
}

std::vector<std::string> ModelDescription::GetShapeFiles() const {
  std::vector<std::string> files;
  std::set<std::string> seen;
  // Depth-first without recursion, in document order.
  std::vector<pugi::xml_node> pending{m_xml->document.child("model")};
  while (!pending.empty()) {
    const pugi::xml_node node = pending.back();
    pending.pop_back();
    const std::string file = node.attribute("shape").value();
    if (node != m_xml->document.child("model") && !file.empty() && seen.insert(file).second) {
      files.push_back(file);
    }
    for (pugi::xml_node part = node.last_child(); part; part = part.previous_sibling()) {
      if (part.type() == pugi::node_element && std::string_view(part.name()) == "part") {
        pending.push_back(part);
      }
    }
  }
  return files;
}

bool ModelDescription::SetPartLocation(const std::string& path, const geo::Location& location) {
  pugi::xml_node part = FindPart(m_xml->document, path);
  if (!part) {
    return false;
  }
  part.remove_attribute("position");
  pugi::xml_attribute attribute = part.attribute("location");
  if (!attribute) {
    attribute = part.append_attribute("location");
  }
  attribute.set_value(LocationText(location).c_str());
  m_modified = true;
  return true;
}

bool ModelDescription::SetPartVisible(const std::string& path, bool visible) {
  pugi::xml_node part = FindPart(m_xml->document, path);
  if (!part) {
    return false;
  }
  part.remove_attribute("visible");
  if (!visible) {
    part.append_attribute("visible").set_value("false");
  }
  m_modified = true;
  return true;
}

std::string ModelDescription::ToText() const {
  std::ostringstream text;
  // Raw: the white space the file has is all it gets, so a save adds no indentation.
  m_xml->document.save(text, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return text.str();
}

}  // namespace symbols_tool
