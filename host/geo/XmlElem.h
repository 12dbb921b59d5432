// The host's XML tree: elements with decoded names, attributes and text, parsed by
// pugixml. A tree is owned by its root; FreeXml(root) releases all of it. Typed readers
// return false (leaving the output alone) when the value is missing or does not parse.
//
// The children of an element are made when they are first asked for, so a reader pays
// for the parts of a document it visits, in the order it visits them. Several threads
// may read one tree at once; the setters are for trees being written by one thread.
//
// Attribute text forms: integers and reals in C locale decimal, booleans "true"/"false"
// (reading also takes "1"/"0"/"yes"/"no", any case), locations as twelve numbers
// separated by blanks: the matrix row by row, then the position.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/util/Symbol.h"

namespace geo {

struct XmlParseError {
  std::string message;
  size_t offset = 0;
  int line = 0;    // 1-based
  int column = 0;  // 1-based, in bytes
};

// One attribute as GetAttributes reports it: decoded, owned by the tree.
struct XmlAttribute {
  const char* name;
  const char* value;
};

class XmlElem {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  // Interned when first asked for, so listing an element's children does not read their
  // names yet.
  [[nodiscard]] util::Symbol GetName() const {
    const util::Symbol name = m_name.load(std::memory_order_acquire);
    return name.empty() ? InternName() : name;
  }
  [[nodiscard]] size_t GetNumChildren() const { return Children().count; }
  // Null past the last child.
  [[nodiscard]] XmlElem* GetChild(size_t index) const {
    const ChildList& children = Children();
    return index < children.count ? children.first + index : nullptr;
  }

  [[nodiscard]] size_t GetNumAttributes() const;
  // Index of the attribute named name, or npos.
  [[nodiscard]] size_t FindAttribute(const char* name) const;
  [[nodiscard]] const char* GetAttributeName(size_t index) const;
  // Copies up to max attributes, in document order, into out and returns how many the
  // element has (possibly more than max): a reader of several attributes walks them once.
  size_t GetAttributes(XmlAttribute* out, size_t max) const;
  // Decoded attribute text; "" for a bad index.
  [[nodiscard]] const char* GetAttributeText(size_t index) const;
  [[nodiscard]] std::string GetAttributeAsString(size_t index) const { return GetAttributeText(index); }
  bool GetAttributeAsInt(size_t index, int32_t& value) const;
  bool GetAttributeAsFloat(size_t index, float& value) const;
  bool GetAttributeAsDouble(size_t index, double& value) const;
  bool GetAttributeAsBool(size_t index, bool& value) const;
  bool GetAttributeAsLocation(size_t index, Location& value) const;

  // For a reader that reads a large tree once, front to back, on one thread: lets go of
  // the child at index and of everything below it (its parsed nodes and the elements made
  // for it), so that memory comes back while the reading goes on. The child reads as an
  // empty element afterwards; the other children keep their indexes. Not while another
  // thread reads the tree.
  void ReleaseChild(size_t index);

  // The element's own text (its first text or CDATA child), decoded.
  [[nodiscard]] const char* GetTextRaw() const;
  [[nodiscard]] std::string GetText() const { return GetTextRaw(); }
  // The text read as a boolean; false when it is none.
  [[nodiscard]] bool GetTextAsBool() const;

  // Typed setters for trees made with NewXmlElem.
  void SetAttribute(const char* name, const std::string& value);
  void SetAttribute(const char* name, const char* value) { SetAttribute(name, std::string(value)); }
  void SetAttribute(const char* name, bool value);
  void SetAttribute(const char* name, int32_t value);
  void SetAttribute(const char* name, double value);
  void SetAttribute(const char* name, const Location& value);
  void SetText(const std::string& text);

  XmlElem(const XmlElem&) = delete;
  XmlElem& operator=(const XmlElem&) = delete;
  ~XmlElem() = default;

 private:
  friend class XmlTree;
  friend void FreeXml(XmlElem* root);

  struct ChildList {
    XmlElem* first = nullptr;
    size_t count = 0;
  };

  XmlElem(class XmlTree* tree, void* node, util::Symbol name) : m_tree(tree), m_node(node), m_name(name) {}
  const ChildList& Children() const {
    const ChildList* children = m_children.load(std::memory_order_acquire);
    return children != nullptr ? *children : MakeChildren();
  }
  const ChildList& MakeChildren() const;
  util::Symbol InternName() const;

  class XmlTree* m_tree;
  void* m_node;  // the pugixml node
  // Empty until first asked for (element names are never empty).
  mutable std::atomic<util::Symbol> m_name;
  // Null until the children are first asked for; published once, never changed.
  mutable std::atomic<const ChildList*> m_children{nullptr};
};

// Parses a document; null when it is not well-formed (error says where, when given).
// keepWhitespaceText keeps text nodes made only of blanks.
[[nodiscard]] XmlElem* ParseXml(std::string_view text, bool keepWhitespaceText = false, XmlParseError* error = nullptr);
// Reads a file with one sized read into a buffer the tree keeps and parses it in place;
// null when the file cannot be read or is not well-formed.
[[nodiscard]] XmlElem* ParseXmlFile(const std::string& path, bool keepWhitespaceText = false);
// Releases a tree given by any of the parse functions or NewXmlElem; null is fine.
void FreeXml(XmlElem* root);
// A new, stand-alone element for writing; release with FreeXml.
[[nodiscard]] XmlElem* NewXmlElem(const char* name);
// Appends elem (attributes, text, children) to out, one element per line, indented by two
// blanks per depth, with explicit close tags for elements that have content.
void WriteXmlCloseTags(const XmlElem* elem, std::string& out, int depth);
// Escapes text for element content and attribute values.
[[nodiscard]] std::string EncodeXmlStr(std::string_view text);
void EncodeXmlStr(std::string_view text, std::string& out);

// The text forms of typed values, shared by the setters and by writers of the same forms.
std::string FormatXmlDouble(double value);
std::string FormatXmlLocation(const Location& value);
bool ParseXmlInt(const char* text, int32_t& value);
bool ParseXmlFloat(const char* text, float& value);
bool ParseXmlDouble(const char* text, double& value);
bool ParseXmlBool(const char* text, bool& value);
bool ParseXmlLocation(const char* text, Location& value);
// The twelve numbers of a location and nothing else, every one finite and in range.
bool ParseXmlLocationExact(const char* text, Location& value);
// Exactly count numbers separated by blanks and nothing else, every one finite.
bool ParseXmlNumbersExact(const char* text, double* values, size_t count);

}  // namespace geo
