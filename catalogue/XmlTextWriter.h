// Appends the elements of a library file to a text, one small call per piece, in the
// file's layout: one element per line, two blanks of indentation per depth, elements
// with only attributes closed by "/> ", texts escaped as the host's XML encoder does.
//
//   xml.Start("shape", 2).Attribute("id", "7").EndStartTag();   <shape id="7">
//   xml.Element("name", 3, "Wrench");                             <name>Wrench</name>
//   xml.Start("graphic", 3).Attribute("url", url).EndEmpty();    <graphic url="..."/>
//   xml.Close("shape", 2);                                      </shape>
#pragma once

#include <string>
#include <string_view>

namespace oxsymbols::detail {

class XmlTextWriter {
 public:
  explicit XmlTextWriter(std::string& out) : m_out(out) {}

  // <name> on a line of its own, and its end tag.
  void Open(const char* name, int depth);
  void Close(const char* name, int depth);
  // A start tag left open for attributes, then closed as a container or as empty.
  XmlTextWriter& Start(const char* name, int depth);
  XmlTextWriter& Attribute(const char* name, std::string_view value);
  void EndStartTag();
  void EndEmpty();
  // Start tag, escaped text and end tag on one line; an empty text still gives both tags.
  void Element(const char* name, int depth, std::string_view text);
  // After an attribute list: ">", the escaped text and the end tag, as for "quantity".
  void TextAndClose(const char* name, std::string_view text);
  // Text made elsewhere, appended as it is.
  void Raw(std::string_view text) { m_out.append(text); }

  [[nodiscard]] std::string& Out() { return m_out; }

 private:
  void Indent(int depth) { m_out.append(static_cast<size_t>(depth) * 2, ' '); }
  void Escaped(std::string_view text);

  std::string& m_out;
};

}  // namespace oxsymbols::detail
