#include "oxk/Instance.h"

#include "oxk/ComponentInstance.h"

namespace oxk {

const util::Symbol Instance::s_content_symbolPrefix("cs");

bool Instance::GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const {
  out.Reset();
  return false;
}

bool Instance::GetSbomInstance(util::SmartPtr<Instance>& out) const {
  out.Reset();
  return false;
}

void Instance::AddUserData(int32_t kind, void* data) {
  std::lock_guard<std::mutex> guard(m_userDataMutex);
  m_userData[kind] = data;
}

void Instance::RemoveUserData(int32_t kind) {
  std::lock_guard<std::mutex> guard(m_userDataMutex);
  m_userData.erase(kind);
}

void* Instance::GetUserData(int32_t kind) const {
  std::lock_guard<std::mutex> guard(m_userDataMutex);
  auto found = m_userData.find(kind);
  return found == m_userData.end() ? nullptr : found->second;
}

}  // namespace oxk
