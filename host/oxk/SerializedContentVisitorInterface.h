// What a walk over serialized content calls: one handler per property type, and a
// pair of calls around each child element.
#pragma once

#include <cstdint>

#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/geo/Quaternion.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class SerializedContentVisitorInterface {
 public:
  virtual ~SerializedContentVisitorInterface() = default;

  // Return false to skip the child's content.
  virtual bool StartElement(const util::Symbol& name) = 0;
  virtual void EndElement(const util::Symbol& /*name*/) {}

  virtual void VisitSymbol(const util::Symbol& key, const util::Symbol& value) = 0;
  virtual void VisitBool(const util::Symbol& key, bool value) = 0;
  virtual void VisitInt(const util::Symbol& key, int32_t value) = 0;
  virtual void VisitFloat(const util::Symbol& key, float value) = 0;
  virtual void VisitColor(const util::Symbol& key, const geo::Color& value) = 0;
  virtual void VisitPoint(const util::Symbol& key, const geo::DPoint3D& value) = 0;
  virtual void VisitVector(const util::Symbol& key, const geo::DVec3& value) = 0;
  virtual void VisitQuaternion(const util::Symbol& key, const geo::Quaternion<float>& value) = 0;
  virtual void VisitLocation(const util::Symbol& key, const geo::Location& value) = 0;
};

}  // namespace oxk
