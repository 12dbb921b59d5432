#include "oxkapp/illustration/OrbisFileInfo.h"

#include <string>

#include "oxk/ComponentInstance.h"
#include "oxk/MultiRootContainer.h"

namespace oxkapp::illustration {

util::Symbol OrbisFileInfo::GetNextStructureId() {
  std::lock_guard<std::mutex> guard(m_mutex);
  util::SmartPtr<oxk::ComponentNode> root;
  util::SmartPtr<oxk::Structure> structure;
  if (m_container != nullptr && m_container->GetPrimaryStructure(structure)) {
    structure->GetRoot(root);
  }
  for (;;) {
    const std::string number = std::to_string(m_next++);
    if (!root || (!root->FindChild(util::Symbol(number)) &&
                  !root->FindChild(util::Symbol(oxk::Instance::s_content_symbolPrefix.str() + number)))) {
      return util::Symbol(number);
    }
  }
}

void OrbisFileInfo::ForgetContainer() {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_container = nullptr;
}

}  // namespace oxkapp::illustration
