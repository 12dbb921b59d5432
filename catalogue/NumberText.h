// Numbers in library files: read as a standard stream extracts them from element text,
// written as a default standard stream inserts them in the classic locale, whatever
// locale the process has set.
#pragma once

#include <string_view>

namespace oxsymbols::detail {

// Room for any int or double this file writes.
using NumberBuffer = char[32];

// Leading blanks skipped, reading stops at the first character that cannot continue
// the number; 0 when the text holds no number. Out-of-range values give the nearest
// representable one.
[[nodiscard]] int ReadInt(const char* text);
[[nodiscard]] double ReadReal(const char* text);

// Decimal, and general notation with six significant digits ("1", "0.1", "1.23457e+06").
[[nodiscard]] std::string_view FormatInt(int value, NumberBuffer& buffer);
[[nodiscard]] std::string_view FormatReal(double value, NumberBuffer& buffer);

}  // namespace oxsymbols::detail
