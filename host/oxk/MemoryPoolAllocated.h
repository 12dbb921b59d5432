// Base that routes a class's new and delete through the annotation memory pool.
// The nothrow form yields null when the pool refuses.
#pragma once

#include <cstddef>
#include <new>

#include "orrinsymbols/oxk/MemoryPool.h"

namespace oxk {

class MemoryPoolAllocated {
 public:
  static void* operator new(std::size_t size) {
    void* block = MemoryPool::Annotations().Allocate(size);
    if (block == nullptr) {
      throw std::bad_alloc();
    }
    return block;
  }
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return MemoryPool::Annotations().Allocate(size);
  }
  static void operator delete(void* block) noexcept { MemoryPool::Annotations().Free(block); }
  static void operator delete(void* block, const std::nothrow_t&) noexcept { MemoryPool::Annotations().Free(block); }
};

}  // namespace oxk
