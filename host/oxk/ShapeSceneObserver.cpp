#include "oxk/ShapeSceneObserver.h"

#include "oxk/ShapeScene.h"

namespace oxk {

void ShapeSceneObserver::FollowOnly(const std::vector<util::Symbol>& paths) {
  // Under the registration's lock: the scene cannot let go of this observer meanwhile.
  VisitSubject([&](ObserverSubject* subject) {
    if (auto* scene = dynamic_cast<ShapeScene*>(subject)) {
      scene->FollowOnly(this, paths);
    }
  });
}

void ShapeSceneObserver::FollowAll() noexcept {
  try {
    VisitSubject([&](ObserverSubject* subject) {
      if (auto* scene = dynamic_cast<ShapeScene*>(subject)) {
        scene->FollowAll(this);
      }
    });
  } catch (...) {
    // Only a broken lock throws here; the registration stays as it was.
  }
}

}  // namespace oxk
