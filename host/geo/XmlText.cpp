// The XML layer's text helpers: escaping text for XML, and numbers, truth values and
// locations written and read in the C locale's form whatever the process's.
#include <charconv>
#include <cstring>
#include <string>

#include "geo/XmlElem.h"

namespace geo {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) {
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

template <class T>
std::string FormatShortest(T value) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string(buffer, ec == std::errc() ? ptr : buffer);
}

}  // namespace

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

bool ParseXmlInt(const char* text, int32_t& value) {
  return ParseNumber(text, value);
}

bool ParseXmlFloat(const char* text, float& value) {
  return ParseNumber(text, value);
}

bool ParseXmlDouble(const char* text, double& value) {
  return ParseNumber(text, value);
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
    while (cursor < end &&
           (*cursor == ' ' || *cursor == '\t' || *cursor == '\n' || *cursor == '\r' || *cursor == ',')) {
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

namespace {

// The next blank-separated word of text from cursor on, as a finite number of type T.
template <class T>
bool NextExactNumber(const char*& cursor, const char* end, T& value) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (cursor < end && blank(*cursor)) {
    ++cursor;
  }
  const char* wordEnd = cursor;
  while (wordEnd < end && !blank(*wordEnd)) {
    ++wordEnd;
  }
  const auto [ptr, ec] = std::from_chars(cursor, wordEnd, value);
  if (cursor == wordEnd || ec != std::errc() || ptr != wordEnd || !std::isfinite(value)) {
    return false;
  }
  cursor = wordEnd;
  return true;
}

bool OnlyBlanksLeft(const char* cursor, const char* end) {
  for (; cursor < end; ++cursor) {
    if (*cursor != ' ' && *cursor != '\t' && *cursor != '\n' && *cursor != '\r') {
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseXmlLocationExact(const char* text, Location& value) {
  float matrix[9];
  double position[3];
  const char* cursor = text;
  const char* end = text + std::strlen(text);
  for (float& number : matrix) {
    if (!NextExactNumber(cursor, end, number)) {
      return false;
    }
  }
  for (double& number : position) {
    if (!NextExactNumber(cursor, end, number)) {
      return false;
    }
  }
  if (!OnlyBlanksLeft(cursor, end)) {
    return false;
  }
  FMat33 m;
  for (int i = 0; i < 9; ++i) {
    m.m[i / 3][i % 3] = matrix[i];
  }
  value = Location(m, DPoint3D(position[0], position[1], position[2]));
  return true;
}

bool ParseXmlNumbersExact(const char* text, double* values, size_t count) {
  const char* cursor = text;
  const char* end = text + std::strlen(text);
  for (size_t i = 0; i < count; ++i) {
    if (!NextExactNumber(cursor, end, values[i])) {
      return false;
    }
  }
  return OnlyBlanksLeft(cursor, end);
}

}  // namespace geo
