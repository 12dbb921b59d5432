// UTF-8 to wide text. Malformed bytes become U+FFFD rather than being dropped, so a
// label never silently loses characters.
#pragma once

#include <string>
#include <string_view>

namespace util {

[[nodiscard]] std::wstring Utf8ToWideStr(std::string_view utf8);

}  // namespace util
