// The 3D symbol's watcher of its shape scene. It reports to its annotation through a
// plain back-pointer, which the annotation clears when it lets the observer go; every
// callback after that does nothing.
#pragma once

#include <atomic>

#include "oxk/ShapeSceneObserver.h"
#include "util/Symbol.h"

namespace oxannotations {

class SymbolAnnotation;

class ShapeSceneObserver : public oxk::ShapeSceneObserver {
 public:
  explicit ShapeSceneObserver(SymbolAnnotation* owner) : annotation(owner) {}

  [[nodiscard]] static util::Symbol GetObjectClass();
  // Called by the annotation when it drops the observer.
  void ClearAnnotation() { annotation.store(nullptr); }
  [[nodiscard]] SymbolAnnotation* GetAnnotation() const { return annotation.load(); }

 protected:
  ~ShapeSceneObserver() override = default;

 private:
  std::atomic<SymbolAnnotation*> annotation;
};

}  // namespace oxannotations
