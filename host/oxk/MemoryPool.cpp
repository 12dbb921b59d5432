#include "oxk/MemoryPool.h"

#include <cstddef>
#include <cstdlib>

namespace oxk {
namespace {
// Keeps the user part aligned for any type.
constexpr size_t kHeader = alignof(std::max_align_t);
std::atomic<MemoryPool::RefuseHook> g_refuseHook{nullptr};
}  // namespace

void MemoryPool::SetRefuseHook(RefuseHook hook) noexcept {
  g_refuseHook.store(hook);
}

// Constant-initialised: the first use allocates nothing (it may come from inside a
// nothrow new, which must not throw), and there is nothing to destroy at exit.
MemoryPool& MemoryPool::Annotations() {
  static constinit MemoryPool pool;
  return pool;
}

MemoryPool& MemoryPool::Geometry() {
  static constinit MemoryPool pool;
  return pool;
}

void* MemoryPool::Allocate(size_t size) noexcept {
  if (const RefuseHook refuse = g_refuseHook.load(); refuse != nullptr && refuse()) {
    return nullptr;
  }
  const size_t limit = m_limit.load();
  const size_t before = m_liveBytes.fetch_add(size);
  if (limit != 0 && before + size > limit) {
    m_liveBytes.fetch_sub(size);
    return nullptr;
  }
  // A header in front of each block remembers its size for Free.
  auto* block = static_cast<unsigned char*>(std::malloc(kHeader + size));
  if (block == nullptr) {
    m_liveBytes.fetch_sub(size);
    return nullptr;
  }
  *reinterpret_cast<size_t*>(block) = size;
  m_liveObjects.fetch_add(1);
  return block + kHeader;
}

void MemoryPool::Free(void* user) noexcept {
  if (user == nullptr) {
    return;
  }
  auto* block = static_cast<unsigned char*>(user) - kHeader;
  const size_t size = *reinterpret_cast<size_t*>(block);
  std::free(block);
  m_liveBytes.fetch_sub(size);
  m_liveObjects.fetch_sub(1);
}

}  // namespace oxk
