// Owning pointer to a RefCounted object: one reference per non-empty pointer.
//
// Assignment takes the new reference before releasing the old one, so assigning a
// pointer to itself (or to another pointer to the same object) is safe.
#pragma once

#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

#include "orrinsymbols/util/RefCounted.h"

namespace util {

template <class T>
class SmartPtr {
 public:
  using element_type = T;

  SmartPtr() noexcept = default;
  SmartPtr(std::nullptr_t) noexcept {}
  SmartPtr(T* object) noexcept : m_object(object) { Acquire(); }
  SmartPtr(const SmartPtr& other) noexcept : m_object(other.m_object) { Acquire(); }
  SmartPtr(SmartPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  SmartPtr(const SmartPtr<U>& other) noexcept : m_object(other.get()) {
    Acquire();
  }
  ~SmartPtr() { Release(); }

  SmartPtr& operator=(const SmartPtr& other) noexcept {
    Reset(other.m_object);
    return *this;
  }
  SmartPtr& operator=(SmartPtr&& other) noexcept {
    if (this != &other) {
      T* taken = std::exchange(other.m_object, nullptr);
      Release();
      m_object = taken;
    }
    return *this;
  }
  SmartPtr& operator=(T* object) noexcept {
    Reset(object);
    return *this;
  }
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  SmartPtr& operator=(const SmartPtr<U>& other) noexcept {
    Reset(other.get());
    return *this;
  }

  // Points at object (may be null): new reference first, then the old one is released.
  void Reset(T* object = nullptr) noexcept {
    if (object == m_object) {
      return;
    }
    if (object != nullptr) {
      static_cast<const RefCounted*>(object)->AddReference(this);
    }
    T* old = std::exchange(m_object, object);
    if (old != nullptr) {
      RefCounted::ReleaseReference(static_cast<const RefCounted*>(old), this);
    }
  }

  [[nodiscard]] T* get() const noexcept { return m_object; }
  T* operator->() const noexcept { return m_object; }
  T& operator*() const noexcept { return *m_object; }
  explicit operator bool() const noexcept { return m_object != nullptr; }

  template <class U>
  bool operator==(const SmartPtr<U>& other) const noexcept {
    return m_object == other.get();
  }
  bool operator==(const T* object) const noexcept { return m_object == object; }
  bool operator==(std::nullptr_t) const noexcept { return m_object == nullptr; }
  template <class U>
  bool operator<(const SmartPtr<U>& other) const noexcept {
    return std::less<const void*>()(m_object, other.get());
  }

 private:
  void Acquire() noexcept {
    if (m_object != nullptr) {
      static_cast<const RefCounted*>(m_object)->AddReference(this);
    }
  }
  void Release() noexcept {
    T* old = std::exchange(m_object, nullptr);
    if (old != nullptr) {
      RefCounted::ReleaseReference(static_cast<const RefCounted*>(old), this);
    }
  }

  T* m_object = nullptr;
};

// Downcast that keeps the count right; empty when object is not a U.
template <class U, class T>
SmartPtr<U> DynamicCast(const SmartPtr<T>& object) {
  return SmartPtr<U>(dynamic_cast<U*>(object.get()));
}

}  // namespace util

template <class T>
struct std::hash<util::SmartPtr<T>> {
  size_t operator()(const util::SmartPtr<T>& p) const noexcept { return std::hash<const void*>()(p.get()); }
};
