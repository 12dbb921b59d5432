#include "oxkapp/illustration/OrbisFileInfo.h"

#include <charconv>
#include <string>
#include <string_view>

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
    const int candidate = m_next++;
    if (m_reserved.count(candidate) != 0) {
      continue;
    }
    const std::string number = std::to_string(candidate);
    if (!root || (!root->FindChild(util::Symbol(number)) &&
                  !root->FindChild(util::Symbol(oxk::Instance::s_content_symbolPrefix.str() + number)))) {
      return util::Symbol(number);
    }
  }
}

void OrbisFileInfo::ReserveStructureId(const util::Symbol& id) {
  std::string_view text = id.view();
  if (!text.empty() && text.front() == '/') {
    text.remove_prefix(1);
  }
  const std::string& prefix = oxk::Instance::s_content_symbolPrefix.str();
  if (text.substr(0, prefix.size()) == prefix) {
    text.remove_prefix(prefix.size());
  }
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (!text.empty() && error == std::errc() && end == text.data() + text.size() && number > 0) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_reserved.insert(number);
  }
}

void OrbisFileInfo::ForgetContainer() {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_container = nullptr;
}

}  // namespace oxkapp::illustration
