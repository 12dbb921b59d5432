// The few host settings the catalogue reads (illustration base folder, shared cache
// folder, shared-library switch) and the separator rule for stored locations.
#pragma once

#include <string>

namespace oxsymbols::detail {

// The illustration preferences' base folder; false when the host has no preferences.
bool GetIllustrationBaseUrl(std::string& base);
// The per-user shared cache preferences folder (empty when none is configured).
[[nodiscard]] std::string GetSharedCacheFolder();
// Whether the host's world has the shared library switched on.
[[nodiscard]] bool IsSharedLibraryInUse();
// A location given to a fresh FileSpec and read back whole.
[[nodiscard]] std::string NormalisedLocation(const std::string& location);
// Stored locations use forward slashes whatever the platform wrote.
void NormaliseSlashes(std::string& text);

}  // namespace oxsymbols::detail
