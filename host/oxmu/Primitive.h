// A drawing primitive that a markup's content yields: what a view draws for it.
#pragma once

#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/util/RefCounted.h"

namespace oxmu {

class Primitive : public util::RefCounted {
 public:
  // Where the primitive's own coordinates are placed in the model.
  [[nodiscard]] const geo::Location& GetLocation() const { return m_location; }
  void SetLocation(const geo::Location& location) { m_location = location; }

 protected:
  Primitive() = default;
  ~Primitive() override = default;

 private:
  geo::Location m_location;
};

}  // namespace oxmu
