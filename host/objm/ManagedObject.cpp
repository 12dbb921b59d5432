#include "objm/ManagedObject.h"

#include <mutex>
#include <unordered_map>

namespace objm {
namespace {
// Managed references, per manager. A plain map keyed by manager keeps ManagedObject
// itself free of state, so every event and observer stays small.
std::mutex g_mutex;
std::unordered_map<const ManagedObject*, std::unordered_map<const ManagedObject*, util::SmartPtr<ManagedObject>>>&
Managed() {
  static auto* managed =
      new std::unordered_map<const ManagedObject*,
                             std::unordered_map<const ManagedObject*, util::SmartPtr<ManagedObject>>>();
  return *managed;
}
}  // namespace

ManagedObject::~ManagedObject() {
  std::unordered_map<const ManagedObject*, util::SmartPtr<ManagedObject>> released;
  {
    std::lock_guard<std::mutex> guard(g_mutex);
    auto found = Managed().find(this);
    if (found == Managed().end()) {
      return;
    }
    released.swap(found->second);
    Managed().erase(found);
  }
  // released goes out of scope here, outside the lock.
}

void ManagedObject::ManageObject(const util::SmartPtr<ManagedObject>& object) {
  if (!object) {
    return;
  }
  std::lock_guard<std::mutex> guard(g_mutex);
  Managed()[this][object.get()] = object;
}

void ManagedObject::ReleaseObject(const util::SmartPtr<ManagedObject>& object) {
  util::SmartPtr<ManagedObject> released;
  {
    std::lock_guard<std::mutex> guard(g_mutex);
    auto found = Managed().find(this);
    if (found == Managed().end()) {
      return;
    }
    auto entry = found->second.find(object.get());
    if (entry == found->second.end()) {
      return;
    }
    released = std::move(entry->second);
    found->second.erase(entry);
  }
}

bool ManagedObject::IsManaging(const ManagedObject* object) const {
  std::lock_guard<std::mutex> guard(g_mutex);
  auto found = Managed().find(this);
  return found != Managed().end() && found->second.count(object) != 0;
}

}  // namespace objm
