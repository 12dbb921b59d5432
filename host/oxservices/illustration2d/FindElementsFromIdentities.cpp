#include "oxservices/illustration2d/FindElementsFromIdentities.h"

namespace oxservices::illustration2d {

void FindElementsFromIdentities::VisitElement(const util::SmartPtr<oxk::illustration2d::Element2D>& element) {
  if (!element || (element->GetTypeBits() & m_skipTypes) != 0) {
    return;
  }
  const oxk::illustration2d::Identity2D identity = element->GetIdentity();
  for (const auto& wanted : m_identities) {
    if (m_predicate(identity, wanted)) {
      m_found.push_back(element);
      return;
    }
  }
}

void FindElementsFromIdentities::TakeElements(std::vector<util::SmartPtr<oxk::illustration2d::Element2D>>& out) {
  out.insert(out.end(), m_found.begin(), m_found.end());
  m_found.clear();
}

}  // namespace oxservices::illustration2d
