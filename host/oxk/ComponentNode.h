// A node of a model structure: a name, an optional shape source, and placed children
// (component instances) by identifier. A node is placed at most once; its owner
// instance is a plain back-pointer cleared when the node is taken out.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/ShapeSource.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class ComponentInstance;

class ComponentNode : public Object {
 public:
  explicit ComponentNode(util::Symbol name);

  [[nodiscard]] const util::Symbol& GetName() const { return m_name; }
  void SetShapeSource(const util::SmartPtr<ShapeSource>& source);
  [[nodiscard]] util::SmartPtr<ShapeSource> GetShapeSource() const;

  // Places child under this node as id. False when id is taken here or child is placed
  // elsewhere already.
  bool AddChild(const util::SmartPtr<ComponentNode>& child, const util::Symbol& id,
                util::SmartPtr<ComponentInstance>& out);
  // Takes a placed child out; false when it is not a child of this node.
  bool RemoveChild(const util::SmartPtr<ComponentInstance>& child);
  [[nodiscard]] util::SmartPtr<ComponentInstance> FindChild(const util::Symbol& id) const;
  [[nodiscard]] std::vector<util::SmartPtr<ComponentInstance>> GetChildren() const;
  [[nodiscard]] bool HasChildren() const;
  // The instance that places this node; null for a root or an unplaced node.
  [[nodiscard]] ComponentInstance* GetOwner() const;

  // Guards every change and walk of model structures.
  static std::recursive_mutex& TreeMutex();
  // Counts changes of placement (children added or taken out) in every structure; it
  // starts at 1 and only grows.
  [[nodiscard]] static uint64_t StructureGeneration();

 protected:
  ~ComponentNode() override;

 private:
  friend class ComponentInstance;
  static std::atomic<uint64_t> s_generation;

  util::Symbol m_name;
  util::SmartPtr<ShapeSource> m_source;
  std::vector<util::SmartPtr<ComponentInstance>> m_children;
  std::unordered_map<util::Symbol, ComponentInstance*> m_byId;
  ComponentInstance* m_owner = nullptr;
};

}  // namespace oxk
