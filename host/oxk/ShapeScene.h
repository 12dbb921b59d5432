// A scene that shows the shapes of model instances. It owns its shape instances, keeps
// them per tree instance, and tells registered observers about every change, on the
// thread that made it, in the order they registered.
//
// Updates: the changes one thread makes between BeginUpdate and EndUpdate reach every
// observer as one batch (OnBeginUpdate once, each change, OnEndUpdate once). A change
// made outside an update, or on another thread, is an update of its own for the
// observers it concerns.
//
// An observer hears about every shape instance until it narrows itself to the paths it
// follows (FollowOnly): from then on a change of a shape instance reaches it only when
// the instance's identifier path, or the path of the instance's SBOM item, is one of
// them, and an update reaches it (OnBeginUpdate before the first change it hears,
// OnEndUpdate when the update ends) only when it holds such a change. The scene keeps
// the observers by those paths, so a change, and an update, cost what the observers
// concerned cost, however many others there are; registering and leaving cost the same
// whatever the number of observers.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
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
  // From now on observer hears about the shape instances of the instances whose path (or
  // SBOM item path) is in paths, and about no other; replaces what it followed before.
  // Nothing for an observer not registered here. Never throws: when memory runs short the
  // observer hears about every shape instance again.
  void FollowOnly(const Observer* observer, const std::vector<util::Symbol>& paths);
  // From now on observer hears about every shape instance again. Never throws.
  void FollowAll(const Observer* observer) noexcept;

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

  // One registration: its observer, and the paths it follows once it narrowed itself.
  // A narrowed one keeps its place among those hearing all, taken out of the set, so
  // that it can go back there without allocating.
  struct Registration {
    util::SmartPtr<ShapeSceneObserver> observer;
    bool narrowed = false;
    std::vector<util::Symbol> followed;
    std::set<uint64_t>::node_type hearingAll;
  };

  // An observer a change concerns, and whether the update it comes in is new to it.
  struct Concerned {
    util::SmartPtr<ShapeSceneObserver> observer;
    bool beginsUpdate = false;
  };
  // The update a thread is making: its depth, and the narrowed observers it reached so far.
  struct Update {
    int depth = 0;
    std::set<uint64_t> reached;
  };

  // Every observer, in the order they registered.
  [[nodiscard]] ObserverList Observers() const;
  // The observers that hear about every shape instance, in the order they registered.
  [[nodiscard]] ObserverList HearingAll() const;
  // The observers a change of shapeInstance concerns, in the order they registered; inUpdate
  // says whether the calling thread is making an update, into which the narrowed ones are
  // then noted.
  [[nodiscard]] std::vector<Concerned> ObserversOf(const ShapeInstance& shapeInstance, bool& inUpdate);
  void Unfollow(uint64_t order, const Registration& registration);
  void RemoveFollower(const util::Symbol& path, uint64_t order);
  void HearAll(uint64_t order, Registration& registration) noexcept;
  template <class Call>
  void Notify(const ShapeInstance& shapeInstance, const Call& call);
  void Add(const util::SmartPtr<ShapeInstance>& shapeInstance);

  mutable std::mutex m_mutex;
  std::unordered_map<const Instance*, std::vector<util::SmartPtr<ShapeInstance>>> m_byInstance;
  struct StandIn {
    util::SmartPtr<Instance> instance;  // held, so its address cannot be reused meanwhile
    util::SmartPtr<Instance> standIn;
  };
  std::unordered_map<const Instance*, StandIn> m_standIns;
  // Registrations by the order they were made in, and that order by observer.
  std::map<uint64_t, Registration> m_registrations;
  std::unordered_map<const Observer*, uint64_t> m_orderOf;
  uint64_t m_nextOrder = 0;
  // The registrations that hear about every shape instance, and the narrowed ones by the
  // paths they follow.
  std::set<uint64_t> m_hearingAll;
  std::unordered_map<util::Symbol, std::set<uint64_t>> m_followers;
  std::unordered_map<std::thread::id, Update> m_updates;
};

}  // namespace oxk
