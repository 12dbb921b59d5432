#include "Utf8Text.h"

#include <cstdint>
#include <cstdio>

#include "util/Utf8.h"

namespace symbols_tool {

namespace {

using util::Utf8;

bool InRange(uint32_t point, uint32_t first, uint32_t last) {
  return point >= first && point <= last;
}

// Upper case in blocks where upper and lower case letters alternate: the upper one sits
// on the even (or, with oddUpper, the odd) code point, its lower case just after it.
uint32_t FoldPair(uint32_t point, bool oddUpper) {
  return (point % 2 == 1) == oddUpper ? point + 1 : point;
}

uint32_t Fold(uint32_t point) {
  if (point < 0x80) {
    return point >= 'A' && point <= 'Z' ? point + 0x20 : point;
  }
  // Latin-1 Supplement.
  if (InRange(point, 0xC0, 0xDE) && point != 0xD7) {
    return point + 0x20;
  }
  // Latin Extended-A.
  if (point == 0x130) {
    return 'i';
  }
  if (point == 0x178) {
    return 0xFF;
  }
  if (point == 0x17F) {
    return 's';
  }
  if (InRange(point, 0x100, 0x137) || InRange(point, 0x14A, 0x177)) {
    return FoldPair(point, false);
  }
  if (InRange(point, 0x139, 0x148) || InRange(point, 0x179, 0x17E)) {
    return FoldPair(point, true);
  }
  // Latin Extended-B: the paired runs.
  if (InRange(point, 0x1CD, 0x1DC)) {
    return FoldPair(point, true);
  }
  if (InRange(point, 0x1DE, 0x1EF) || InRange(point, 0x1F8, 0x21F) || InRange(point, 0x222, 0x233) ||
      InRange(point, 0x246, 0x24F)) {
    return FoldPair(point, false);
  }
  // Greek.
  if (point == 0x386) {
    return 0x3AC;
  }
  if (InRange(point, 0x388, 0x38A)) {
    return point + 0x25;
  }
  if (point == 0x38C) {
    return 0x3CC;
  }
  if (InRange(point, 0x38E, 0x38F)) {
    return point + 0x3F;
  }
  if (InRange(point, 0x391, 0x3A1) || InRange(point, 0x3A3, 0x3AB)) {
    return point + 0x20;
  }
  if (point == 0x3C2) {
    return 0x3C3;
  }
  if (InRange(point, 0x3D8, 0x3EF)) {
    return FoldPair(point, false);
  }
  // Cyrillic and its supplement.
  if (InRange(point, 0x400, 0x40F)) {
    return point + 0x50;
  }
  if (InRange(point, 0x410, 0x42F)) {
    return point + 0x20;
  }
  if (InRange(point, 0x460, 0x481) || InRange(point, 0x48A, 0x4BF) || InRange(point, 0x4D0, 0x52F)) {
    return FoldPair(point, false);
  }
  if (point == 0x4C0) {
    return 0x4CF;
  }
  if (InRange(point, 0x4C1, 0x4CE)) {
    return FoldPair(point, true);
  }
  // Latin Extended Additional; capital sharp s.
  if (InRange(point, 0x1E00, 0x1E95) || InRange(point, 0x1EA0, 0x1EFF)) {
    return FoldPair(point, false);
  }
  if (point == 0x1E9E) {
    return 0xDF;
  }
  return point;
}

void AppendHex(std::string& out, const char* format, unsigned value) {
  char buffer[16];
  const int length = std::snprintf(buffer, sizeof(buffer), format, value);
  out.append(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

void AppendUtf8(uint32_t point, std::string& out) {
  if (point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
    point = 0xFFFD;
  }
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | point >> 6);
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | point >> 12);
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | point >> 18);
    out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

std::string EscapeForTerminal(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    size_t length = 1;
    const uint32_t point = Utf8::Decode(text, at, length);
    if (point == Utf8::kInvalid) {
      AppendHex(out, "\\x%02x", static_cast<uint8_t>(text[at]));
    } else if (point == '\n') {
      out += "\\n";
    } else if (point == '\t') {
      out += "\\t";
    } else if (point == '\r') {
      out += "\\r";
    } else if (point < 0x20 || point == 0x7F) {
      AppendHex(out, "\\x%02x", point);
    } else if (InRange(point, 0x80, 0x9F)) {
      AppendHex(out, "\\u%04x", point);
    } else {
      out.append(text.substr(at, length));
    }
    at += length;
  }
  return out;
}

std::string FoldCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    size_t length = 1;
    const uint32_t point = Utf8::Decode(text, at, length);
    if (point == Utf8::kInvalid) {
      out += text[at];
    } else {
      AppendUtf8(Fold(point), out);
    }
    at += length;
  }
  return out;
}

}  // namespace symbols_tool
