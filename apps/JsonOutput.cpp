#include "JsonOutput.h"

#include <charconv>
#include <cmath>

namespace symbols_tool {

namespace {

// The double with at most 15 significant digits nearest to value: every decimal of up to
// 15 digits reads back as itself, and rounding errors of arithmetic vanish.
double Rounded(double value) {
  if (!std::isfinite(value)) {
    return value;
  }
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 15);
  double rounded = value;
  if (error == std::errc()) {
    (void)std::from_chars(buffer, end, rounded);
  }
  return rounded;
}

void RoundNumbers(nlohmann::json& value) {
  if (value.is_number_float()) {
    value = Rounded(value.get<double>());
  } else if (value.is_structured()) {
    for (nlohmann::json& item : value) {
      RoundNumbers(item);
    }
  }
}

}  // namespace

nlohmann::json JsonAnswer() {
  return {{"schemaVersion", kJsonSchemaVersion}};
}

double JsonNumber(float value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof(buffer), value);
  double shortest = value;
  if (error == std::errc()) {
    (void)std::from_chars(buffer, end, shortest);
  }
  return shortest;
}

void WriteJson(const nlohmann::json& value, std::ostream& out) {
  nlohmann::json rounded = value;
  RoundNumbers(rounded);
  // The version first, where a reader looks for it; the other keys in name order.
  nlohmann::ordered_json ordered;
  if (rounded.is_object() && rounded.contains("schemaVersion")) {
    ordered["schemaVersion"] = rounded["schemaVersion"];
    rounded.erase("schemaVersion");
    for (auto& [key, item] : rounded.items()) {
      ordered[key] = std::move(item);
    }
  } else {
    ordered = std::move(rounded);
  }
  out << ordered.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

}  // namespace symbols_tool
