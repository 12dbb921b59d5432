#include "util/Base64.h"

#include <cstdint>

namespace util {

std::string Base64Encode(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    uint32_t chunk = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (left > 1) {
      chunk |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    }
    if (left > 2) {
      chunk |= static_cast<unsigned char>(bytes[i + 2]);
    }
    out += kDigits[(chunk >> 18) & 63];
    out += kDigits[(chunk >> 12) & 63];
    out += left > 1 ? kDigits[(chunk >> 6) & 63] : '=';
    out += left > 2 ? kDigits[chunk & 63] : '=';
  }
  return out;
}

}  // namespace util
