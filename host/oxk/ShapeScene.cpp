#include "oxk/ShapeScene.h"

#include <algorithm>

#include "oxk/ComponentInstance.h"
#include "oxk/Kernel.h"
#include "oxk/ShapeInstance.h"
#include "oxk/illustration/SbomInstance.h"

namespace oxk {

ShapeScene::~ShapeScene() {
  // Clear the back-pointers of everything that may outlive the scene.
  for (auto& [instance, shapes] : m_byInstance) {
    for (auto& shape : shapes) {
      shape->SetScene(nullptr);
    }
  }
  for (const auto& [order, registration] : m_registrations) {
    registration.observer->SetSubject(nullptr);
  }
}

ShapeScene::ObserverList ShapeScene::Observers() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  ObserverList observers;
  observers.reserve(m_registrations.size());
  for (const auto& [order, registration] : m_registrations) {
    observers.push_back(registration.observer);
  }
  return observers;
}

namespace {

// The paths by which observers follow a shape instance: its instance's, and its SBOM
// item's when it has one.
std::vector<util::Symbol> FollowedPathsOf(const ShapeInstance& shapeInstance) {
  std::vector<util::Symbol> paths;
  const util::SmartPtr<Instance>& instance = shapeInstance.GetInstance();
  if (!instance) {
    return paths;
  }
  paths.push_back(instance->GetIdPath());
  util::SmartPtr<illustration::SbomInstance> item;
  if (instance->GetSbomInstance(item) && item) {
    paths.push_back(item->GetIdPath());
  }
  return paths;
}

}  // namespace

ShapeScene::ObserverList ShapeScene::HearingAll() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  ObserverList observers;
  observers.reserve(m_hearingAll.size());
  for (const uint64_t order : m_hearingAll) {
    observers.push_back(m_registrations.at(order).observer);
  }
  return observers;
}

std::vector<ShapeScene::Concerned> ShapeScene::ObserversOf(const ShapeInstance& shapeInstance, bool& inUpdate) {
  const std::vector<util::Symbol> paths = FollowedPathsOf(shapeInstance);
  std::vector<uint64_t> orders;
  std::vector<Concerned> concerned;
  // One look under the lock for all: notifications are the scene's most frequent call.
  std::lock_guard<std::mutex> guard(m_mutex);
  const auto update = m_updates.find(std::this_thread::get_id());
  inUpdate = update != m_updates.end();
  orders.assign(m_hearingAll.begin(), m_hearingAll.end());
  size_t sorted = orders.size();
  for (const util::Symbol& path : paths) {
    const auto followers = m_followers.find(path);
    if (followers == m_followers.end()) {
      continue;
    }
    orders.insert(orders.end(), followers->second.begin(), followers->second.end());
    std::inplace_merge(orders.begin(), orders.begin() + static_cast<ptrdiff_t>(sorted), orders.end());
    sorted = orders.size();
  }
  orders.erase(std::unique(orders.begin(), orders.end()), orders.end());
  concerned.reserve(orders.size());
  for (const uint64_t order : orders) {
    const Registration& registration = m_registrations.at(order);
    // A narrowed observer hears of the update with the first change of it that it hears.
    const bool begins = inUpdate && registration.narrowed && update->second.reached.insert(order).second;
    concerned.push_back({registration.observer, begins});
  }
  return concerned;
}

template <class Call>
void ShapeScene::Notify(const ShapeInstance& shapeInstance, const Call& call) {
  bool inUpdate = false;
  const std::vector<Concerned> observers = ObserversOf(shapeInstance, inUpdate);
  if (inUpdate) {
    for (const Concerned& concerned : observers) {
      if (concerned.beginsUpdate) {
        concerned.observer->OnBeginUpdate(this);
      }
      call(*concerned.observer);
    }
    return;
  }
  for (const Concerned& concerned : observers) {
    concerned.observer->OnBeginUpdate(this);
    call(*concerned.observer);
    concerned.observer->OnEndUpdate(this);
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
  Notify(*shapeInstance, [&](ShapeSceneObserver& o) { o.OnShapeInstanceCreate(shapeInstance); });
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
  Notify(*shapeInstance, [&](ShapeSceneObserver& o) { o.OnShapeInstanceRemove(shapeInstance); });
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
    first = ++m_updates[std::this_thread::get_id()].depth == 1;
  }
  if (first) {
    for (const auto& observer : HearingAll()) {
      observer->OnBeginUpdate(this);
    }
  }
}

void ShapeScene::EndUpdate() {
  ObserverList ending;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto found = m_updates.find(std::this_thread::get_id());
    if (found == m_updates.end()) {
      return;  // unbalanced: nothing to end
    }
    if (--found->second.depth > 0) {
      return;
    }
    // Those hearing everything, and the narrowed ones the update reached that are still
    // here, in the order they registered.
    std::set<uint64_t> orders = std::move(found->second.reached);
    m_updates.erase(found);
    orders.insert(m_hearingAll.begin(), m_hearingAll.end());
    ending.reserve(orders.size());
    for (const uint64_t order : orders) {
      const auto registration = m_registrations.find(order);
      if (registration != m_registrations.end()) {
        ending.push_back(registration->second.observer);
      }
    }
  }
  for (const auto& observer : ending) {
    observer->OnEndUpdate(this);
  }
}

void ShapeScene::Clear() {
  BeginUpdate();
  for (const auto& shape : GetShapeInstances()) {
    RemoveShapeInstance(shape, false, false);
  }
  EndUpdate();
  for (const auto& observer : Observers()) {
    observer->OnSceneClear(this);
    if (!observer->StaysOnSceneClear()) {
      observer->Unregister();
    }
  }
}

void ShapeScene::PostEvent(int32_t eventId) {
  for (const auto& observer : Observers()) {
    observer->EventHandler(this, eventId);
  }
}

bool ShapeScene::RegisterObserver(const util::SmartPtr<ShapeSceneObserver>& observer, int32_t /*flags*/, bool manage) {
  if (!observer) {
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_orderOf.count(observer.get()) != 0) {
      return false;
    }
    // All three or none: a registration half made would be heard by some calls only.
    const uint64_t order = m_nextOrder;
    const auto made = m_registrations.emplace(order, Registration{observer, false, {}, {}}).first;
    try {
      m_orderOf.emplace(observer.get(), order);
      try {
        m_hearingAll.insert(order);
      } catch (...) {
        m_orderOf.erase(observer.get());
        throw;
      }
    } catch (...) {
      m_registrations.erase(made);
      throw;
    }
    ++m_nextOrder;
  }
  observer->SetSubject(this);
  if (manage) {
    Kernel::GetKernel()->ManageObject(util::SmartPtr<objm::ManagedObject>(observer.get()));
  }
  return true;
}

void ShapeScene::Unfollow(uint64_t order, const Registration& registration) {
  if (!registration.narrowed) {
    m_hearingAll.erase(order);
    return;
  }
  for (const util::Symbol& path : registration.followed) {
    RemoveFollower(path, order);
  }
}

void ShapeScene::DetachObserver(Observer* observer) {
  // The registration goes after the lock is released: it may hold the last reference.
  Registration removed;
  std::lock_guard<std::mutex> guard(m_mutex);
  const auto found = m_orderOf.find(observer);
  if (found == m_orderOf.end()) {
    return;
  }
  const uint64_t order = found->second;
  const auto registration = m_registrations.find(order);
  Unfollow(order, registration->second);
  removed = std::move(registration->second);
  m_registrations.erase(registration);
  m_orderOf.erase(found);
}

void ShapeScene::FollowOnly(const Observer* observer, const std::vector<util::Symbol>& paths) {
  std::lock_guard<std::mutex> guard(m_mutex);
  const auto found = m_orderOf.find(observer);
  if (found == m_orderOf.end()) {
    return;
  }
  const uint64_t order = found->second;
  Registration& registration = m_registrations.at(order);
  std::vector<util::Symbol> next;
  std::vector<util::Symbol> added;
  try {
    next = paths;
    std::sort(next.begin(), next.end());
    next.erase(std::unique(next.begin(), next.end()), next.end());
    // The new paths first, so that the observer misses nothing meanwhile.
    added.reserve(next.size());
    for (const util::Symbol& path : next) {
      if (m_followers[path].insert(order).second) {
        added.push_back(path);
      }
    }
  } catch (...) {
    // Memory ran short: the observer hears about every shape instance, which is more than
    // it asked for but never less. Nothing below allocates.
    for (const util::Symbol& path : added) {
      RemoveFollower(path, order);
    }
    HearAll(order, registration);
    return;
  }
  // Then what it no longer follows; nothing below allocates.
  if (!registration.narrowed) {
    registration.hearingAll = m_hearingAll.extract(order);
  } else {
    for (const util::Symbol& path : registration.followed) {
      if (!std::binary_search(next.begin(), next.end(), path)) {
        RemoveFollower(path, order);
      }
    }
  }
  registration.narrowed = true;
  registration.followed.swap(next);
}

void ShapeScene::FollowAll(const Observer* observer) noexcept {
  std::lock_guard<std::mutex> guard(m_mutex);
  const auto found = m_orderOf.find(observer);
  if (found != m_orderOf.end()) {
    HearAll(found->second, m_registrations.at(found->second));
  }
}

void ShapeScene::HearAll(uint64_t order, Registration& registration) noexcept {
  if (!registration.narrowed) {
    return;
  }
  for (const util::Symbol& path : registration.followed) {
    RemoveFollower(path, order);
  }
  registration.followed.clear();
  registration.narrowed = false;
  m_hearingAll.insert(std::move(registration.hearingAll));  // its own node: nothing allocated
}

void ShapeScene::RemoveFollower(const util::Symbol& path, uint64_t order) {
  const auto followers = m_followers.find(path);
  if (followers != m_followers.end() && followers->second.erase(order) != 0 && followers->second.empty()) {
    m_followers.erase(followers);
  }
}

size_t ShapeScene::GetObserverCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_registrations.size();
}

void ShapeScene::NotifyVisibility(ShapeInstance* shapeInstance, bool visible) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify(*shape, [&](ShapeSceneObserver& o) { o.OnShapeInstanceVisibility(shape, visible); });
}

void ShapeScene::NotifyHighlight(ShapeInstance* shapeInstance, bool on) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify(*shape, [&](ShapeSceneObserver& o) { o.OnShapeInstanceHighlight(shape, on); });
}

void ShapeScene::NotifyLocation(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify(*shape, [&](ShapeSceneObserver& o) { o.OnShapeInstanceLocation(shape); });
}

void ShapeScene::NotifyAppearance(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify(*shape, [&](ShapeSceneObserver& o) { o.OnShapeInstanceAppearance(shape); });
}

void ShapeScene::NotifyColor(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify(*shape, [&](ShapeSceneObserver& o) { o.OnShapeInstanceColor(shape); });
}

void ShapeScene::NotifyTransparency(ShapeInstance* shapeInstance) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify(*shape, [&](ShapeSceneObserver& o) { o.OnShapeInstanceTransparency(shape); });
}

void ShapeScene::NotifySelection(ShapeInstance* shapeInstance, bool selected) {
  const util::SmartPtr<ShapeInstance> shape(shapeInstance);
  Notify(*shape, [&](ShapeSceneObserver& o) { o.OnShapeInstanceSelection(shape, selected); });
}

}  // namespace oxk
