// UTF-8 text as the tool shows and searches it: control characters made visible for a
// terminal, and case folding that lets a search ignore letter case beyond ASCII.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace symbols_tool {

// The text with every control character (C0, DEL, C1) and every byte that is not part of
// valid UTF-8 written as an escape ("\n", "\t", "\x1b", "\u0085"); everything else as is.
[[nodiscard]] std::string EscapeForTerminal(std::string_view text);

// The text with upper-case letters made lower case: ASCII, Latin-1, Latin Extended-A and
// -B (the paired letters), Latin Extended Additional, Greek (final sigma as sigma) and
// Cyrillic. Bytes that are not valid UTF-8 stay as they are.
[[nodiscard]] std::string FoldCase(std::string_view text);

// Appends the code point in UTF-8; one that is no Unicode scalar value (a surrogate, or
// past U+10FFFF) becomes U+FFFD.
void AppendUtf8(uint32_t point, std::string& out);

}  // namespace symbols_tool
