// A node instance of the model tree (a part or assembly as placed in the model).
#pragma once

#include "oxk/Object.h"

namespace oxk {

class Instance : public Object {
 protected:
  ~Instance() override = default;
};

}  // namespace oxk
