#include "util/Utf8.h"

namespace util {

uint32_t Utf8::Decode(std::string_view text, size_t at, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t first = byte(at);
  length = 1;
  if (first < 0x80) {
    return first;
  }
  size_t count = 0;
  uint32_t point = 0;
  uint32_t smallest = 0;
  if ((first & 0xE0) == 0xC0) {
    count = 2;
    point = first & 0x1F;
    smallest = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    count = 3;
    point = first & 0x0F;
    smallest = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    count = 4;
    point = first & 0x07;
    smallest = 0x10000;
  } else {
    return kInvalid;
  }
  if (at + count > text.size()) {
    return kInvalid;
  }
  for (size_t i = 1; i < count; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      return kInvalid;
    }
    point = point << 6 | (byte(at + i) & 0x3F);
  }
  if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
    return kInvalid;
  }
  length = count;
  return point;
}

size_t Utf8::FindInvalid(std::string_view text) {
  size_t length = 1;
  for (size_t at = 0; at < text.size(); at += length) {
    if (static_cast<uint8_t>(text[at]) < 0x80) {
      length = 1;
      continue;
    }
    if (Decode(text, at, length) == kInvalid) {
      return at;
    }
  }
  return npos;
}

bool Utf8::IsXmlChar(uint32_t point) {
  return point == 0x9 || point == 0xA || point == 0xD || (point >= 0x20 && point <= 0xD7FF) ||
         (point >= 0xE000 && point <= 0xFFFD) || (point >= 0x10000 && point <= 0x10FFFF);
}

std::string Utf8::MakeValid(std::string_view text, bool forXml) {
  std::string out;
  out.reserve(text.size());
  size_t length = 1;
  for (size_t at = 0; at < text.size(); at += length) {
    const uint32_t point = Decode(text, at, length);
    if (point == kInvalid || (forXml && !IsXmlChar(point))) {
      out += "\xEF\xBF\xBD";
      continue;
    }
    out.append(text.substr(at, length));
  }
  return out;
}

}  // namespace util
