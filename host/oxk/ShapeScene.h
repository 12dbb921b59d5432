// A scene that shows the shapes of model instances. It owns its shape instances, keeps
// them per tree instance, and tells registered observers about every change, on the
// thread that made it.
#pragma once

#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "oxk/Instance.h"
#include "oxk/Observer.h"
#include "oxk/Scene.h"
#include "oxk/ShapeSceneObserver.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

namespace oxk {

class ShapeInstance;

class ShapeScene : public Scene, public ObserverSubject {
 public:
  ShapeScene() = default;

  // A new shape instance of instance, shown when visible, at the instance's placement,
  // sharing the shape of the instance's shape source. Empty without an instance.
  virtual util::SmartPtr<ShapeInstance> CreateShapeInstance(const util::SmartPtr<Instance>& instance, bool visible,
                                                            const util::Symbol& name);
  // The first shape instance of instance in this scene; false when none.
  bool GetShapeInstance(const util::SmartPtr<Instance>& instance, util::SmartPtr<ShapeInstance>& out) const;
  // Takes a shape instance out of the scene; the caller's reference stays valid and the
  // instance can be put back with RecreateShapeInstance. False when it is not here.
  virtual bool RemoveShapeInstance(const util::SmartPtr<ShapeInstance>& shapeInstance, bool silent, bool keep);
  // Puts back a shape instance that is in no scene; false when it is in one already.
  bool RecreateShapeInstance(const util::SmartPtr<ShapeInstance>& shapeInstance);
  [[nodiscard]] std::vector<util::SmartPtr<ShapeInstance>> GetShapeInstances() const;

  // The instances whose geometry makes up instance in this scene: the instance itself and
  // every instance below it, depth first.
  void GetMemberSet(const util::SmartPtr<Instance>& instance, std::vector<util::SmartPtr<Instance>>& members) const;
  // Where instance is placed in this scene (its model placement).
  [[nodiscard]] geo::Location GetInstanceLocation(const util::SmartPtr<Instance>& instance) const;

  // Registers observer (once); with manage, the kernel keeps it alive until it unregisters.
  bool RegisterObserver(const util::SmartPtr<ShapeSceneObserver>& observer, int32_t flags, bool manage);
  void DetachObserver(Observer* observer) override;
  [[nodiscard]] size_t GetObserverCount() const;

  // Called by shape instances of this scene after they changed.
  void NotifyVisibility(ShapeInstance* shapeInstance, bool visible);
  void NotifyLocation(ShapeInstance* shapeInstance);
  void NotifyAppearance(ShapeInstance* shapeInstance);
  void NotifySelection(ShapeInstance* shapeInstance, bool selected);

 protected:
  ~ShapeScene() override;

 private:
  void Notify(const std::function<void(ShapeSceneObserver&)>& call);
  void Add(const util::SmartPtr<ShapeInstance>& shapeInstance);

  mutable std::mutex m_mutex;
  std::unordered_map<const Instance*, std::vector<util::SmartPtr<ShapeInstance>>> m_byInstance;
  std::vector<util::SmartPtr<ShapeSceneObserver>> m_observers;
};

}  // namespace oxk
