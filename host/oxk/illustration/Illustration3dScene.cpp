#include "oxk/illustration/Illustration3dScene.h"

namespace oxk::illustration {

util::SmartPtr<SbomTree> Illustration3dScene::GetSbomTree() const {
  std::lock_guard<std::mutex> guard(m_sbomMutex);
  return m_sbomTree;
}

void Illustration3dScene::SetSbomTree(const util::SmartPtr<SbomTree>& tree) {
  util::SmartPtr<SbomTree> previous;
  std::lock_guard<std::mutex> guard(m_sbomMutex);
  previous = m_sbomTree;
  m_sbomTree = tree;
}

}  // namespace oxk::illustration
