// When two 2D identities name the same thing: the same annotation identifier path and
// at least one element type bit in common.
#pragma once

#include "orrinsymbols/oxk/illustration2d/Identity2D.h"

namespace oxservices::illustration2d {

class Identity2DEqualityPredicate {
 public:
  [[nodiscard]] bool operator()(const oxk::illustration2d::Identity2D& a,
                                const oxk::illustration2d::Identity2D& b) const {
    return a.GetAnnoIDPath() == b.GetAnnoIDPath() && (a.GetType() & b.GetType()) != 0;
  }
};

}  // namespace oxservices::illustration2d
