// Intrusive, thread-safe reference counting shared by every host and module object.
//
// Holders tag each reference with their own address (the owner), so that a debugging
// build of a host can tell who holds what; the count itself does not depend on the tag.
// Releasing the last reference follows one protocol (see ReleaseReference): the object
// gets a say through ZeroReferenceCountHook before it is destroyed.
#pragma once

#include <atomic>
#include <cstdint>

namespace util {

class RefCounted {
 public:
  RefCounted() noexcept = default;
  // A copy is a new object: it starts with no references.
  RefCounted(const RefCounted&) noexcept {}
  RefCounted& operator=(const RefCounted&) noexcept { return *this; }

  // Adds one reference on behalf of owner; returns the new count.
  int32_t AddReference(const void* /*owner*/) const noexcept {
    return m_count.fetch_add(1, std::memory_order_relaxed) + 1;
  }
  // Adds one reference unless none is left, that is unless the object is being destroyed;
  // for holders of a plain pointer that the object clears, under a lock they share, before
  // it goes. True when the reference was added.
  bool TryAddReference(const void* /*owner*/) const noexcept {
    int32_t count = m_count.load(std::memory_order_relaxed);
    while (count > 0) {
      if (m_count.compare_exchange_weak(count, count + 1, std::memory_order_acq_rel, std::memory_order_relaxed)) {
        return true;
      }
    }
    return false;
  }
  // Removes one reference on behalf of owner; returns the count left. Never destroys.
  int32_t RemoveReference(const void* /*owner*/) const noexcept {
    return m_count.fetch_sub(1, std::memory_order_acq_rel) - 1;
  }
  [[nodiscard]] int32_t GetReferenceCount() const noexcept;

  // Asked once the count has dropped to zero (with one reference added back for the
  // duration of the call). Returning false keeps the object alive: whoever refused now
  // owns that one reference. The default agrees.
  virtual bool ZeroReferenceCountHook();

  // The release protocol: remove owner's reference; at zero add one back, ask the hook,
  // and if it agrees remove it again and destroy the object when that leaves zero.
  // Returns true when the object was destroyed.
  static bool ReleaseReference(const RefCounted* object, const void* owner) noexcept {
    if (object == nullptr || object->RemoveReference(owner) != 0) {
      return false;
    }
    return ReleaseLast(object, owner);
  }

 protected:
  virtual ~RefCounted();

 private:
  // The part of the release protocol that runs at zero: the hook, then destruction.
  static bool ReleaseLast(const RefCounted* object, const void* owner) noexcept;

  mutable std::atomic<int32_t> m_count{0};
};

}  // namespace util
