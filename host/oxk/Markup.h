// A markup: a 2D or 3D drawing that an annotation controls (stamps, callouts).
#pragma once

#include "geo/Location.h"
#include "oxk/Object.h"

namespace oxk {

class Markup : public Object {
 public:
  [[nodiscard]] const geo::Location& GetLocation() const { return m_location; }
  void SetLocation(const geo::Location& location) { m_location = location; }

 protected:
  ~Markup() override = default;

 private:
  geo::Location m_location;
};

}  // namespace oxk
