#include "oxk/Instance.h"

#include "oxk/ComponentInstance.h"
#include "oxk/illustration/SbomInstance.h"

namespace oxk {

const util::Symbol Instance::s_content_symbolPrefix("cs");

bool Instance::GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const {
  out.Reset();
  return false;
}

bool Instance::GetSbomInstance(util::SmartPtr<illustration::SbomInstance>& out) const {
  // Most instances have none; only those that do pay for the lock that keeps the SBOM
  // instance from going away while a reference is taken.
  if (m_sbomInstance.load(std::memory_order_acquire) == nullptr) {
    out.Reset();
    return false;
  }
  std::lock_guard<std::recursive_mutex> guard(ComponentNode::TreeMutex());
  out = util::SmartPtr<illustration::SbomInstance>(m_sbomInstance.load(std::memory_order_acquire));
  return static_cast<bool>(out);
}

void Instance::GetMemberSet(std::vector<util::SmartPtr<BaseInstance>>& members) const {
  members.clear();
  members.emplace_back(const_cast<Instance*>(this));
}

bool Instance::GetShapeSourceBBox(geo::FBox& box) const {
  box = geo::FBox::EMPTY;
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
