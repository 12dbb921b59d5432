// Which of the three library files a catalogue entry or a file report belongs to. Entries
// keep the two flags their interface names; inside the catalogue one value says it.
// Internal to the catalogue and its tool; header only, nothing of it is exported.
#pragma once

#include "orrinsymbols/catalogue/PartslibraryItemBase.h"

namespace oxsymbols {

enum class LibraryOrigin { kShared, kStandard, kUser };

// A file read with both flags set counts as the shared library, as its folder does.
[[nodiscard]] inline LibraryOrigin OriginOf(bool isShared, bool isStandard) {
  if (isShared) {
    return LibraryOrigin::kShared;
  }
  return isStandard ? LibraryOrigin::kStandard : LibraryOrigin::kUser;
}

[[nodiscard]] inline LibraryOrigin OriginOf(const PartslibraryItemBase& item) {
  return OriginOf(item.IsShared(), item.IsStandard());
}

[[nodiscard]] inline bool IsSharedOrigin(LibraryOrigin origin) {
  return origin == LibraryOrigin::kShared;
}

[[nodiscard]] inline bool IsStandardOrigin(LibraryOrigin origin) {
  return origin == LibraryOrigin::kStandard;
}

// The library as people name it.
[[nodiscard]] inline const char* OriginName(LibraryOrigin origin) {
  switch (origin) {
    case LibraryOrigin::kShared:
      return "shared";
    case LibraryOrigin::kStandard:
      return "standard";
    case LibraryOrigin::kUser:
      return "user";
  }
  return "user";
}

}  // namespace oxsymbols
