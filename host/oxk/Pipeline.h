// The scene kernel's drawing pipeline, handed to annotations when a view is flattened.
#pragma once

#include "orrinsymbols/geo/Pipeline.h"

namespace oxk {

class Pipeline : public geo::Pipeline {
 public:
  using geo::Pipeline::Pipeline;
};

}  // namespace oxk
