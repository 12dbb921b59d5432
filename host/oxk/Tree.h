// The model tree of a world: finds instances by identifier path ("/1/4") in the primary
// structure of the world's container.
#pragma once

#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/oxk/MultiRootContainer.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class Tree : public Object {
 public:
  explicit Tree(const util::SmartPtr<MultiRootContainer>& container) : m_container(container) {}

  // Empty when path does not start with "/" or names no instance.
  [[nodiscard]] util::SmartPtr<Instance> FindInstance(const util::Symbol& path) const;

 protected:
  ~Tree() override = default;

 private:
  util::SmartPtr<MultiRootContainer> m_container;
};

}  // namespace oxk
