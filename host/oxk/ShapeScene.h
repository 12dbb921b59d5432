// A scene that shows the shapes of model instances. It owns its shape instances, keeps
// them per tree instance, and tells registered observers about every change, on the
// thread that made it.
//
// Updates: the changes one thread makes between BeginUpdate and EndUpdate reach every
// observer as one batch (OnBeginUpdate once, each change, OnEndUpdate once). A change
// made outside an update, or on another thread, is an update of its own.
#pragma once

#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/oxk/Observer.h"
#include "orrinsymbols/oxk/Scene.h"
#include "orrinsymbols/oxk/ShapeSceneObserver.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

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

  // The instance this scene shows in place of instance (a simplified stand-in); empty
  // when it shows instance itself.
  [[nodiscard]] virtual util::SmartPtr<Instance> GetStandInInstance(const util::SmartPtr<Instance>& instance) const;
  // Shows standIn in place of instance from now on; an empty standIn ends that.
  void SetStandIn(const util::SmartPtr<Instance>& instance, const util::SmartPtr<Instance>& standIn);
  // Where instance is placed in this scene (its model placement).
  [[nodiscard]] geo::Location GetInstanceLocation(const util::SmartPtr<Instance>& instance) const;
  // Moves every shape instance of instance to the instance's model placement.
  void UpdateInstanceLocation(const util::SmartPtr<Instance>& instance);

  // Nested pairs count: the batch ends with the outermost EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  // Drops every shape instance (one update), then tells the observers and unregisters
  // those that do not stay.
  void Clear();
  // Hands a scene-wide event to every observer's EventHandler.
  void PostEvent(int32_t eventId);

  // Registers observer (once); with manage, the kernel keeps it alive until it unregisters.
  bool RegisterObserver(const util::SmartPtr<ShapeSceneObserver>& observer, int32_t flags, bool manage);
  void DetachObserver(Observer* observer) override;
  [[nodiscard]] size_t GetObserverCount() const;

  // Called by shape instances of this scene after they changed.
  void NotifyVisibility(ShapeInstance* shapeInstance, bool visible);
  void NotifyHighlight(ShapeInstance* shapeInstance, bool on);
  void NotifyLocation(ShapeInstance* shapeInstance);
  void NotifyAppearance(ShapeInstance* shapeInstance);
  void NotifyColor(ShapeInstance* shapeInstance);
  void NotifyTransparency(ShapeInstance* shapeInstance);
  void NotifySelection(ShapeInstance* shapeInstance, bool selected);

 protected:
  ~ShapeScene() override;

 private:
  using ObserverList = std::vector<util::SmartPtr<ShapeSceneObserver>>;

  // The observers as they are now. The list is replaced, never changed, when observers
  // come and go, so a notification walks it without copying or locking.
  [[nodiscard]] std::shared_ptr<const ObserverList> Observers() const;
  template <class Call>
  void Notify(const Call& call);
  void Add(const util::SmartPtr<ShapeInstance>& shapeInstance);

  mutable std::mutex m_mutex;
  std::unordered_map<const Instance*, std::vector<util::SmartPtr<ShapeInstance>>> m_byInstance;
  struct StandIn {
    util::SmartPtr<Instance> instance;  // held, so its address cannot be reused meanwhile
    util::SmartPtr<Instance> standIn;
  };
  std::unordered_map<const Instance*, StandIn> m_standIns;
  std::shared_ptr<const ObserverList> m_observers = std::make_shared<const ObserverList>();
  std::unordered_map<std::thread::id, int> m_updateDepth;
};

}  // namespace oxk
