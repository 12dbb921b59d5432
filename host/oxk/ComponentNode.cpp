#include "oxk/ComponentNode.h"

#include <algorithm>

#include "oxk/ComponentInstance.h"
#include "oxk/ShapeScene.h"
#include "oxk/World.h"

namespace oxk {

std::recursive_mutex& ComponentNode::TreeMutex() {
  static std::recursive_mutex* mutex = new std::recursive_mutex();
  return *mutex;
}

std::atomic<uint64_t> ComponentNode::s_generation{1};

uint64_t ComponentNode::StructureGeneration() {
  return s_generation.load(std::memory_order_acquire);
}

ComponentNode::ComponentNode(util::Symbol name) : m_name(name) {}

ComponentNode::~ComponentNode() {
  std::lock_guard<std::recursive_mutex> guard(TreeMutex());
  for (const auto& child : m_children) {
    child->m_parent = nullptr;
    child->m_node->m_owner = nullptr;
  }
  if (!m_children.empty()) {
    s_generation.fetch_add(1, std::memory_order_acq_rel);
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
  s_generation.fetch_add(1, std::memory_order_acq_rel);
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
  s_generation.fetch_add(1, std::memory_order_acq_rel);
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
  if (m_pathGeneration.load(std::memory_order_acquire) == ComponentNode::StructureGeneration()) {
    return m_path.load(std::memory_order_acquire);
  }
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  // Changes happen under this lock, so the generation read here matches the path built.
  const uint64_t generation = ComponentNode::StructureGeneration();
  std::vector<const ComponentInstance*> chain;
  for (const ComponentInstance* at = this; at != nullptr; at = at->m_parent ? at->m_parent->m_owner : nullptr) {
    chain.push_back(at);
  }
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path += '/';
    path += (*it)->m_id.view();
  }
  const util::Symbol built(path);
  m_path.store(built, std::memory_order_release);
  m_pathGeneration.store(generation, std::memory_order_release);
  return built;
}

util::Symbol ComponentInstance::GetName() const {
  return m_node->GetName();
}

bool ComponentInstance::HasChildren() const {
  return m_node->HasChildren();
}

void ComponentInstance::GetMemberSet(std::vector<util::SmartPtr<BaseInstance>>& members) const {
  members.clear();
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  std::vector<const ComponentInstance*> pending{this};
  while (!pending.empty()) {
    const ComponentInstance* next = pending.back();
    pending.pop_back();
    members.emplace_back(const_cast<ComponentInstance*>(next));
    const auto& children = next->m_node->m_children;
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
      pending.push_back(child->get());
    }
  }
}

bool ComponentInstance::GetShapeSourceBBox(geo::FBox& box) const {
  const util::SmartPtr<ShapeSource> source = m_node->GetShapeSource();
  box = source ? source->GetBBox() : geo::FBox::EMPTY;
  return static_cast<bool>(source);
}

bool ComponentInstance::GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const {
  out = util::SmartPtr<ComponentInstance>(const_cast<ComponentInstance*>(this));
  return true;
}

geo::Location ComponentInstance::GetLocation() const {
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  return m_location;
}

void ComponentInstance::SetLocation(const geo::Location& location, bool notify) {
  {
    std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
    m_location = location;
  }
  util::SmartPtr<World> world;
  if (!notify || !World::GetWorld(world)) {
    return;
  }
  std::vector<util::SmartPtr<Scene>> scenes;
  world->GetScenes(scenes);
  std::vector<util::SmartPtr<BaseInstance>> moved;
  GetMemberSet(moved);
  // Scenes are told outside the tree lock: their observers may look at the tree.
  for (const auto& scene : scenes) {
    auto* shapes = dynamic_cast<ShapeScene*>(scene.get());
    if (shapes == nullptr) {
      continue;
    }
    for (const auto& each : moved) {
      shapes->UpdateInstanceLocation(util::SmartPtr<Instance>(static_cast<Instance*>(each.get())));
    }
  }
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
