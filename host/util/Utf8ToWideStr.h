// UTF-8 to wide text. Malformed bytes become U+FFFD rather than being dropped, so a
// label never silently loses characters.
#pragma once

#include <string>
#include <string_view>

namespace util {

[[nodiscard]] std::wstring Utf8ToWideStr(std::string_view utf8);
// The same, appended to out: a caller that fills the same strings again and again keeps
// their memory.
void AppendUtf8ToWideStr(std::string_view utf8, std::wstring& out);

}  // namespace util
