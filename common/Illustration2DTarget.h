// Where annotations make their elements in a 2D illustration: the document of a 2D
// scene and the kernel factory that makes the elements (factory type 1, content version
// 4), as both the 2D symbol and the flattened symbol find them.
#pragma once

#include "orrinsymbols/oxk/Scene.h"
#include "orrinsymbols/oxk/illustration2d/BaseKernelFactory.h"
#include "orrinsymbols/oxk/illustration2d/Document2D.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxcommon {

struct Illustration2DTarget {
  util::SmartPtr<oxk::illustration2d::Document2D> document;
  util::SmartPtr<oxk::illustration2d::BaseKernelFactory> factory;

  // False (target left empty) when scene is not a 2D scene, or the 2D kernel, its
  // factory or the scene's document is missing.
  [[nodiscard]] static bool Find(const util::SmartPtr<oxk::Scene>& scene, Illustration2DTarget& target);
};

}  // namespace oxcommon
