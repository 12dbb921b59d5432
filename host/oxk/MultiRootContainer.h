// The world's container of model structures; the primary one holds the opened model.
#pragma once

#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/Structure.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class MultiRootContainer : public Object {
 public:
  MultiRootContainer() : m_primary(new Structure()) {}

  bool GetPrimaryStructure(util::SmartPtr<Structure>& out) const {
    out = m_primary;
    return static_cast<bool>(out);
  }

 protected:
  ~MultiRootContainer() override = default;

 private:
  util::SmartPtr<Structure> m_primary;
};

}  // namespace oxk
