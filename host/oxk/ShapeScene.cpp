#include "oxk/ShapeScene.h"

#include <algorithm>

#include "oxk/ComponentInstance.h"
#include "oxk/Kernel.h"
#include "oxk/ShapeInstance.h"

namespace oxk {

ShapeScene::~ShapeScene() {
  // Clear the back-pointers of everything that may outlive the scene.
  for (auto& [instance, shapes] : m_byInstance) {
    for (auto& shape : shapes) {
      shape->SetScene(nullptr);
    }
  }
  for (auto& observer : m_observers) {
    observer->SetSubject(nullptr);
  }
}

void ShapeScene::Add(const util::SmartPtr<ShapeInstance>& shapeInstance) {
  util::SmartPtr<Instance> instance;
  shapeInstance->GetInstance(instance);
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_byInstance[instance.get()].push_back(shapeInstance);
  }
  shapeInstance->SetScene(this);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceCreate(shapeInstance); });
}

util::SmartPtr<ShapeInstance> ShapeScene::CreateShapeInstance(const util::SmartPtr<Instance>& instance, bool visible,
                                                              const util::Symbol& /*name*/) {
  if (!instance) {
    return {};
  }
  util::SmartPtr<Shape> shape;
  util::SmartPtr<ComponentInstance> component;
  if (instance->GetComponentInstance(component)) {
    if (auto source = component->GetNode()->GetShapeSource()) {
      shape = source->GetShape();
    }
  }
  util::SmartPtr<ShapeInstance> created(new ShapeInstance(instance, shape));
  created->SetLocation(instance->GetWorldLocation(), false);
  created->SetVisibility(visible, false);
  Add(created);
  return created;
}

bool ShapeScene::GetShapeInstance(const util::SmartPtr<Instance>& instance, util::SmartPtr<ShapeInstance>& out) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  auto found = m_byInstance.find(instance.get());
  if (!instance || found == m_byInstance.end() || found->second.empty()) {
    out.Reset();
    return false;
  }
  out = found->second.front();
  return true;
}

bool ShapeScene::RemoveShapeInstance(const util::SmartPtr<ShapeInstance>& shapeInstance, bool /*silent*/,
                                     bool /*keep*/) {
  if (!shapeInstance) {
    return false;
  }
  util::SmartPtr<Instance> instance;
  shapeInstance->GetInstance(instance);
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto found = m_byInstance.find(instance.get());
    if (found == m_byInstance.end()) {
      return false;
    }
    auto& shapes = found->second;
    auto it = std::find(shapes.begin(), shapes.end(), shapeInstance);
    if (it == shapes.end()) {
      return false;
    }
    shapes.erase(it);
    if (shapes.empty()) {
      m_byInstance.erase(found);
    }
  }
  shapeInstance->SetScene(nullptr);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceRemove(shapeInstance); });
  return true;
}

bool ShapeScene::RecreateShapeInstance(const util::SmartPtr<ShapeInstance>& shapeInstance) {
  util::SmartPtr<ShapeScene> current;
  if (!shapeInstance || shapeInstance->GetShapeScene(current)) {
    return false;
  }
  Add(shapeInstance);
  return true;
}

std::vector<util::SmartPtr<ShapeInstance>> ShapeScene::GetShapeInstances() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  std::vector<util::SmartPtr<ShapeInstance>> all;
  for (const auto& [instance, shapes] : m_byInstance) {
    all.insert(all.end(), shapes.begin(), shapes.end());
  }
  return all;
}

void ShapeScene::GetMemberSet(const util::SmartPtr<Instance>& instance,
                              std::vector<util::SmartPtr<Instance>>& members) const {
  members.clear();
  if (!instance) {
    return;
  }
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  std::vector<util::SmartPtr<Instance>> pending{instance};
  while (!pending.empty()) {
    util::SmartPtr<Instance> next = pending.back();
    pending.pop_back();
    members.push_back(next);
    util::SmartPtr<ComponentInstance> component;
    if (!next->GetComponentInstance(component)) {
      continue;
    }
    const auto children = component->GetNode()->GetChildren();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
      pending.emplace_back(child->get());
    }
  }
}

geo::Location ShapeScene::GetInstanceLocation(const util::SmartPtr<Instance>& instance) const {
  return instance ? instance->GetWorldLocation() : geo::Location::IDENTITY;
}

bool ShapeScene::RegisterObserver(const util::SmartPtr<ShapeSceneObserver>& observer, int32_t /*flags*/, bool manage) {
  if (!observer) {
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) {
      return false;
    }
    m_observers.push_back(observer);
  }
  observer->SetSubject(this);
  if (manage) {
    Kernel::GetKernel()->ManageObject(util::SmartPtr<objm::ManagedObject>(observer.get()));
  }
  return true;
}

void ShapeScene::DetachObserver(Observer* observer) {
  util::SmartPtr<ShapeSceneObserver> released;
  std::lock_guard<std::mutex> guard(m_mutex);
  auto it = std::find_if(m_observers.begin(), m_observers.end(),
                         [&](const util::SmartPtr<ShapeSceneObserver>& o) { return o.get() == observer; });
  if (it != m_observers.end()) {
    released = *it;
    m_observers.erase(it);
  }
}

size_t ShapeScene::GetObserverCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_observers.size();
}

void ShapeScene::Notify(const std::function<void(ShapeSceneObserver&)>& call) {
  std::vector<util::SmartPtr<ShapeSceneObserver>> observers;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    observers = m_observers;
  }
  for (const auto& observer : observers) {
    observer->OnBeginUpdate(this);
    call(*observer);
    observer->OnEndUpdate(this);
  }
}

void ShapeScene::NotifyVisibility(ShapeInstance* shapeInstance, bool visible) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceVisibility(shape, visible); });
}

void ShapeScene::NotifyLocation(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceLocation(shape); });
}

void ShapeScene::NotifyAppearance(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceAppearance(shape); });
}

void ShapeScene::NotifySelection(ShapeInstance* shapeInstance, bool selected) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceSelection(shape, selected); });
}

}  // namespace oxk
