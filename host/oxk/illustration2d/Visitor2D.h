// What a walk over a 2D document calls for each element, parents before children.
#pragma once

#include "orrinsymbols/oxk/illustration2d/Element2D.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk::illustration2d {

class Visitor2D {
 public:
  virtual ~Visitor2D() = default;
  virtual void VisitElement(const util::SmartPtr<Element2D>& element) = 0;
};

}  // namespace oxk::illustration2d
