// The one shape of the tool's JSON answers: an object with an integer schemaVersion and
// the command's data under named keys, keys in camelCase, numbers as short as reads back
// the same (no binary noise such as 0.30000000000000004). The schema of each answer is
// written down in docs/schemas.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

namespace symbols_tool {

// Frozen for a shape of the answers: scripts compare it, and it grows by one when a key
// changes meaning or goes away (new keys leave it as it is).
constexpr int kJsonSchemaVersion = 1;

// {"schemaVersion": kJsonSchemaVersion}, to which a command adds its keys.
[[nodiscard]] nlohmann::json JsonAnswer();

// A single-precision value as the double its shortest decimal form names: 0.1f becomes
// 0.1, not 0.10000000149011612.
[[nodiscard]] double JsonNumber(float value);

// Writes the value, indented, on its own lines. Every real number is written with at
// most 15 significant digits, so sums such as 0.1 + 0.2 print as 0.3, and invalid UTF-8
// in library texts becomes U+FFFD instead of failing.
void WriteJson(const nlohmann::json& value, std::ostream& out);

}  // namespace symbols_tool
