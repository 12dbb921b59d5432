#include "util/RefCounted.h"

namespace util {

RefCounted::~RefCounted() = default;

int32_t RefCounted::GetReferenceCount() const noexcept {
  return m_count.load(std::memory_order_acquire);
}

bool RefCounted::ZeroReferenceCountHook() {
  return true;
}

bool RefCounted::ReleaseLast(const RefCounted* object, const void* owner) noexcept {
  object->AddReference(owner);
  bool agreed = true;
  try {
    agreed = const_cast<RefCounted*>(object)->ZeroReferenceCountHook();
  } catch (...) {
    // A hook that throws cannot be trusted to have taken ownership; destroy as usual.
    agreed = true;
  }
  if (!agreed) {
    return false;
  }
  if (object->RemoveReference(owner) != 0) {
    return false;
  }
  delete object;
  return true;
}

}  // namespace util
