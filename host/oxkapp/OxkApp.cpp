#include "oxkapp/OxkApp.h"

namespace oxkapp {

bool SceneManager::GetActiveView(util::SmartPtr<oxk::View>& out) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  out = m_active;
  return static_cast<bool>(out);
}

void SceneManager::SetActiveView(const util::SmartPtr<oxk::View>& view) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_active = view;
}

OxkApp::OxkApp() : m_sceneManager(new SceneManager()) {}

util::SmartPtr<OxkApp> OxkApp::Get() {
  // Never destroyed: completions on other threads may still ask for it at exit.
  static util::SmartPtr<OxkApp>* app = new util::SmartPtr<OxkApp>(new OxkApp());
  return *app;
}

bool OxkApp::GetSceneManager(util::SmartPtr<SceneManager>& out) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  out = m_sceneManager;
  return static_cast<bool>(out);
}

void OxkApp::SetSceneManager(const util::SmartPtr<SceneManager>& manager) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_sceneManager = manager;
}

}  // namespace oxkapp
