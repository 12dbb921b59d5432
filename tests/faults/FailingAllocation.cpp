#include "faults/FailingAllocation.h"

#include <execinfo.h>

#include <cstdlib>
#include <new>

#include "oxk/MemoryPool.h"

namespace faulttest {
namespace {

// Plain thread-locals: reading them allocates nothing.
thread_local long t_countdown = 0;  // allocations until the failing one; 0 when not armed
thread_local bool t_fired = false;
constexpr int kMaxFrames = 48;
thread_local void* t_frames[kMaxFrames];
thread_local int t_frameCount = 0;

bool FailNow() noexcept {
  if (t_countdown <= 0 || --t_countdown != 0) {
    return false;
  }
  t_fired = true;
  t_frameCount = ::backtrace(t_frames, kMaxFrames);
  return true;
}

void* Allocate(std::size_t size) noexcept {
  return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
  const auto align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
  return std::aligned_alloc(align, rounded == 0 ? align : rounded);
}

}  // namespace

FailingAllocation::FailingAllocation(long n) {
  // The first call of backtrace loads what it needs; not while armed.
  static const int warm = ::backtrace(t_frames, 1);
  (void)warm;
  t_fired = false;
  t_countdown = n;
  oxk::MemoryPool::SetRefuseHook(&FailNow);
}

FailingAllocation::~FailingAllocation() {
  oxk::MemoryPool::SetRefuseHook(nullptr);
  t_countdown = 0;
}

bool FailingAllocation::Fired() {
  return t_fired;
}

void FailingAllocation::PrintWhereItFailed() {
  ::backtrace_symbols_fd(t_frames, t_frameCount, 2);
}

}  // namespace faulttest

// The replaceable allocation functions, all of them, so that no other definition is
// linked in beside these.

void* operator new(std::size_t size) {
  void* block = faulttest::FailNow() ? nullptr : faulttest::Allocate(size);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  return block;
}

void* operator new[](std::size_t size) {
  return ::operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
  return faulttest::FailNow() ? nullptr : faulttest::Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, tag);
}

void* operator new(std::size_t size, std::align_val_t alignment) {
  void* block = faulttest::FailNow() ? nullptr : faulttest::AllocateAligned(size, alignment);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  return block;
}

void* operator new[](std::size_t size, std::align_val_t alignment) {
  return ::operator new(size, alignment);
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t& /*tag*/) noexcept {
  return faulttest::FailNow() ? nullptr : faulttest::AllocateAligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, alignment, tag);
}

void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete[](void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, const std::nothrow_t& /*tag*/) noexcept {
  std::free(block);
}

void operator delete[](void* block, const std::nothrow_t& /*tag*/) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t /*size*/) noexcept {
  std::free(block);
}

void operator delete[](void* block, std::size_t /*size*/) noexcept {
  std::free(block);
}

void operator delete(void* block, std::align_val_t /*alignment*/) noexcept {
  std::free(block);
}

void operator delete[](void* block, std::align_val_t /*alignment*/) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
  std::free(block);
}

void operator delete[](void* block, std::size_t /*size*/, std::align_val_t /*alignment*/) noexcept {
  std::free(block);
}

void operator delete(void* block, std::align_val_t /*alignment*/, const std::nothrow_t& /*tag*/) noexcept {
  std::free(block);
}

void operator delete[](void* block, std::align_val_t /*alignment*/, const std::nothrow_t& /*tag*/) noexcept {
  std::free(block);
}
