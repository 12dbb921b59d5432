// A view of a scene, as passed along with selection changes.
#pragma once

#include "oxk/Object.h"

namespace oxk {

class View : public Object {
 protected:
  ~View() override = default;
};

}  // namespace oxk
