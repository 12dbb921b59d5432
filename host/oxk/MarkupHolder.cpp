#include "oxk/MarkupHolder.h"

#include <algorithm>

namespace oxk {

MarkupHolder::~MarkupHolder() = default;

bool MarkupHolder::AddMarkup(const util::SmartPtr<Markup>& markup) {
  if (!markup) {
    return false;
  }
  std::lock_guard<std::mutex> guard(m_markupsMutex);
  if (std::find(m_markups.begin(), m_markups.end(), markup) != m_markups.end()) {
    return false;
  }
  m_markups.push_back(markup);
  return true;
}

bool MarkupHolder::RemoveMarkup(const util::SmartPtr<Markup>& markup) {
  util::SmartPtr<Markup> removed;
  std::lock_guard<std::mutex> guard(m_markupsMutex);
  const auto found = std::find(m_markups.begin(), m_markups.end(), markup);
  if (found == m_markups.end()) {
    return false;
  }
  removed = *found;
  m_markups.erase(found);
  return true;
}

std::vector<util::SmartPtr<Markup>> MarkupHolder::GetMarkups() const {
  std::lock_guard<std::mutex> guard(m_markupsMutex);
  return m_markups;
}

}  // namespace oxk
