#include "oxkapp/illustration/OrbisApp.h"

namespace oxkapp::illustration {

util::SmartPtr<OrbisApp> OrbisApp::GetOrbisApp() {
  static util::SmartPtr<OrbisApp>* app = new util::SmartPtr<OrbisApp>(new OrbisApp());
  return *app;
}

bool OrbisApp::GetTemporaryDirectory(util::Symbol& folder) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  folder = m_temporaryDirectory;
  return !folder.empty();
}

void OrbisApp::SetTemporaryDirectory(const util::Symbol& folder) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_temporaryDirectory = folder;
}

util::SmartPtr<oxk::illustration::SbomTree> OrbisApp::GetSbomTree() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_sbomTree;
}

void OrbisApp::SetSbomTree(const util::SmartPtr<oxk::illustration::SbomTree>& tree) {
  util::SmartPtr<oxk::illustration::SbomTree> previous;
  std::lock_guard<std::mutex> guard(m_mutex);
  previous = m_sbomTree;
  m_sbomTree = tree;
}

}  // namespace oxkapp::illustration
