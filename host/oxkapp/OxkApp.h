// The viewer application: its scene manager knows which view the user works in.
// The application starts with a scene manager and no active view.
#pragma once

#include <mutex>

#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/View.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxkapp {

class SceneManager : public oxk::Object {
 public:
  // False (out emptied) when no view is active.
  bool GetActiveView(util::SmartPtr<oxk::View>& out) const;
  void SetActiveView(const util::SmartPtr<oxk::View>& view);

 protected:
  ~SceneManager() override = default;

 private:
  mutable std::mutex m_mutex;
  util::SmartPtr<oxk::View> m_active;
};

class OxkApp : public oxk::Object {
 public:
  // The running application (one per process).
  [[nodiscard]] static util::SmartPtr<OxkApp> Get();

  // False (out emptied) when the application has no scene manager.
  bool GetSceneManager(util::SmartPtr<SceneManager>& out) const;
  void SetSceneManager(const util::SmartPtr<SceneManager>& manager);

 protected:
  OxkApp();
  ~OxkApp() override = default;

 private:
  mutable std::mutex m_mutex;
  util::SmartPtr<SceneManager> m_sceneManager;
};

}  // namespace oxkapp
