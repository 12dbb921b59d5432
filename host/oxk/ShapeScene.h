// A scene that shows the shapes of model instances.
#pragma once

#include "oxk/Scene.h"

namespace oxk {

class ShapeScene : public Scene {
 protected:
  ~ShapeScene() override = default;
};

}  // namespace oxk
