// Base64 text of bytes (standard alphabet, with padding), for data embedded in text
// documents.
#pragma once

#include <string>
#include <string_view>

namespace util {

[[nodiscard]] std::string Base64Encode(std::string_view bytes);

}  // namespace util
