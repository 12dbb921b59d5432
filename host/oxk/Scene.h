// A scene of the host: what an annotation attaches to. Every scene has a selection.
// Shape scenes derive from it.
#pragma once

#include "oxk/Object.h"
#include "oxk/SelectionManager.h"
#include "util/SmartPtr.h"

namespace oxk {

class Scene : public Object {
 public:
  Scene() : m_selection(new SelectionManager()) {}

  bool GetSelectionManager(util::SmartPtr<SelectionManager>& out) const {
    out = m_selection;
    return static_cast<bool>(out);
  }

 protected:
  ~Scene() override = default;

 private:
  util::SmartPtr<SelectionManager> m_selection;
};

}  // namespace oxk
