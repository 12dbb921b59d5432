#include "oxk/ComponentNode.h"

#include <algorithm>

#include "oxk/ComponentInstance.h"

namespace oxk {

std::recursive_mutex& ComponentNode::TreeMutex() {
  static std::recursive_mutex* mutex = new std::recursive_mutex();
  return *mutex;
}

ComponentNode::ComponentNode(util::Symbol name) : m_name(name) {}

ComponentNode::~ComponentNode() {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  for (const auto& child : m_children) {
    child->m_parent = nullptr;
    child->m_node->m_owner = nullptr;
  }
}

void ComponentNode::SetShapeSource(const util::SmartPtr<ShapeSource>& source) {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  m_source = source;
}

util::SmartPtr<ShapeSource> ComponentNode::GetShapeSource() const {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  return m_source;
}

bool ComponentNode::AddChild(const util::SmartPtr<ComponentNode>& child, const util::Symbol& id,
                             util::SmartPtr<ComponentInstance>& out) {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  if (!child || child->m_owner != nullptr || child.get() == this || m_byId.count(id) != 0) {
    return false;
  }
  util::SmartPtr<ComponentInstance> instance(new ComponentInstance(child, id, this));
  child->m_owner = instance.get();
  m_byId[id] = instance.get();
  m_children.push_back(instance);
  out = instance;
  return true;
}

bool ComponentNode::RemoveChild(const util::SmartPtr<ComponentInstance>& child) {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  auto found = std::find(m_children.begin(), m_children.end(), child);
  if (found == m_children.end()) {
    return false;
  }
  m_byId.erase(child->m_id);
  child->m_parent = nullptr;
  child->m_node->m_owner = nullptr;
  m_children.erase(found);
  return true;
}

util::SmartPtr<ComponentInstance> ComponentNode::FindChild(const util::Symbol& id) const {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  auto found = m_byId.find(id);
  return util::SmartPtr<ComponentInstance>(found == m_byId.end() ? nullptr : found->second);
}

std::vector<util::SmartPtr<ComponentInstance>> ComponentNode::GetChildren() const {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  return m_children;
}

bool ComponentNode::HasChildren() const {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  return !m_children.empty();
}

ComponentInstance* ComponentNode::GetOwner() const {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  return m_owner;
}

util::Symbol ComponentInstance::GetIdPath() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  std::vector<const ComponentInstance*> chain;
  for (const ComponentInstance* at = this; at != nullptr; at = at->m_parent ? at->m_parent->m_owner : nullptr) {
    chain.push_back(at);
  }
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path += '/';
    path += (*it)->m_id.str();
  }
  return util::Symbol(path);
}

util::Symbol ComponentInstance::GetName() const {
  return m_node->GetName();
}

bool ComponentInstance::GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const {
  out = util::SmartPtr<ComponentInstance>(const_cast<ComponentInstance*>(this));
  return true;
}

geo::Location ComponentInstance::GetLocation() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  return m_location;
}

void ComponentInstance::SetLocation(const geo::Location& location, bool /*notify*/) {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  m_location = location;
}

geo::Location ComponentInstance::GetWorldLocation() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  geo::Location world = m_location;
  for (const ComponentInstance* at = m_parent ? m_parent->m_owner : nullptr; at != nullptr;
       at = at->m_parent ? at->m_parent->m_owner : nullptr) {
    world = at->m_location * world;
  }
  return world;
}

ComponentNode* ComponentInstance::GetParentNode() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  return m_parent;
}

}  // namespace oxk
