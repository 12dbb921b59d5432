#include "symbol3d/ShapeSceneObserver.h"

namespace oxannotations {

util::Symbol ShapeSceneObserver::GetObjectClass() {
  static const util::Symbol name("oxannotations::ShapeSceneObserver");
  return name;
}

}  // namespace oxannotations
