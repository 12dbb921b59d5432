#include "oxk/World.h"

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
