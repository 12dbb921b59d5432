// The shape scene of an illustration: a shape scene that also holds the illustration's
// SBOM tree, when the illustration has one.
#pragma once

#include <mutex>

#include "orrinsymbols/oxk/ShapeScene.h"
#include "orrinsymbols/oxk/illustration/SbomTree.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk::illustration {

class Illustration3dScene : public ShapeScene {
 public:
  Illustration3dScene() = default;

  // Empty when the illustration has no SBOM.
  [[nodiscard]] util::SmartPtr<SbomTree> GetSbomTree() const;
  void SetSbomTree(const util::SmartPtr<SbomTree>& tree);

 protected:
  ~Illustration3dScene() override = default;

 private:
  mutable std::mutex m_sbomMutex;
  util::SmartPtr<SbomTree> m_sbomTree;
};

}  // namespace oxk::illustration
