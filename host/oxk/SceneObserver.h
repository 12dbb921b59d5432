// An observer of a scene: told about scene-wide events, about the scene being cleared,
// and when the scene begins and ends an update.
#pragma once

#include <cstdint>

#include "orrinsymbols/oxk/Observer.h"

namespace oxk {

class Scene;

class SceneObserver : public Observer {
 public:
  // A scene-wide event posted with ShapeScene::PostEvent.
  virtual void EventHandler(Scene* /*scene*/, int32_t /*eventId*/) {}
  // Asked after the scene dropped every shape instance: true keeps this observer
  // registered, false (the default) lets the scene unregister it.
  [[nodiscard]] virtual bool StaysOnSceneClear() const { return false; }
  // Told after the scene dropped every shape instance.
  virtual void OnSceneClear(Scene* /*scene*/) {}
  virtual void OnBeginUpdate(Scene* /*scene*/) {}
  virtual void OnEndUpdate(Scene* /*scene*/) {}

 protected:
  ~SceneObserver() override = default;
};

}  // namespace oxk
