// One model structure: a root node, the nodes made in it, and the anchor of the file it
// was opened from.
#pragma once

#include "orrinsymbols/oxk/Anchor.h"
#include "orrinsymbols/oxk/ComponentNode.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class Structure : public Object {
 public:
  Structure() : m_root(new ComponentNode(util::Symbol("root"))) {}

  bool GetRoot(util::SmartPtr<ComponentNode>& out) const {
    out = m_root;
    return true;
  }
  // A new, unplaced node of this structure.
  bool CreateComponentNode(const util::Symbol& name, int32_t /*flags*/, util::SmartPtr<ComponentNode>& out) {
    out = util::SmartPtr<ComponentNode>(new ComponentNode(name));
    return true;
  }
  bool GetAnchor(util::SmartPtr<Anchor>& out) const {
    out = m_anchor;
    return static_cast<bool>(out);
  }
  void SetAnchor(const util::SmartPtr<Anchor>& anchor) { m_anchor = anchor; }

 protected:
  ~Structure() override = default;

 private:
  util::SmartPtr<ComponentNode> m_root;
  util::SmartPtr<Anchor> m_anchor;
};

}  // namespace oxk
