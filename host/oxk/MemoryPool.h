// Accounting allocator behind the host's pooled objects: counts live objects and bytes
// and refuses allocations beyond an optional limit, so hosts can cap what annotations
// and geometry take and tests can exercise out-of-memory paths.
#pragma once

#include <atomic>
#include <cstddef>

namespace oxk {

class MemoryPool {
 public:
  // The pool of annotations and scene objects, and the pool of geometry (materials,
  // appearances).
  static MemoryPool& Annotations();
  static MemoryPool& Geometry();

  // Null when the limit would be exceeded or the system has no memory.
  [[nodiscard]] void* Allocate(size_t size) noexcept;
  // Takes back a block from Allocate; the pool remembers its size.
  void Free(void* block) noexcept;

  // A process-wide hook asked before every allocation of either pool; when it answers
  // true the allocation is refused as if memory had run out. For fault-injection tests:
  // null (the default) asks nothing.
  using RefuseHook = bool (*)() noexcept;
  static void SetRefuseHook(RefuseHook hook) noexcept;

  // Bytes the pool may hand out at once; 0 means no limit.
  void SetLimit(size_t bytes) noexcept { m_limit.store(bytes); }
  [[nodiscard]] size_t GetLiveBytes() const noexcept { return m_liveBytes.load(); }
  [[nodiscard]] size_t GetLiveObjects() const noexcept { return m_liveObjects.load(); }

 private:
  std::atomic<size_t> m_limit{0};
  std::atomic<size_t> m_liveBytes{0};
  std::atomic<size_t> m_liveObjects{0};
};

}  // namespace oxk
