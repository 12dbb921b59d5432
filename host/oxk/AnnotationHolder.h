// What annotations are handed to once attached (a scene): each annotation once, in the
// order handed over. Holder and annotations hold each other; closing the holder
// (DetachAll) breaks that.
#pragma once

#include <mutex>
#include <vector>

#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class Annotation;

class AnnotationHolder : public virtual util::RefCounted {
 public:
  // Out of line, as the destructor: Annotation is incomplete here.
  AnnotationHolder();
  AnnotationHolder(const AnnotationHolder&) = delete;
  AnnotationHolder& operator=(const AnnotationHolder&) = delete;

  // False when annotation is empty or held already.
  virtual bool AddAnnotation(const util::SmartPtr<Annotation>& annotation);
  // False when annotation is not held.
  virtual bool RemoveAnnotation(const util::SmartPtr<Annotation>& annotation);
  [[nodiscard]] std::vector<util::SmartPtr<Annotation>> GetAnnotations() const;
  // Detaches every held annotation from its scenes and lets go of it.
  void DetachAll();

 protected:
  ~AnnotationHolder() override;

 private:
  mutable std::mutex m_annotationsMutex;
  std::vector<util::SmartPtr<Annotation>> m_annotations;
};

}  // namespace oxk
