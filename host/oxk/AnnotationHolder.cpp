#include "oxk/AnnotationHolder.h"

#include <algorithm>

#include "oxk/Annotation.h"

namespace oxk {

AnnotationHolder::AnnotationHolder() = default;

AnnotationHolder::~AnnotationHolder() = default;

bool AnnotationHolder::AddAnnotation(const util::SmartPtr<Annotation>& annotation) {
  if (!annotation) {
    return false;
  }
  std::lock_guard<std::mutex> guard(m_annotationsMutex);
  if (std::find(m_annotations.begin(), m_annotations.end(), annotation) != m_annotations.end()) {
    return false;
  }
  m_annotations.push_back(annotation);
  return true;
}

bool AnnotationHolder::RemoveAnnotation(const util::SmartPtr<Annotation>& annotation) {
  util::SmartPtr<Annotation> removed;
  std::lock_guard<std::mutex> guard(m_annotationsMutex);
  const auto found = std::find(m_annotations.begin(), m_annotations.end(), annotation);
  if (found == m_annotations.end()) {
    return false;
  }
  removed = *found;
  m_annotations.erase(found);
  return true;
}

std::vector<util::SmartPtr<Annotation>> AnnotationHolder::GetAnnotations() const {
  std::lock_guard<std::mutex> guard(m_annotationsMutex);
  return m_annotations;
}

void AnnotationHolder::DetachAll() {
  std::vector<util::SmartPtr<Annotation>> held;
  {
    std::lock_guard<std::mutex> guard(m_annotationsMutex);
    held.swap(m_annotations);
  }
  for (const auto& annotation : held) {
    annotation->DetachScene();
  }
}

}  // namespace oxk
