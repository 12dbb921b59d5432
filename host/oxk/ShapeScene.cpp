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
  for (const auto& observer : *m_observers) {
    observer->SetSubject(nullptr);
  }
}

std::shared_ptr<const ShapeScene::ObserverList> ShapeScene::Observers() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_observers;
}

template <class Call>
void ShapeScene::Notify(const Call& call) {
  // One look under the lock for both: notifications are the scene's most frequent call.
  std::shared_ptr<const ObserverList> observers;
  bool inUpdate = false;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    observers = m_observers;
    inUpdate = m_updateDepth.count(std::this_thread::get_id()) != 0;
  }
  if (inUpdate) {
    for (const auto& observer : *observers) {
      call(*observer);
    }
    return;
  }
  for (const auto& observer : *observers) {
    observer->OnBeginUpdate(this);
    call(*observer);
    observer->OnEndUpdate(this);
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

util::SmartPtr<Instance> ShapeScene::GetStandInInstance(const util::SmartPtr<Instance>& instance) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  auto found = m_standIns.find(instance.get());
  return found == m_standIns.end() ? util::SmartPtr<Instance>() : found->second.standIn;
}

void ShapeScene::SetStandIn(const util::SmartPtr<Instance>& instance, const util::SmartPtr<Instance>& standIn) {
  StandIn previous;
  std::lock_guard<std::mutex> guard(m_mutex);
  auto found = m_standIns.find(instance.get());
  if (found != m_standIns.end()) {
    previous = std::move(found->second);
    m_standIns.erase(found);
  }
  if (instance && standIn) {
    m_standIns.emplace(instance.get(), StandIn{instance, standIn});
  }
}

geo::Location ShapeScene::GetInstanceLocation(const util::SmartPtr<Instance>& instance) const {
  return instance ? instance->GetWorldLocation() : geo::Location::IDENTITY;
}

void ShapeScene::UpdateInstanceLocation(const util::SmartPtr<Instance>& instance) {
  if (!instance) {
    return;
  }
  std::vector<util::SmartPtr<ShapeInstance>> shapes;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto found = m_byInstance.find(instance.get());
    if (found == m_byInstance.end()) {
      return;
    }
    shapes = found->second;
  }
  const geo::Location placed = instance->GetWorldLocation();
  for (const auto& shape : shapes) {
    shape->SetLocation(placed, true);
  }
}

void ShapeScene::BeginUpdate() {
  bool first = false;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    first = ++m_updateDepth[std::this_thread::get_id()] == 1;
  }
  if (first) {
    for (const auto& observer : *Observers()) {
      observer->OnBeginUpdate(this);
    }
  }
}

void ShapeScene::EndUpdate() {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto found = m_updateDepth.find(std::this_thread::get_id());
    if (found == m_updateDepth.end()) {
      return;  // unbalanced: nothing to end
    }
    if (--found->second > 0) {
      return;
    }
    m_updateDepth.erase(found);
  }
  for (const auto& observer : *Observers()) {
    observer->OnEndUpdate(this);
  }
}

void ShapeScene::Clear() {
  BeginUpdate();
  for (const auto& shape : GetShapeInstances()) {
    RemoveShapeInstance(shape, false, false);
  }
  EndUpdate();
  const auto observers = Observers();
  for (const auto& observer : *observers) {
    observer->OnSceneClear(this);
    if (!observer->StaysOnSceneClear()) {
      observer->Unregister();
    }
  }
}

void ShapeScene::PostEvent(int32_t eventId) {
  for (const auto& observer : *Observers()) {
    observer->EventHandler(this, eventId);
  }
}

bool ShapeScene::RegisterObserver(const util::SmartPtr<ShapeSceneObserver>& observer, int32_t /*flags*/, bool manage) {
  if (!observer) {
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (std::find(m_observers->begin(), m_observers->end(), observer) != m_observers->end()) {
      return false;
    }
    auto grown = std::make_shared<ObserverList>(*m_observers);
    grown->push_back(observer);
    m_observers = std::move(grown);
  }
  observer->SetSubject(this);
  if (manage) {
    Kernel::GetKernel()->ManageObject(util::SmartPtr<objm::ManagedObject>(observer.get()));
  }
  return true;
}

void ShapeScene::DetachObserver(Observer* observer) {
  // The old list goes after the lock is released: it may hold the last reference.
  std::shared_ptr<const ObserverList> previous;
  std::lock_guard<std::mutex> guard(m_mutex);
  auto it = std::find_if(m_observers->begin(), m_observers->end(),
                         [&](const util::SmartPtr<ShapeSceneObserver>& o) { return o.get() == observer; });
  if (it == m_observers->end()) {
    return;
  }
  auto shrunk = std::make_shared<ObserverList>();
  shrunk->reserve(m_observers->size() - 1);
  shrunk->insert(shrunk->end(), m_observers->begin(), it);
  shrunk->insert(shrunk->end(), it + 1, m_observers->end());
  previous = std::move(m_observers);
  m_observers = std::move(shrunk);
}

size_t ShapeScene::GetObserverCount() const {
  return Observers()->size();
}

void ShapeScene::NotifyVisibility(ShapeInstance* shapeInstance, bool visible) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceVisibility(shape, visible); });
}

void ShapeScene::NotifyHighlight(ShapeInstance* shapeInstance, bool on) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceHighlight(shape, on); });
}

void ShapeScene::NotifyLocation(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceLocation(shape); });
}

void ShapeScene::NotifyAppearance(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceAppearance(shape); });
}

void ShapeScene::NotifyColor(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceColor(shape); });
}

void ShapeScene::NotifyTransparency(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceTransparency(shape); });
}

void ShapeScene::NotifySelection(ShapeInstance* shapeInstance, bool selected) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify([&](ShapeSceneObserver& o) { o.OnShapeInstanceSelection(shape, selected); });
}

}  // namespace oxk
