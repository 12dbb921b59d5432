#include "catalogue/XmlTextWriter.h"

#include "geo/XmlElem.h"

namespace oxsymbols::detail {

void XmlTextWriter::Open(const char* name, int depth) {
  Indent(depth);
  m_out += '<';
  m_out += name;
  m_out += ">\n";
}

void XmlTextWriter::Close(const char* name, int depth) {
  Indent(depth);
  m_out += "</";
  m_out += name;
  m_out += ">\n";
}

XmlTextWriter& XmlTextWriter::Start(const char* name, int depth) {
  Indent(depth);
  m_out += '<';
  m_out += name;
  return *this;
}

XmlTextWriter& XmlTextWriter::Attribute(const char* name, std::string_view value) {
  m_out += ' ';
  m_out += name;
  m_out += "=\"";
  Escaped(value);
  m_out += '"';
  return *this;
}

void XmlTextWriter::EndStartTag() {
  m_out += ">\n";
}

void XmlTextWriter::EndEmpty() {
  // Frozen: the blank after "/>" is part of the file layout.
  m_out += "/> \n";
}

void XmlTextWriter::Element(const char* name, int depth, std::string_view text) {
  Indent(depth);
  m_out += '<';
  m_out += name;
  m_out += '>';
  Escaped(text);
  m_out += "</";
  m_out += name;
  m_out += ">\n";
}

void XmlTextWriter::TextAndClose(const char* name, std::string_view text) {
  m_out += '>';
  Escaped(text);
  m_out += "</";
  m_out += name;
  m_out += ">\n";
}

void XmlTextWriter::Escaped(std::string_view text) {
  // Most texts need no escaping and are appended in one piece.
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '&' || c == '<' || c == '>' || c == '"' || c == '\'' || (byte < 0x20 && c != '\n' && c != '\t')) {
      geo::EncodeXmlStr(text, m_out);
      return;
    }
  }
  m_out.append(text);
}

}  // namespace oxsymbols::detail
