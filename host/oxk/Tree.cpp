#include "oxk/Tree.h"

#include "oxk/ComponentInstance.h"

namespace oxk {

util::SmartPtr<Instance> Tree::FindInstance(const util::Symbol& path) const {
  const std::string_view text = path.view();
  if (text.size() < 2 || text[0] != '/') {
    return {};
  }
  util::SmartPtr<Structure> structure;
  util::SmartPtr<ComponentNode> node;
  if (!m_container || !m_container->GetPrimaryStructure(structure) || !structure->GetRoot(node)) {
    return {};
  }
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  util::SmartPtr<ComponentInstance> instance;
  size_t start = 1;
  while (start <= text.size()) {
    size_t end = text.find('/', start);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    instance = node->FindChild(util::Symbol(text.substr(start, end - start)));
    if (!instance) {
      return {};
    }
    node = instance->GetNode();
    start = end + 1;
  }
  return instance;
}

}  // namespace oxk
