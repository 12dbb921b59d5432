// An observer of a scene: told when the scene begins and ends an update.
#pragma once

#include "oxk/Observer.h"

namespace oxk {

class Scene;

class SceneObserver : public Observer {
 public:
  virtual void OnBeginUpdate(Scene* /*scene*/) {}
  virtual void OnEndUpdate(Scene* /*scene*/) {}

 protected:
  ~SceneObserver() override = default;
};

}  // namespace oxk
