// A view of a scene: what the user looks through. Shape views add a camera.
#pragma once

#include "orrinsymbols/oxk/Object.h"

namespace oxk {

class View : public Object {
 protected:
  ~View() override = default;
};

}  // namespace oxk
