// UTF-8 checks for text that goes into files others read: where a text stops being valid
// UTF-8, and the text made valid (and, for XML, made of characters XML 1.0 can hold)
// by replacing what is not with U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace util {

class Utf8 {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);
  // What Decode gives for a byte that does not start a valid, shortest-form sequence.
  static constexpr uint32_t kInvalid = 0xFFFFFFFF;

  // The code point at text[at] and its length in bytes (1 for kInvalid).
  [[nodiscard]] static uint32_t Decode(std::string_view text, size_t at, size_t& length);
  // The offset of the first byte that is not part of valid UTF-8; npos when all is.
  [[nodiscard]] static size_t FindInvalid(std::string_view text);
  // True for the characters XML 1.0 allows in a document.
  [[nodiscard]] static bool IsXmlChar(uint32_t point);
  // The text with every invalid sequence (and, with forXml, every character XML 1.0
  // cannot hold) replaced by U+FFFD; valid text comes back unchanged.
  [[nodiscard]] static std::string MakeValid(std::string_view text, bool forXml);
};

}  // namespace util
