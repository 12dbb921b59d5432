#include "oxk/illustration/SbomInstance.h"

#include "oxk/ComponentNode.h"

namespace oxk::illustration {

bool SbomInstance::HasChildren() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  return !m_children.empty();
}

std::vector<util::SmartPtr<SbomInstance>> SbomInstance::GetChildren() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  return m_children;
}

bool SbomInstance::GetEbomInstancesForWeld(std::vector<util::SmartPtr<Instance>>& parts,
                                           std::vector<util::SmartPtr<SbomInstance>>& items) const {
  items = GetChildren();
  parts.clear();
  for (const auto& item : items) {
    if (item->m_ebom) {
      parts.push_back(item->m_ebom);
    }
  }
  return !parts.empty();
}

}  // namespace oxk::illustration
