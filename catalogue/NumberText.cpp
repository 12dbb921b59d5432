#include "catalogue/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace oxsymbols::detail {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The characters a stream takes as the number, sign included; empty when the text
// holds no complete number (a real's dangling exponent fails the whole extraction).
std::string_view ScanNumber(const char* text, bool real) {
  while (IsBlank(*text)) {
    ++text;
  }
  const char* cursor = text;
  if (*cursor == '+' || *cursor == '-') {
    ++cursor;
  }
  bool digits = false;
  for (; IsDigit(*cursor); ++cursor) {
    digits = true;
  }
  if (real && *cursor == '.') {
    for (++cursor; IsDigit(*cursor); ++cursor) {
      digits = true;
    }
  }
  if (!digits) {
    return {};
  }
  if (real && (*cursor == 'e' || *cursor == 'E')) {
    ++cursor;
    if (*cursor == '+' || *cursor == '-') {
      ++cursor;
    }
    if (!IsDigit(*cursor)) {
      return {};
    }
    while (IsDigit(*cursor)) {
      ++cursor;
    }
  }
  return std::string_view(text, static_cast<size_t>(cursor - text));
}

// from_chars takes no plus sign.
std::string_view WithoutPlus(std::string_view token) {
  return !token.empty() && token.front() == '+' ? token.substr(1) : token;
}

// For a real out of the double range: whether it is too large rather than too small,
// from the place of its first significant digit and its exponent.
bool IsTooLarge(std::string_view token) {
  const size_t e = token.find_first_of("eE");
  int64_t exponent = 0;
  if (e != std::string_view::npos) {
    const std::string_view digits = WithoutPlus(token.substr(e + 1));
    if (std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec != std::errc()) {
      return digits.front() != '-';  // an exponent beyond 64 bits decides alone
    }
  }
  const std::string_view mantissa = token.substr(0, e);
  int64_t place = 0;  // digits before the point, from the first non-zero one
  bool significant = false;
  bool fraction = false;
  for (const char c : mantissa) {
    if (c == '.') {
      fraction = true;
    } else if (IsDigit(c)) {
      significant = significant || c != '0';
      if (!fraction && significant) {
        ++place;
      } else if (fraction && !significant) {
        --place;
      }
    }
  }
  return place + exponent > 0;
}

}  // namespace

int ReadInt(const char* text) {
  const std::string_view token = WithoutPlus(ScanNumber(text, false));
  if (token.empty()) {
    return 0;
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error == std::errc::result_out_of_range) {
    return token.front() == '-' ? INT_MIN : INT_MAX;
  }
  if (value < INT_MIN) {
    return INT_MIN;
  }
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

double ReadReal(const char* text) {
  const std::string_view token = WithoutPlus(ScanNumber(text, true));
  if (token.empty()) {
    return 0.0;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too large gives the largest finite value, too small zero, with the sign.
    const double sign = token.front() == '-' ? -1.0 : 1.0;
    return IsTooLarge(token) ? sign * std::numeric_limits<double>::max() : sign * 0.0;
  }
  return error == std::errc() ? value : 0.0;
}

std::string_view FormatInt(int value, NumberBuffer& buffer) {
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  return std::string_view(buffer, static_cast<size_t>(result.ptr - buffer));
}

std::string_view FormatReal(double value, NumberBuffer& buffer) {
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 6);
  return std::string_view(buffer, result.ec == std::errc() ? static_cast<size_t>(result.ptr - buffer) : 0);
}

}  // namespace oxsymbols::detail
