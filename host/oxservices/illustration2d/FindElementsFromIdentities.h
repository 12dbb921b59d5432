// A search over a 2D document (pass it to Document2D::Accept): it collects the elements
// whose identity the predicate finds equal to one of the given identities. Elements
// with a type bit in skipTypes are passed over (0 skips nothing).
#pragma once

#include <cstdint>
#include <vector>

#include "orrinsymbols/oxk/illustration2d/Element2D.h"
#include "orrinsymbols/oxk/illustration2d/Identity2D.h"
#include "orrinsymbols/oxk/illustration2d/Visitor2D.h"
#include "orrinsymbols/oxservices/illustration2d/Identity2DEqualityPredicate.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxservices::illustration2d {

class FindElementsFromIdentities : public oxk::illustration2d::Visitor2D {
 public:
  FindElementsFromIdentities(std::vector<oxk::illustration2d::Identity2D> identities,
                             const Identity2DEqualityPredicate& predicate, uint32_t skipTypes)
      : m_identities(std::move(identities)), m_predicate(predicate), m_skipTypes(skipTypes) {}

  void VisitElement(const util::SmartPtr<oxk::illustration2d::Element2D>& element) override;

  // Hands the elements found so far to out (appended, in document order) and forgets them.
  void TakeElements(std::vector<util::SmartPtr<oxk::illustration2d::Element2D>>& out);

 private:
  std::vector<oxk::illustration2d::Identity2D> m_identities;
  Identity2DEqualityPredicate m_predicate;
  uint32_t m_skipTypes;
  std::vector<util::SmartPtr<oxk::illustration2d::Element2D>> m_found;
};

}  // namespace oxservices::illustration2d
