#include "oxk/ContentFile.h"

#include <charconv>
#include <cstring>
#include <pugixml.hpp>
#include <sstream>
#include <utility>
#include <vector>

#include "geo/XmlElem.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace oxk {
namespace {

// Frozen: index = alternative of SerializedContentElement::Value.
const char* const kTypeNames[] = {"symbol", "bool",   "int",        "float",   "color",
                                  "point",  "vector", "quaternion", "location"};

template <class T>
std::string Shortest(T value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string(buffer, ec == std::errc() ? end : buffer);
}

template <class T, size_t N>
bool ParseNumbers(const char* text, T (&out)[N]) {
  const char* cursor = text;
  const char* end = text + std::strlen(text);
  for (T& value : out) {
    while (cursor < end && *cursor == ' ') {
      ++cursor;
    }
    auto [ptr, ec] = std::from_chars(cursor, end, value);
    if (ec != std::errc() || ptr == cursor) {
      return false;
    }
    cursor = ptr;
  }
  return true;
}

std::string FormatValue(const SerializedContentElement::Value& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, util::Symbol>) {
          return v.str();
        } else if constexpr (std::is_same_v<T, bool>) {
          return v ? "true" : "false";
        } else if constexpr (std::is_same_v<T, int32_t>) {
          return std::to_string(v);
        } else if constexpr (std::is_same_v<T, float>) {
          return Shortest(v);
        } else if constexpr (std::is_same_v<T, geo::Color>) {
          return Shortest(v.r) + " " + Shortest(v.g) + " " + Shortest(v.b) + " " + Shortest(v.a);
        } else if constexpr (std::is_same_v<T, geo::DPoint3D> || std::is_same_v<T, geo::DVec3>) {
          return Shortest(v.x) + " " + Shortest(v.y) + " " + Shortest(v.z);
        } else if constexpr (std::is_same_v<T, geo::Quaternion<float>>) {
          return Shortest(v.x) + " " + Shortest(v.y) + " " + Shortest(v.z) + " " + Shortest(v.w);
        } else {
          return geo::FormatXmlLocation(v);
        }
      },
      value);
}

bool ParseValue(const char* type, const char* text, SerializedContentElement::Value& value) {
  if (std::strcmp(type, "symbol") == 0) {
    value = util::Symbol(text);
    return true;
  }
  if (std::strcmp(type, "bool") == 0) {
    bool b = false;
    if (!geo::ParseXmlBool(text, b)) {
      return false;
    }
    value = b;
    return true;
  }
  if (std::strcmp(type, "int") == 0) {
    int32_t n[1];
    if (!ParseNumbers(text, n)) {
      return false;
    }
    value = n[0];
    return true;
  }
  if (std::strcmp(type, "float") == 0) {
    float f[1];
    if (!ParseNumbers(text, f)) {
      return false;
    }
    value = f[0];
    return true;
  }
  if (std::strcmp(type, "color") == 0 || std::strcmp(type, "quaternion") == 0) {
    float f[4];
    if (!ParseNumbers(text, f)) {
      return false;
    }
    if (type[0] == 'c') {
      value = geo::Color(f[0], f[1], f[2], f[3]);
    } else {
      value = geo::Quaternion<float>(f[0], f[1], f[2], f[3]);
    }
    return true;
  }
  if (std::strcmp(type, "point") == 0 || std::strcmp(type, "vector") == 0) {
    double d[3];
    if (!ParseNumbers(text, d)) {
      return false;
    }
    if (type[0] == 'p') {
      value = geo::DPoint3D(d[0], d[1], d[2]);
    } else {
      value = geo::DVec3(d[0], d[1], d[2]);
    }
    return true;
  }
  if (std::strcmp(type, "location") == 0) {
    geo::Location location;
    if (!geo::ParseXmlLocation(text, location)) {
      return false;
    }
    value = location;
    return true;
  }
  return false;
}

void WriteElement(const SerializedContentElement& element, pugi::xml_node node) {
  // Iterative, so deep trees cannot exhaust the stack.
  std::vector<std::pair<const SerializedContentElement*, pugi::xml_node>> pending{{&element, node}};
  while (!pending.empty()) {
    auto [current, out] = pending.back();
    pending.pop_back();
    out.append_attribute("name").set_value(current->GetName().safe_c_str());
    for (const auto& entry : current->GetEntries()) {
      if (entry.child) {
        pending.emplace_back(entry.child.get(), out.append_child("content"));
        continue;
      }
      pugi::xml_node property = out.append_child("property");
      property.append_attribute("key").set_value(entry.key.safe_c_str());
      property.append_attribute("type").set_value(kTypeNames[entry.value.index()]);
      property.text().set(FormatValue(entry.value).c_str());
    }
  }
}

util::SmartPtr<SerializedContentElement> ReadElement(pugi::xml_node node) {
  util::SmartPtr<SerializedContentElement> root(
      new SerializedContentElement(util::Symbol(node.attribute("name").value())));
  std::vector<std::pair<pugi::xml_node, util::SmartPtr<SerializedContentElement>>> pending{{node, root}};
  std::vector<util::SmartPtr<SerializedContentElement>> opened{root};
  while (!pending.empty()) {
    auto [in, element] = pending.back();
    pending.pop_back();
    for (pugi::xml_node child = in.first_child(); child; child = child.next_sibling()) {
      if (std::strcmp(child.name(), "property") == 0) {
        SerializedContentElement::Value value;
        if (ParseValue(child.attribute("type").value(), child.text().get(), value)) {
          element->AddProperty(util::Symbol(child.attribute("key").value()), value);
        }
        continue;
      }
      if (std::strcmp(child.name(), "content") != 0) {
        continue;
      }
      util::SmartPtr<SerializedContentElement> sub =
          element->StartContent(util::Symbol(child.attribute("name").value()));
      if (!sub) {
        return {};  // deeper than the element limit
      }
      opened.push_back(sub);
      pending.emplace_back(child, sub);
    }
  }
  for (const auto& element : opened) {
    element->EndContent();
  }
  return root;
}

}  // namespace

std::string ContentFile::ToText(const SerializedContentElement& root) {
  pugi::xml_document document;
  WriteElement(root, document.append_child("content"));
  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

bool ContentFile::Save(const SerializedContentElement& root, const std::string& path) {
  return util::SafeFileWriter::Write(path, ToText(root));
}

util::SmartPtr<SerializedContentElement> ContentFile::FromText(const std::string& text) {
  pugi::xml_document document;
  if (!document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single)) {
    return {};
  }
  pugi::xml_node root = document.child("content");
  if (!root) {
    return {};
  }
  return ReadElement(root);
}

util::SmartPtr<SerializedContentElement> ContentFile::Load(const std::string& path) {
  std::string text;
  if (!util::FileSystem::ReadFile(path, text)) {
    return {};
  }
  return FromText(text);
}

}  // namespace oxk
