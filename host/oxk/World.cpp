#include "oxk/World.h"

#include <algorithm>

namespace oxk {
namespace {
std::mutex g_worldMutex;

util::SmartPtr<World>& CurrentWorld() {
  static util::SmartPtr<World>* world = new util::SmartPtr<World>();
  return *world;
}
}  // namespace

bool World::GetWorld(util::SmartPtr<World>& world) {
  std::lock_guard<std::mutex> guard(g_worldMutex);
  world = CurrentWorld();
  return static_cast<bool>(world);
}

void World::SetWorld(const util::SmartPtr<World>& world) {
  util::SmartPtr<World> previous;
  {
    std::lock_guard<std::mutex> guard(g_worldMutex);
    previous = CurrentWorld();
    CurrentWorld() = world;
  }
  // previous is released here, outside the lock, in case its teardown asks for the world.
}

World::World() : m_container(new MultiRootContainer()), m_tree(new Tree(m_container)) {}

bool World::GetMultiRootContainer(util::SmartPtr<MultiRootContainer>& container) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  container = m_container;
  return static_cast<bool>(container);
}

void World::SetMultiRootContainer(const util::SmartPtr<MultiRootContainer>& container) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_container = container;
  m_tree = container ? util::SmartPtr<Tree>(new Tree(container)) : util::SmartPtr<Tree>();
}

bool World::GetTree(util::SmartPtr<Tree>& tree) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  tree = m_tree;
  return static_cast<bool>(tree);
}

void World::GetScenes(std::vector<util::SmartPtr<Scene>>& scenes) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  scenes = m_scenes;
}

void World::AddScene(const util::SmartPtr<Scene>& scene) {
  std::lock_guard<std::mutex> guard(m_mutex);
  if (scene && std::find(m_scenes.begin(), m_scenes.end(), scene) == m_scenes.end()) {
    m_scenes.push_back(scene);
  }
}

void World::RemoveScene(const util::SmartPtr<Scene>& scene) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_scenes.erase(std::remove(m_scenes.begin(), m_scenes.end(), scene), m_scenes.end());
}

bool World::GetIllustrationPreferences(util::SmartPtr<Preferences>& preferences) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  preferences = m_illustrationPreferences;
  return static_cast<bool>(preferences);
}

void World::SetIllustrationPreferences(const util::SmartPtr<Preferences>& preferences) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_illustrationPreferences = preferences;
}

bool World::GetPreferences(util::SmartPtr<Preferences>& preferences) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  preferences = m_preferences;
  return static_cast<bool>(preferences);
}

void World::SetPreferences(const util::SmartPtr<Preferences>& preferences) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_preferences = preferences;
}

}  // namespace oxk
