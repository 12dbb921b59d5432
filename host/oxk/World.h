// The host's world: the process-wide holder of preferences and, later, the model and
// its scenes. Tests and embedding hosts configure the reference host through it.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "orrinsymbols/oxk/MultiRootContainer.h"
#include "orrinsymbols/oxk/Preferences.h"
#include "orrinsymbols/oxk/Scene.h"
#include "orrinsymbols/oxk/Tree.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class World : public util::RefCounted {
 public:
  World();

  // The current world; false (world emptied) when there is none.
  static bool GetWorld(util::SmartPtr<World>& world);
  // Installs world as the current one; an empty pointer removes it.
  static void SetWorld(const util::SmartPtr<World>& world);

  // False (out emptied) when none were set.
  bool GetIllustrationPreferences(util::SmartPtr<Preferences>& preferences) const;
  void SetIllustrationPreferences(const util::SmartPtr<Preferences>& preferences);
  bool GetPreferences(util::SmartPtr<Preferences>& preferences) const;
  void SetPreferences(const util::SmartPtr<Preferences>& preferences);

  // The model: its container (a plain one until a model or document replaces it) and the
  // tree over the container's primary structure.
  bool GetMultiRootContainer(util::SmartPtr<MultiRootContainer>& container) const;
  void SetMultiRootContainer(const util::SmartPtr<MultiRootContainer>& container);
  bool GetTree(util::SmartPtr<Tree>& tree) const;

  // The scenes that show the model.
  void GetScenes(std::vector<util::SmartPtr<Scene>>& scenes) const;
  void AddScene(const util::SmartPtr<Scene>& scene);
  void RemoveScene(const util::SmartPtr<Scene>& scene);

  // Whether the per-user shared symbol library takes part in the catalogue.
  [[nodiscard]] bool IsSharedLibraryEnabled() const { return m_sharedLibraryEnabled.load(); }
  void SetSharedLibraryEnabled(bool enabled) { m_sharedLibraryEnabled.store(enabled); }

 protected:
  ~World() override = default;

 private:
  mutable std::mutex m_mutex;
  util::SmartPtr<Preferences> m_illustrationPreferences;
  util::SmartPtr<Preferences> m_preferences;
  std::atomic<bool> m_sharedLibraryEnabled{false};
  util::SmartPtr<MultiRootContainer> m_container;
  util::SmartPtr<Tree> m_tree;
  std::vector<util::SmartPtr<Scene>> m_scenes;
};

}  // namespace oxk
