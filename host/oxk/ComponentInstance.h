// A component node placed under a parent node with an identifier and a location: the
// tree instance the rest of the system addresses by path.
#pragma once

#include "geo/Location.h"
#include "oxk/ComponentNode.h"
#include "oxk/Instance.h"

namespace oxk {

class ComponentInstance : public Instance {
 public:
  [[nodiscard]] util::Symbol GetIdPath() const override;
  [[nodiscard]] util::Symbol GetName() const override;
  bool GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const override;
  [[nodiscard]] geo::Location GetWorldLocation() const override;

  [[nodiscard]] const util::Symbol& GetId() const { return m_id; }
  [[nodiscard]] geo::Location GetLocation() const;
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
};

}  // namespace oxk
