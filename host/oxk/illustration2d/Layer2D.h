// A layer of a 2D document: a named set that elements are put on, shown or hidden as
// a whole.
#pragma once

#include <atomic>

#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk::illustration2d {

class Layer2D : public util::RefCounted {
 public:
  explicit Layer2D(const util::Symbol& name) : m_name(name) {}

  [[nodiscard]] const util::Symbol& GetName() const { return m_name; }
  [[nodiscard]] bool IsVisible() const { return m_visible.load(); }
  void SetVisible(bool visible) { m_visible.store(visible); }

 protected:
  ~Layer2D() override = default;

 private:
  const util::Symbol m_name;
  std::atomic<bool> m_visible{true};
};

}  // namespace oxk::illustration2d
