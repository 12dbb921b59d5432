#include "oxk/ContentFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <pugixml.hpp>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "geo/XmlElem.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"
#include "util/Utf8.h"

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

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The blank-separated words of a value's text.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsBlank(text[at])) {
      ++at;
    }
    const size_t start = at;
    while (at < text.size() && !IsBlank(text[at])) {
      ++at;
    }
    if (at > start) {
      words.push_back(text.substr(start, at - start));
    }
  }
  return words;
}

// One whole word as a number; floating-point numbers must be finite.
template <class T>
bool ParseWord(std::string_view word, T& out) {
  const auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), out);
  if (ec != std::errc() || ptr != word.data() + word.size()) {
    return false;
  }
  if constexpr (std::is_floating_point_v<T>) {
    return std::isfinite(out);
  }
  return true;
}

// Exactly N numbers and nothing else.
template <class T, size_t N>
bool ParseNumbers(const char* text, T (&out)[N]) {
  const std::vector<std::string_view> words = Words(text);
  if (words.size() != N) {
    return false;
  }
  for (size_t i = 0; i < N; ++i) {
    if (!ParseWord(words[i], out[i])) {
      return false;
    }
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
    // The matrix as floats, the position as doubles, as FormatXmlLocation writes them.
    const std::vector<std::string_view> words = Words(text);
    float matrix[9];
    double position[3];
    if (words.size() != 12) {
      return false;
    }
    for (size_t i = 0; i < 12; ++i) {
      if (!(i < 9 ? ParseWord(words[i], matrix[i]) : ParseWord(words[i], position[i - 9]))) {
        return false;
      }
    }
    geo::FMat33 m;
    for (int i = 0; i < 9; ++i) {
      m.m[i / 3][i % 3] = matrix[i];
    }
    value = geo::Location(m, geo::DPoint3D(position[0], position[1], position[2]));
    return true;
  }
  return false;
}

// Texts as XML can hold them: most are plain ASCII already and are written as they are,
// without a copy; the others are made valid in scratch.
const char* Clean(const util::Symbol& text, std::string& scratch) {
  const std::string_view view = text.view();
  const bool plain = std::all_of(view.begin(), view.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x20 && byte < 0x80) || byte == '\t' || byte == '\n' || byte == '\r';
  });
  if (plain) {
    return text.safe_c_str();
  }
  scratch = util::Utf8::MakeValid(view, true);
  return scratch.c_str();
}

void WriteElement(const SerializedContentElement& element, pugi::xml_node node) {
  // Iterative, so deep trees cannot exhaust the stack.
  std::vector<std::pair<const SerializedContentElement*, pugi::xml_node>> pending{{&element, node}};
  std::string scratch;
  while (!pending.empty()) {
    auto [current, out] = pending.back();
    pending.pop_back();
    out.append_attribute("name").set_value(Clean(current->GetName(), scratch));
    for (const auto& entry : current->GetEntries()) {
      if (entry.child) {
        pending.emplace_back(entry.child.get(), out.append_child("content"));
        continue;
      }
      pugi::xml_node property = out.append_child("property");
      property.append_attribute("key").set_value(Clean(entry.key, scratch));
      property.append_attribute("type").set_value(kTypeNames[entry.value.index()]);
      const auto* symbol = std::get_if<util::Symbol>(&entry.value);
      if (symbol != nullptr) {
        property.text().set(Clean(*symbol, scratch));
      } else {
        property.text().set(FormatValue(entry.value).c_str());
      }
    }
  }
}

// Where a node starts in the text; for text, where its first word does.
ptrdiff_t OffsetOf(pugi::xml_node node) {
  ptrdiff_t offset = node.offset_debug();
  if (offset >= 0 && (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)) {
    const std::string_view value = node.value();
    offset += static_cast<ptrdiff_t>(std::min(value.find_first_not_of(" \t\r\n"), value.size()));
  }
  return offset;
}

// The line of an offset in the text, for messages.
int LineOf(const std::string& text, ptrdiff_t offset) {
  if (offset < 0) {
    return 0;
  }
  const auto end = text.begin() + std::min(static_cast<size_t>(offset), text.size());
  return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

// Reads the tree below a <content> element; empty (error set) at the first thing that
// is not exactly what the writer writes.
class Reader {
 public:
  explicit Reader(const std::string& text) : m_text(text) {}

  util::SmartPtr<SerializedContentElement> Read(pugi::xml_node node, std::string& error) {
    util::SmartPtr<SerializedContentElement> root;
    if (!CheckAttributes(node, "name", nullptr, error)) {
      return {};
    }
    root = util::SmartPtr<SerializedContentElement>(
        new SerializedContentElement(util::Symbol(node.attribute("name").value())));
    std::vector<std::pair<pugi::xml_node, util::SmartPtr<SerializedContentElement>>> pending{{node, root}};
    std::vector<util::SmartPtr<SerializedContentElement>> opened{root};
    while (!pending.empty()) {
      auto [in, element] = pending.back();
      pending.pop_back();
      std::vector<const char*> keys;
      for (pugi::xml_node child = in.first_child(); child; child = child.next_sibling()) {
        if (!ReadChild(child, element, keys, pending, opened, error)) {
          return {};
        }
      }
    }
    for (const auto& element : opened) {
      element->EndContent();
    }
    return root;
  }

 private:
  bool Fail(pugi::xml_node node, const std::string& what, std::string& error) const {
    error = "line " + std::to_string(LineOf(m_text, OffsetOf(node))) + ": " + what;
    return false;
  }

  // The element has exactly the attributes named (second may be null).
  bool CheckAttributes(pugi::xml_node node, const char* first, const char* second, std::string& error) const {
    for (pugi::xml_attribute attribute = node.first_attribute(); attribute; attribute = attribute.next_attribute()) {
      if (std::strcmp(attribute.name(), first) != 0 &&
          (second == nullptr || std::strcmp(attribute.name(), second) != 0)) {
        return Fail(node, std::string("<") + node.name() + "> has an attribute it cannot have: " + attribute.name(),
                    error);
      }
    }
    for (const char* name : {first, second}) {
      if (name != nullptr && !node.attribute(name)) {
        return Fail(node, std::string("<") + node.name() + "> without its " + name + " attribute", error);
      }
    }
    return true;
  }

  bool ReadChild(pugi::xml_node child, const util::SmartPtr<SerializedContentElement>& element,
                 std::vector<const char*>& keys,
                 std::vector<std::pair<pugi::xml_node, util::SmartPtr<SerializedContentElement>>>& pending,
                 std::vector<util::SmartPtr<SerializedContentElement>>& opened, std::string& error) const {
    if (child.type() == pugi::node_pcdata && Words(child.value()).empty()) {
      return true;  // layout
    }
    if (child.type() != pugi::node_element) {
      return Fail(child,
                  child.type() == pugi::node_comment ? "a comment, which the file cannot keep"
                                                     : "text or markup outside a property",
                  error);
    }
    if (std::strcmp(child.name(), "content") == 0) {
      if (!CheckAttributes(child, "name", nullptr, error)) {
        return false;
      }
      util::SmartPtr<SerializedContentElement> sub =
          element->StartContent(util::Symbol(child.attribute("name").value()));
      if (!sub) {
        return Fail(child,
                    "content nested deeper than " + std::to_string(SerializedContentElement::kMaxDepth) + " levels",
                    error);
      }
      opened.push_back(sub);
      pending.emplace_back(child, sub);
      return true;
    }
    if (std::strcmp(child.name(), "property") != 0) {
      return Fail(child, std::string("an element the file cannot hold: <") + child.name() + ">", error);
    }
    if (!CheckAttributes(child, "key", "type", error)) {
      return false;
    }
    const char* key = child.attribute("key").value();
    for (const char* seen : keys) {
      if (std::strcmp(seen, key) == 0) {
        return Fail(child, std::string("the key \"") + key + "\" is given twice", error);
      }
    }
    keys.push_back(key);
    const pugi::xml_node text = child.first_child();
    if (text && (text.next_sibling() || (text.type() != pugi::node_pcdata && text.type() != pugi::node_cdata))) {
      return Fail(child, std::string("the property \"") + key + "\" holds more than a value", error);
    }
    const char* type = child.attribute("type").value();
    SerializedContentElement::Value value;
    if (!ParseValue(type, text ? text.value() : "", value)) {
      const bool known = std::find_if(std::begin(kTypeNames), std::end(kTypeNames), [&](const char* name) {
                           return std::strcmp(name, type) == 0;
                         }) != std::end(kTypeNames);
      return Fail(child,
                  known ? std::string("the ") + type + " value of \"" + key + "\" does not read as one: \"" +
                              (text ? text.value() : "") + "\""
                        : std::string("the property \"") + key + "\" has a type this version does not know: " + type,
                  error);
    }
    element->AddProperty(util::Symbol(key), value);
    return true;
  }

  const std::string& m_text;
};

}  // namespace

bool ContentFile::IsFinite(const SerializedContentElement::Value& value) {
  return std::visit(
      [](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, float>) {
          return std::isfinite(v);
        } else if constexpr (std::is_same_v<T, geo::Color>) {
          return std::isfinite(v.r) && std::isfinite(v.g) && std::isfinite(v.b) && std::isfinite(v.a);
        } else if constexpr (std::is_same_v<T, geo::Quaternion<float>>) {
          return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w);
        } else if constexpr (std::is_same_v<T, geo::DPoint3D> || std::is_same_v<T, geo::DVec3>) {
          return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
        } else if constexpr (std::is_same_v<T, geo::Location>) {
          const geo::DPoint3D& p = v.GetPos();
          bool finite = std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
          for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) {
              finite = finite && std::isfinite(v.GetMat().m[r][c]);
            }
          }
          return finite;
        } else {
          return true;
        }
      },
      value);
}

std::string ContentFile::ToText(const SerializedContentElement& root) {
  pugi::xml_document document;
  WriteElement(root, document.append_child("content"));
  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

bool ContentFile::ToText(const SerializedContentElement& root, std::string& text, std::string& error) {
  std::vector<const SerializedContentElement*> pending{&root};
  while (!pending.empty()) {
    const SerializedContentElement* element = pending.back();
    pending.pop_back();
    for (const auto& entry : element->GetEntries()) {
      if (entry.child) {
        pending.push_back(entry.child.get());
      } else if (!IsFinite(entry.value)) {
        error =
            "the value of \"" + entry.key.str() + "\" in \"" + element->GetName().str() + "\" is not a finite number";
        return false;
      }
    }
  }
  text = ToText(root);
  return true;
}

bool ContentFile::Save(const SerializedContentElement& root, const std::string& path) {
  std::string text;
  std::string ignored;
  return ToText(root, text, ignored) && util::SafeFileWriter::Write(path, text);
}

util::SmartPtr<SerializedContentElement> ContentFile::FromText(const std::string& text) {
  std::string ignored;
  return FromText(text, ignored);
}

util::SmartPtr<SerializedContentElement> ContentFile::FromText(const std::string& text, std::string& error) {
  if (const size_t bad = util::Utf8::FindInvalid(text); bad != util::Utf8::npos) {
    error = "line " + std::to_string(LineOf(text, static_cast<ptrdiff_t>(bad))) + ": not UTF-8 text";
    return {};
  }
  if (const size_t nul = text.find('\0'); nul != std::string::npos) {
    error = "line " + std::to_string(LineOf(text, static_cast<ptrdiff_t>(nul))) + ": a NUL character";
    return {};
  }
  pugi::xml_document document;
  const pugi::xml_parse_result parsed =
      document.load_buffer(text.data(), text.size(),
                           pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_comments | pugi::parse_pi |
                               pugi::parse_declaration | pugi::parse_doctype | pugi::parse_fragment,
                           pugi::encoding_utf8);
  if (!parsed) {
    error = "line " + std::to_string(LineOf(text, parsed.offset)) + ": " + parsed.description();
    return {};
  }
  // One root and nothing else but the declaration the writer puts first (read as a
  // fragment, so that text and elements beside the root are seen, not skipped).
  pugi::xml_node root;
  for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
    const bool declaration = node.type() == pugi::node_declaration && node == document.first_child();
    if (node.type() == pugi::node_pcdata && Words(node.value()).empty()) {
      continue;
    }
    if (node.type() == pugi::node_element && !root && std::strcmp(node.name(), "content") == 0) {
      root = node;
    } else if (!declaration) {
      error = "line " + std::to_string(LineOf(text, OffsetOf(node))) + ": " +
              (node.type() == pugi::node_element ? (root ? "a second root element" : "not a content file")
                                                 : "something other than the content outside it");
      return {};
    }
  }
  if (!root) {
    error = "no content";
    return {};
  }
  return Reader(text).Read(root, error);
}

util::SmartPtr<SerializedContentElement> ContentFile::Load(const std::string& path) {
  std::string ignored;
  return Load(path, ignored);
}

util::SmartPtr<SerializedContentElement> ContentFile::Load(const std::string& path, std::string& error) {
  std::string text;
  if (!util::FileSystem::ReadFile(path, text, error)) {
    return {};
  }
  return FromText(text, error);
}

}  // namespace oxk
