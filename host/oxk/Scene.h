// A scene of the host: what an annotation attaches to. Shape scenes derive from it.
#pragma once

#include "oxk/Object.h"

namespace oxk {

class Scene : public Object {
 public:
  Scene() = default;

 protected:
  ~Scene() override = default;
};

}  // namespace oxk
