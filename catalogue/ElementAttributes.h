// The attributes of one element of a library file, read in one pass, with the typed
// readings the format uses. A lookup gives the first attribute of the name, as the XML
// layer's own lookup does; an element with very many attributes is asked directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "orrinsymbols/geo/XmlElem.h"

namespace oxsymbols::detail {

class ElementAttributes {
 public:
  explicit ElementAttributes(const geo::XmlElem* elem) : m_elem(elem), m_count(elem->GetAttributes(m_items, kMax)) {}

  // The decoded text of the attribute, or null when the element has none of the name.
  [[nodiscard]] const char* Find(const char* name) const {
    if (m_count > kMax) {
      const size_t index = m_elem->FindAttribute(name);
      return index == geo::XmlElem::npos ? nullptr : m_elem->GetAttributeText(index);
    }
    for (size_t i = 0; i < m_count; ++i) {
      if (m_items[i].name[0] == name[0] && std::strcmp(m_items[i].name, name) == 0) {
        return m_items[i].value;
      }
    }
    return nullptr;
  }

  // Typed readings; the fallback when the attribute is missing or does not parse.
  [[nodiscard]] int Int(const char* name, int fallback) const {
    return Typed<int32_t>(name, fallback, geo::ParseXmlInt);
  }
  [[nodiscard]] bool Bool(const char* name, bool fallback) const {
    return Typed<bool>(name, fallback, geo::ParseXmlBool);
  }
  [[nodiscard]] float Float(const char* name, float fallback) const {
    return Typed<float>(name, fallback, geo::ParseXmlFloat);
  }
  [[nodiscard]] double Double(const char* name, double fallback) const {
    return Typed<double>(name, fallback, geo::ParseXmlDouble);
  }

 private:
  static constexpr size_t kMax = 16;

  template <class T, class Parse>
  T Typed(const char* name, T fallback, Parse parse) const {
    const char* text = Find(name);
    T value = fallback;
    if (text == nullptr || !parse(text, value)) {
      return fallback;
    }
    return value;
  }

  const geo::XmlElem* m_elem;
  geo::XmlAttribute m_items[kMax];
  size_t m_count;
};

}  // namespace oxsymbols::detail
