// Arguments of a localized message, each already formatted as text.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

namespace util {

using MessageArgs = std::vector<std::string>;

namespace detail {
// The conversions of a printf-style format ("%d", "%.2f"...), one per argument.
std::vector<std::string> SplitFormat(const char* format);

template <class T>
std::string FormatOne(const std::string& conversion, T value) {
  if constexpr (std::is_same_v<std::decay_t<T>, std::string>) {
    return FormatOne(conversion, value.c_str());
  } else {
    const int size = std::snprintf(nullptr, 0, conversion.c_str(), value);
    if (size <= 0) {
      return std::string();
    }
    std::string text(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), conversion.c_str(), value);
    text.resize(static_cast<size_t>(size));
    return text;
  }
}
}  // namespace detail

// AssembleArgs("%d %s", 3, "x") gives {"3", "x"}: each conversion formats one value.
// Values beyond the conversions are ignored; conversions beyond the values are dropped.
template <class... Values>
MessageArgs AssembleArgs(const char* format, Values... values) {
  const std::vector<std::string> conversions = detail::SplitFormat(format);
  MessageArgs args;
  size_t index = 0;
  auto add = [&](auto value) {
    if (index < conversions.size()) {
      args.push_back(detail::FormatOne(conversions[index], value));
    }
    ++index;
  };
  (add(values), ...);
  return args;
}

}  // namespace util
