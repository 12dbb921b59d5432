// How many bytes of decoded pictures one document may hold: the loader charges each
// picture it decodes against the budget in force before it allocates the pixels, and
// refuses the picture when the budget would be exceeded. Charges are never given back,
// so the budget bounds everything decoded for the document while it is open. Safe to
// charge from any thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "util/RefCounted.h"

namespace oxloader {

class ImageBudget : public util::RefCounted {
 public:
  explicit ImageBudget(uint64_t limit) : m_limit(limit) {}
  ImageBudget(const ImageBudget&) = delete;
  ImageBudget& operator=(const ImageBudget&) = delete;

  // Adds bytes to what is used; false (nothing added) when that would pass the limit.
  [[nodiscard]] bool Charge(uint64_t bytes) {
    uint64_t used = m_used.load(std::memory_order_relaxed);
    do {
      if (bytes > m_limit || used > m_limit - bytes) {
        return false;
      }
    } while (!m_used.compare_exchange_weak(used, used + bytes, std::memory_order_relaxed));
    return true;
  }
  [[nodiscard]] uint64_t GetUsed() const { return m_used.load(std::memory_order_relaxed); }
  [[nodiscard]] uint64_t GetLimit() const { return m_limit; }

 protected:
  ~ImageBudget() override = default;

 private:
  const uint64_t m_limit;
  std::atomic<uint64_t> m_used{0};
};

}  // namespace oxloader
