#include "util/FreedMemory.h"

#include <malloc.h>

#include <atomic>

namespace util {

namespace {

std::atomic<bool> g_returning{true};

}  // namespace

void FreedMemory::ReturnToSystem() noexcept {
  if (g_returning.load(std::memory_order_relaxed)) {
    (void)::malloc_trim(0);
  }
}

void FreedMemory::SetReturning(bool on) noexcept {
  g_returning.store(on, std::memory_order_relaxed);
}

}  // namespace util
