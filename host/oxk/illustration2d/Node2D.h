// A node of a 2D document's tree: children in drawing order (first drawn first) and a
// plain pointer to the parent, which the parent clears when it lets go of the child.
#pragma once

#include <mutex>
#include <vector>

#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk::illustration2d {

class Node2D : public util::RefCounted {
 public:
  Node2D() = default;
  Node2D(const Node2D&) = delete;
  Node2D& operator=(const Node2D&) = delete;

  // Makes child the last child. False when child is empty, already has a parent, or is
  // this node or one of its ancestors.
  bool AppendChild(const util::SmartPtr<Node2D>& child);
  // False when child is not a child of this node.
  bool RemoveChild(const util::SmartPtr<Node2D>& child);
  [[nodiscard]] std::vector<util::SmartPtr<Node2D>> GetChildren() const;
  [[nodiscard]] Node2D* GetParent() const;

 protected:
  ~Node2D() override;

 private:
  mutable std::mutex m_mutex;
  Node2D* m_parent = nullptr;
  std::vector<util::SmartPtr<Node2D>> m_children;
};

}  // namespace oxk::illustration2d
