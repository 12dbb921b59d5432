// A component node placed under a parent node with an identifier and a location: the
// tree instance the rest of the system addresses by path.
#pragma once

#include <atomic>
#include <cstdint>

#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/ComponentNode.h"
#include "orrinsymbols/oxk/Instance.h"

namespace oxk {

class ComponentInstance : public Instance {
 public:
  // Kept until the structure changes, so that scene observers comparing paths on every
  // notification do not build them anew.
  [[nodiscard]] util::Symbol GetIdPath() const override;
  [[nodiscard]] util::Symbol GetName() const override;
  [[nodiscard]] bool HasChildren() const override;
  bool GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const override;
  // The instance itself and every instance placed below it, depth first.
  void GetMemberSet(std::vector<util::SmartPtr<BaseInstance>>& members) const override;
  // The box of the node's shape source.
  bool GetShapeSourceBBox(geo::FBox& box) const override;
  [[nodiscard]] geo::Location GetWorldLocation() const override;

  [[nodiscard]] const util::Symbol& GetId() const { return m_id; }
  [[nodiscard]] geo::Location GetLocation() const;
  // With notify, the shape instances of this instance and of every instance below it,
  // in every scene of the current world, move to their new placements and their scenes
  // tell their observers.
  void SetLocation(const geo::Location& location, bool notify);
  [[nodiscard]] const util::SmartPtr<ComponentNode>& GetNode() const { return m_node; }
  // The node this instance is placed under; null once taken out.
  [[nodiscard]] ComponentNode* GetParentNode() const;

 protected:
  ~ComponentInstance() override = default;

 private:
  friend class ComponentNode;
  ComponentInstance(const util::SmartPtr<ComponentNode>& node, const util::Symbol& id, ComponentNode* parent)
      : m_node(node), m_id(id), m_parent(parent) {}

  util::SmartPtr<ComponentNode> m_node;
  util::Symbol m_id;
  ComponentNode* m_parent;
  geo::Location m_location;
  // The path and the structure generation it was built in.
  mutable std::atomic<util::Symbol> m_path{util::Symbol()};
  mutable std::atomic<uint64_t> m_pathGeneration{0};
};

}  // namespace oxk
