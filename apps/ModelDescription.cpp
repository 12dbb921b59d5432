#include "ModelDescription.h"

#include <charconv>
#include <pugixml.hpp>
#include <set>
#include <sstream>

#include "util/SafeFileWriter.h"

namespace symbols_tool {

struct ModelDescription::Xml {
  pugi::xml_document document;
};

namespace {

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

bool ModelDescription::Load(const std::string& path, std::string& error) {
  const pugi::xml_parse_result parsed = m_xml->document.load_file(path.c_str(), pugi::parse_default);
  if (!parsed) {
    error = path + ": " + parsed.description();
    return false;
  }
  if (!m_xml->document.child("model")) {
    error = path + ": not a model description (no <model> root)";
    return false;
  }
  m_path = path;
  return true;
}

std::vector<std::string> ModelDescription::GetShapeFiles() const {
  std::vector<std::string> files;
  std::set<std::string> seen;
  for (const pugi::xpath_node& part : m_xml->document.select_nodes("/model//part[@shape]")) {
    const std::string file = part.node().attribute("shape").value();
    if (!file.empty() && seen.insert(file).second) {
      files.push_back(file);
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
  return true;
}

bool ModelDescription::Save(std::string& error) const {
  std::ostringstream text;
  m_xml->document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
  return util::SafeFileWriter::Write(m_path, text.str(), error);
}

}  // namespace symbols_tool
