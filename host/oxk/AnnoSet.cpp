#include "oxk/AnnoSet.h"

#include <algorithm>

#include "oxk/Annotation.h"

namespace oxk {

AnnoSet::~AnnoSet() {
  for (const auto& member : m_members) {
    member->SetAnnoSet(nullptr);
  }
}

bool AnnoSet::AddAnnotation(const util::SmartPtr<Annotation>& annotation) {
  util::SmartPtr<AnnoSet> current;
  if (!annotation || annotation->GetAnnoSet(current)) {
    return false;
  }
  std::lock_guard<std::mutex> guard(m_mutex);
  m_members.push_back(annotation);
  annotation->SetAnnoSet(this);
  return true;
}

bool AnnoSet::RemoveAnnotationFromSet(Annotation* annotation, const util::SmartPtr<OperationStep>& /*operation*/) {
  util::SmartPtr<Annotation> released;
  std::lock_guard<std::mutex> guard(m_mutex);
  auto found = std::find_if(m_members.begin(), m_members.end(),
                            [&](const util::SmartPtr<Annotation>& member) { return member.get() == annotation; });
  if (found == m_members.end()) {
    return false;
  }
  released = *found;
  m_members.erase(found);
  released->SetAnnoSet(nullptr);
  return true;
}

bool AnnoSet::Contains(const Annotation* annotation) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return std::any_of(m_members.begin(), m_members.end(),
                     [&](const util::SmartPtr<Annotation>& member) { return member.get() == annotation; });
}

size_t AnnoSet::GetCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_members.size();
}

}  // namespace oxk
