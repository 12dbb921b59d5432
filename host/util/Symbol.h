// Interned text: equal texts share one stored copy, so symbols compare by address.
//
// Interning is thread-safe; interned texts live until the process ends. An empty
// symbol (default-constructed, or made from null) holds no text at all; a symbol made
// from "" is empty as well, so emptiness has one meaning.
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace util {

class Symbol {
 public:
  Symbol() noexcept = default;
  Symbol(const char* text);
  Symbol(const std::string& text);
  explicit Symbol(std::string_view text);

  // Null for an empty symbol; see safe_c_str.
  [[nodiscard]] const char* c_str() const noexcept { return m_text ? m_text->c_str() : nullptr; }
  // Never null: "" for an empty symbol.
  [[nodiscard]] const char* safe_c_str() const noexcept { return m_text ? m_text->c_str() : ""; }
  [[nodiscard]] size_t length() const noexcept { return m_text ? m_text->size() : 0; }
  [[nodiscard]] bool empty() const noexcept { return m_text == nullptr; }
  [[nodiscard]] std::string_view view() const noexcept {
    return m_text ? std::string_view(*m_text) : std::string_view();
  }
  [[nodiscard]] std::string str() const { return m_text ? *m_text : std::string(); }
  operator std::string() const { return str(); }

  bool operator==(const Symbol& other) const noexcept { return m_text == other.m_text; }
  bool operator==(const char* text) const noexcept {
    if (text == nullptr || *text == '\0') {
      return m_text == nullptr;
    }
    return m_text != nullptr && std::strcmp(m_text->c_str(), text) == 0;
  }
  bool operator==(const std::string& text) const noexcept { return view() == std::string_view(text); }
  // Orders by text, so sorted containers of symbols are deterministic.
  bool operator<(const Symbol& other) const noexcept { return view() < other.view(); }

  // Identity of the interned text, for hashing.
  [[nodiscard]] const void* key() const noexcept { return m_text; }

 private:
  static const std::string* Intern(std::string_view text);

  const std::string* m_text = nullptr;
};

}  // namespace util

template <>
struct std::hash<util::Symbol> {
  size_t operator()(const util::Symbol& s) const noexcept { return std::hash<const void*>()(s.key()); }
};
