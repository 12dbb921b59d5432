// The model tree of a world: finds instances by identifier path ("/1/4") in the primary
// structure of the world's container.
#pragma once

#include "oxk/Instance.h"
#include "oxk/MultiRootContainer.h"
#include "oxk/Object.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

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
