#include "geo/XmlElem.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <algorithm>
#include <vector>

namespace geo {

// Interns element names. Documents repeat a few names millions of times, so a small
// direct-mapped table in front of the symbol table saves the hashing and locking.
class NameCache {
 public:
  util::Symbol Get(const char* text) {
    const size_t length = std::strlen(text);
    const size_t slot = Slot(text, length);
    const util::Symbol& cached = m_slots[slot];
    if (cached.length() == length && std::memcmp(cached.safe_c_str(), text, length) == 0) {
      return cached;
    }
    m_slots[slot] = util::Symbol(std::string_view(text, length));
    return m_slots[slot];
  }

 private:
  static size_t Slot(const char* text, size_t length) {
    if (length == 0) {
      return 0;
    }
    const auto first = static_cast<unsigned char>(text[0]);
    const auto middle = static_cast<unsigned char>(text[length / 2]);
    const auto last = static_cast<unsigned char>(text[length - 1]);
    return (length * 131 + first * 31 + middle * 7 + last) % kSlots;
  }

  static constexpr size_t kSlots = 257;
  util::Symbol m_slots[kSlots];
};

// Owns the pugixml document and the elements. The children of every element are
// contiguous, so GetChild is an index; elements are reached depth first, which follows
// the order of pugixml's nodes in memory and keeps large documents cache-friendly.
class XmlTree {
 public:
  pugi::xml_document document;
  std::vector<XmlElem> elements;
  std::string ownedText;  // the parsed text, when the tree parsed it in place

  static pugi::xml_node Node(const XmlElem* elem) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(elem->m_node));
  }

  XmlElem* Build(pugi::xml_node root, size_t expectedElements = 1) {
    NameCache names;
    auto nameOf = [&](pugi::xml_node node) { return names.Get(node.name()); };
    elements.reserve(expectedElements);
    elements.push_back(MakeElem(root, nameOf(root)));
    // An explicit stack, so deep documents cannot exhaust the call stack.
    std::vector<uint32_t> pending{0};
    while (!pending.empty()) {
      const uint32_t i = pending.back();
      pending.pop_back();
      pugi::xml_node node = Node(&elements[i]);
      const auto first = static_cast<uint32_t>(elements.size());
      uint32_t count = 0;
      for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
          continue;
        }
        elements.push_back(MakeElem(child, nameOf(child)));
        ++count;
      }
      elements[i].m_firstChild = first;
      elements[i].m_numChildren = count;
      for (uint32_t c = count; c > 0; --c) {
        pending.push_back(first + c - 1);
      }
    }
    return &elements[0];
  }

 private:
  XmlElem MakeElem(pugi::xml_node node, util::Symbol name) {
    XmlElem elem;
    elem.m_tree = this;
    elem.m_node = node.internal_object();
    elem.m_name = name;
    return elem;
  }
};

namespace {

pugi::xml_attribute AttributeAt(const XmlElem* elem, size_t index) {
  pugi::xml_attribute attribute = XmlTree::Node(elem).first_attribute();
  for (size_t i = 0; attribute && i < index; ++i) {
    attribute = attribute.next_attribute();
  }
  return attribute;
}

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
      return false;
    }
  }
  return *a == *b;
}

template <class T>
bool ParseNumber(const char* text, T& value) {
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r') {
    ++text;
  }
  if (*text == '+') {
    ++text;
  }
  const char* end = text + std::strlen(text);
  T parsed{};
  auto [ptr, ec] = std::from_chars(text, end, parsed);
  if (ec != std::errc() || ptr == text) {
    return false;
  }
  value = parsed;
  return true;
}

void AppendIndent(std::string& out, int depth) {
  out.append(static_cast<size_t>(depth > 0 ? depth * 2 : 0), ' ');
}

template <class T>
std::string FormatShortest(T value) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string(buffer, ec == std::errc() ? ptr : buffer);
}

}  // namespace

XmlElem* XmlElem::GetChild(size_t index) const {
  if (index >= m_numChildren) {
    return nullptr;
  }
  return &m_tree->elements[m_firstChild + index];
}

size_t XmlElem::GetNumAttributes() const {
  size_t count = 0;
  for (pugi::xml_attribute a = XmlTree::Node(this).first_attribute(); a; a = a.next_attribute()) {
    ++count;
  }
  return count;
}

size_t XmlElem::FindAttribute(const char* name) const {
  size_t index = 0;
  for (pugi::xml_attribute a = XmlTree::Node(this).first_attribute(); a; a = a.next_attribute(), ++index) {
    if (std::strcmp(a.name(), name) == 0) {
      return index;
    }
  }
  return npos;
}

const char* XmlElem::GetAttributeName(size_t index) const {
  return AttributeAt(this, index).name();
}

const char* XmlElem::GetAttributeText(size_t index) const {
  return AttributeAt(this, index).value();
}

bool XmlElem::GetAttributeAsInt(size_t index, int32_t& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseNumber(a.value(), value);
}

bool XmlElem::GetAttributeAsFloat(size_t index, float& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseNumber(a.value(), value);
}

bool XmlElem::GetAttributeAsDouble(size_t index, double& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseNumber(a.value(), value);
}

bool XmlElem::GetAttributeAsBool(size_t index, bool& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseXmlBool(a.value(), value);
}

bool XmlElem::GetAttributeAsLocation(size_t index, Location& value) const {
  pugi::xml_attribute a = AttributeAt(this, index);
  return a && ParseXmlLocation(a.value(), value);
}

const char* XmlElem::GetTextRaw() const {
  for (pugi::xml_node child = XmlTree::Node(this).first_child(); child; child = child.next_sibling()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      return child.value();
    }
  }
  return "";
}

bool XmlElem::GetTextAsBool() const {
  std::string_view text = GetTextRaw();
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  // The words ParseXmlBool takes, without copying the text.
  const auto is = [&](std::string_view word) {
    return text.size() == word.size() && std::equal(text.begin(), text.end(), word.begin(), [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) == b;
           });
  };
  return is("true") || is("yes") || text == "1";
}

void XmlElem::SetAttribute(const char* name, const std::string& value) {
  pugi::xml_node node = XmlTree::Node(this);
  pugi::xml_attribute a = node.attribute(name);
  if (!a) {
    a = node.append_attribute(name);
  }
  a.set_value(value.c_str());
}

void XmlElem::SetAttribute(const char* name, bool value) {
  SetAttribute(name, std::string(value ? "true" : "false"));
}

void XmlElem::SetAttribute(const char* name, int32_t value) {
  SetAttribute(name, std::to_string(value));
}

void XmlElem::SetAttribute(const char* name, double value) {
  SetAttribute(name, FormatXmlDouble(value));
}

void XmlElem::SetAttribute(const char* name, const Location& value) {
  SetAttribute(name, FormatXmlLocation(value));
}

void XmlElem::SetText(const std::string& text) {
  XmlTree::Node(this).text().set(text.c_str());
}

namespace {

// Rough elements per byte of typical XML; only sizes the first allocation.
constexpr size_t kBytesPerElementGuess = 24;

XmlElem* FinishParse(XmlTree* tree, const pugi::xml_parse_result& result, std::string_view text, size_t size,
                     XmlParseError* error) {
  pugi::xml_node root = tree->document.document_element();
  if (!result || !root) {
    if (error != nullptr) {
      error->message = result ? "no root element" : result.description();
      error->offset = result ? text.size() : static_cast<size_t>(result.offset);
      error->line = 1;
      error->column = 1;
      for (size_t i = 0; i < error->offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
          ++error->line;
          error->column = 1;
        } else {
          ++error->column;
        }
      }
    }
    delete tree;
    return nullptr;
  }
  return tree->Build(root, size / kBytesPerElementGuess + 1);
}

unsigned ParseOptions(bool keepWhitespaceText) {
  return keepWhitespaceText ? (pugi::parse_default | pugi::parse_ws_pcdata) : pugi::parse_default;
}

}  // namespace

XmlElem* ParseXml(std::string_view text, bool keepWhitespaceText, XmlParseError* error) {
  auto* tree = new XmlTree();
  const pugi::xml_parse_result result =
      tree->document.load_buffer(text.data(), text.size(), ParseOptions(keepWhitespaceText), pugi::encoding_utf8);
  return FinishParse(tree, result, text, text.size(), error);
}

XmlElem* ParseXmlInPlace(std::string&& text, bool keepWhitespaceText, XmlParseError* error) {
  auto* tree = new XmlTree();
  tree->ownedText = std::move(text);
  // Error positions refer to the text as given, before the parser decoded it in place.
  std::string copyForErrors;
  if (error != nullptr) {
    copyForErrors = tree->ownedText;
  }
  const pugi::xml_parse_result result = tree->document.load_buffer_inplace(
      tree->ownedText.data(), tree->ownedText.size(), ParseOptions(keepWhitespaceText), pugi::encoding_utf8);
  return FinishParse(tree, result, copyForErrors, tree->ownedText.size(), error);
}

void FreeXml(XmlElem* root) {
  if (root == nullptr) {
    return;
  }
  XmlTree* tree = root->m_tree;
  if (tree == nullptr || &tree->elements[0] != root) {
    return;  // not a root: the tree is released through its root only
  }
  delete tree;
}

XmlElem* NewXmlElem(const char* name) {
  auto* tree = new XmlTree();
  pugi::xml_node node = tree->document.append_child(name);
  return tree->Build(node);
}

void WriteXmlCloseTags(const XmlElem* elem, std::string& out, int depth) {
  if (elem == nullptr) {
    return;
  }
  pugi::xml_node node = XmlTree::Node(elem);
  AppendIndent(out, depth);
  out += '<';
  out += node.name();
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    out += ' ';
    out += a.name();
    out += "=\"";
    EncodeXmlStr(a.value(), out);
    out += '"';
  }
  const std::string_view text = elem->GetTextRaw();
  if (elem->GetNumChildren() == 0 && text.empty()) {
    out += "/>\n";
    return;
  }
  out += '>';
  EncodeXmlStr(text, out);
  if (elem->GetNumChildren() > 0) {
    out += '\n';
    for (size_t i = 0; i < elem->GetNumChildren(); ++i) {
      WriteXmlCloseTags(elem->GetChild(i), out, depth + 1);
    }
    AppendIndent(out, depth);
  }
  out += "</";
  out += node.name();
  out += ">\n";
}

void EncodeXmlStr(std::string_view text, std::string& out) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '\r':
        out += "&#13;";  // a raw CR would be folded into a line feed by any reader
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') {
          // Not representable in XML 1.0; dropped rather than making the file unreadable.
          break;
        }
        out += c;
    }
  }
}

std::string EncodeXmlStr(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  EncodeXmlStr(text, out);
  return out;
}

std::string FormatXmlDouble(double value) {
  return FormatShortest(value);
}

std::string FormatXmlLocation(const Location& value) {
  std::string out;
  const FMat33& m = value.GetMat();
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      out += FormatShortest(m.m[r][c]);
      out += ' ';
    }
  }
  const DPoint3D& p = value.GetPos();
  out += FormatShortest(p.x) + ' ' + FormatShortest(p.y) + ' ' + FormatShortest(p.z);
  return out;
}

bool ParseXmlBool(const char* text, bool& value) {
  if (EqualsNoCase(text, "true") || EqualsNoCase(text, "yes") || std::strcmp(text, "1") == 0) {
    value = true;
    return true;
  }
  if (EqualsNoCase(text, "false") || EqualsNoCase(text, "no") || std::strcmp(text, "0") == 0) {
    value = false;
    return true;
  }
  return false;
}

bool ParseXmlLocation(const char* text, Location& value) {
  // Matrix entries are read as floats directly, so a written float comes back exact.
  float matrix[9];
  double position[3];
  const char* cursor = text;
  const char* end = text + std::strlen(text);
  auto next = [&](auto& number) {
    while (cursor < end && (*cursor == ' ' || *cursor == '\t' || *cursor == '\n' || *cursor == '\r' || *cursor == ',')) {
      ++cursor;
    }
    auto [ptr, ec] = std::from_chars(cursor, end, number);
    if (ec != std::errc() || ptr == cursor) {
      return false;
    }
    cursor = ptr;
    return true;
  };
  for (float& number : matrix) {
    if (!next(number)) {
      return false;
    }
  }
  for (double& number : position) {
    if (!next(number)) {
      return false;
    }
  }
  FMat33 m;
  for (int i = 0; i < 9; ++i) {
    m.m[i / 3][i % 3] = matrix[i];
  }
  value = Location(m, DPoint3D(position[0], position[1], position[2]));
  return true;
}

}  // namespace geo
