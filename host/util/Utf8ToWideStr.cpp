#include "util/Utf8ToWideStr.h"

#include <cstdint>

namespace util {

std::wstring Utf8ToWideStr(std::string_view utf8) {
  std::wstring out;
  AppendUtf8ToWideStr(utf8, out);
  return out;
}

void AppendUtf8ToWideStr(std::string_view utf8, std::wstring& out) {
  constexpr wchar_t kReplacement = 0xFFFD;
  // Never more wide characters than bytes (a four-byte sequence makes at most two), so
  // the room is made once and written through a pointer.
  const size_t start = out.size();
  out.resize(start + utf8.size());
  wchar_t* const first = out.data() + start;
  wchar_t* write = first;
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    uint32_t code = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
      *write++ = static_cast<wchar_t>(lead);
      ++i;
      continue;
    }
    if ((lead & 0xE0) == 0xC0) {
      extra = 1, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, code = lead & 0x07, minimum = 0x10000;
    } else {
      *write++ = kReplacement;
      ++i;
      continue;
    }
    if (i + extra >= utf8.size()) {
      *write++ = kReplacement;
      ++i;
      continue;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      code = (code << 6) | (next & 0x3F);
    }
    if (!valid || code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      *write++ = kReplacement;
      ++i;
      continue;
    }
    if constexpr (sizeof(wchar_t) == 2) {
      if (code >= 0x10000) {
        code -= 0x10000;
        *write++ = static_cast<wchar_t>(0xD800 + (code >> 10));
        *write++ = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        i += extra + 1;
        continue;
      }
    }
    *write++ = static_cast<wchar_t>(code);
    i += extra + 1;
  }
  out.resize(start + static_cast<size_t>(write - first));
}

}  // namespace util
