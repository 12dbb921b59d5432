// Process-wide numbering of user-data kinds: the same symbol always gets the same id.
#pragma once

#include <cstdint>

#include "orrinsymbols/util/Symbol.h"

namespace util {

class UserData {
 public:
  // Ids start at 1 and are handed out in order of first request; thread-safe.
  [[nodiscard]] static int32_t GetId(const Symbol& kind);
};

}  // namespace util
