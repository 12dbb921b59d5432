#include "oxk/illustration/SbomTree.h"

#include <string>

#include "oxk/ComponentNode.h"
#include "oxk/illustration/WeldInstance.h"

namespace oxk::illustration {

SbomTree::~SbomTree() {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  for (const auto& [path, item] : m_byPath) {
    if (item->m_ebom) {
      item->m_ebom->m_sbomInstance.store(nullptr, std::memory_order_release);
    }
  }
}

bool SbomTree::AddInstance(const util::SmartPtr<SbomInstance>& parent, const util::Symbol& id,
                           const util::SmartPtr<Instance>& ebom, util::SmartPtr<SbomInstance>& out) {
  out.Reset();
  if (id.empty() || id.view().find('/') != std::string_view::npos) {
    return false;
  }
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  if (parent) {
    auto found = m_byPath.find(parent->m_path);
    if (found == m_byPath.end() || found->second != parent || !dynamic_cast<WeldInstance*>(parent->m_ebom.get())) {
      return false;
    }
  }
  std::string path = parent ? parent->m_path.str() : std::string();
  path += '/';
  path += id.view();
  const util::Symbol itemPath(path);
  if (m_byPath.count(itemPath) != 0 || (ebom && ebom->m_sbomInstance.load() != nullptr)) {
    return false;
  }
  util::SmartPtr<Instance> standsFor = ebom;
  if (!standsFor) {
    standsFor = util::SmartPtr<Instance>(new WeldInstance(itemPath, id));
  }
  util::SmartPtr<SbomInstance> item(new SbomInstance(id, itemPath, standsFor));
  standsFor->m_sbomInstance.store(item.get(), std::memory_order_release);
  m_byPath.emplace(itemPath, item);
  (parent ? parent->m_children : m_top).push_back(item);
  out = item;
  return true;
}

util::SmartPtr<SbomInstance> SbomTree::FindInstance(const util::Symbol& path) const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  auto found = m_byPath.find(path);
  return found == m_byPath.end() ? util::SmartPtr<SbomInstance>() : found->second;
}

std::vector<util::SmartPtr<SbomInstance>> SbomTree::GetTopLevelInstances() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  return m_top;
}

size_t SbomTree::GetInstanceCount() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  return m_byPath.size();
}

}  // namespace oxk::illustration
