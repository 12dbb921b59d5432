#include "oxk/illustration/WeldInstance.h"

#include "oxk/illustration/SbomInstance.h"

namespace oxk::illustration {

bool WeldInstance::HasChildren() const {
  util::SmartPtr<SbomInstance> weld;
  return GetSbomInstance(weld) && weld->HasChildren();
}

void WeldInstance::GetMemberSet(std::vector<util::SmartPtr<BaseInstance>>& members) const {
  members.clear();
  util::SmartPtr<SbomInstance> weld;
  if (!GetSbomInstance(weld)) {
    return;
  }
  std::vector<util::SmartPtr<Instance>> parts;
  std::vector<util::SmartPtr<SbomInstance>> items;
  weld->GetEbomInstancesForWeld(parts, items);
  members.assign(parts.begin(), parts.end());
}

}  // namespace oxk::illustration
