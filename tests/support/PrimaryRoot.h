// The root node of a world's primary structure, where tests add nodes of their own.
#pragma once

#include "oxk/ComponentNode.h"
#include "oxk/World.h"
#include "util/SmartPtr.h"

namespace testsupport {

[[nodiscard]] inline util::SmartPtr<oxk::ComponentNode> PrimaryRoot(const util::SmartPtr<oxk::World>& world) {
  util::SmartPtr<oxk::MultiRootContainer> container;
  util::SmartPtr<oxk::Structure> structure;
  util::SmartPtr<oxk::ComponentNode> root;
  if (world && world->GetMultiRootContainer(container) && container->GetPrimaryStructure(structure)) {
    structure->GetRoot(root);
  }
  return root;
}

}  // namespace testsupport
