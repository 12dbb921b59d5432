#include "catalogue/PartslibraryCategoryItem.h"

#include <algorithm>

namespace oxsymbols {

bool PartslibraryCategoryItem::RemoveChild(int id) {
  auto found = std::find_if(m_children.begin(), m_children.end(), [id](const util::SmartPtr<PartslibraryItem>& child) {
    return child && child->GetID() == id;
  });
  if (found == m_children.end()) {
    return false;
  }
  m_children.erase(found);
  return true;
}

}  // namespace oxsymbols
