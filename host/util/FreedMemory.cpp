#include "util/FreedMemory.h"

#include <malloc.h>

namespace util {

void FreedMemory::ReturnToSystem() noexcept {
  (void)::malloc_trim(0);
}

}  // namespace util
