// Base that routes a class's new and delete through the geometry memory pool.
#pragma once

#include <cstddef>
#include <new>

#include "orrinsymbols/oxk/MemoryPool.h"

namespace oxg {

class GeometryPoolAllocated {
 public:
  static void* operator new(std::size_t size) {
    void* block = oxk::MemoryPool::Geometry().Allocate(size);
    if (block == nullptr) {
      throw std::bad_alloc();
    }
    return block;
  }
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return oxk::MemoryPool::Geometry().Allocate(size);
  }
  static void operator delete(void* block) noexcept { oxk::MemoryPool::Geometry().Free(block); }
  static void operator delete(void* block, const std::nothrow_t&) noexcept { oxk::MemoryPool::Geometry().Free(block); }
};

}  // namespace oxg
