// A scene of the host: what an annotation attaches to. Every scene has a selection and
// the views that show it, view 0 first; it takes the annotations attached to it and the
// markups they draw with.
#pragma once

#include <cstddef>
#include <mutex>
#include <vector>

#include "orrinsymbols/oxk/AnnotationHolder.h"
#include "orrinsymbols/oxk/MarkupHolder.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/SelectionManager.h"
#include "orrinsymbols/oxk/View.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class Scene : public Object, public AnnotationHolder, public MarkupHolder {
 public:
  Scene() : m_selection(new SelectionManager()) {}

  bool GetSelectionManager(util::SmartPtr<SelectionManager>& out) const {
    out = m_selection;
    return static_cast<bool>(out);
  }

  // The view at index; empty when the scene has fewer views.
  [[nodiscard]] util::SmartPtr<View> GetView(size_t index) const {
    std::lock_guard<std::mutex> guard(m_viewsMutex);
    return index < m_views.size() ? m_views[index] : util::SmartPtr<View>();
  }
  void AddView(const util::SmartPtr<View>& view) {
    std::lock_guard<std::mutex> guard(m_viewsMutex);
    m_views.push_back(view);
  }

 protected:
  ~Scene() override = default;

 private:
  util::SmartPtr<SelectionManager> m_selection;
  mutable std::mutex m_viewsMutex;
  std::vector<util::SmartPtr<View>> m_views;
};

}  // namespace oxk
