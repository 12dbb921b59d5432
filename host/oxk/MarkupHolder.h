// What holds markups for drawing (a scene): each markup once, in the order handed over.
#pragma once

#include <mutex>
#include <vector>

#include "orrinsymbols/oxk/Markup.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class MarkupHolder : public virtual util::RefCounted {
 public:
  // False when markup is empty or held already.
  virtual bool AddMarkup(const util::SmartPtr<Markup>& markup);
  // False when markup is not held.
  virtual bool RemoveMarkup(const util::SmartPtr<Markup>& markup);
  [[nodiscard]] std::vector<util::SmartPtr<Markup>> GetMarkups() const;

 protected:
  ~MarkupHolder() override;

 private:
  mutable std::mutex m_markupsMutex;
  std::vector<util::SmartPtr<Markup>> m_markups;
};

}  // namespace oxk
