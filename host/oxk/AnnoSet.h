// A named set of annotations the user groups together; removing an annotation from it
// is what happens when the annotation's shape leaves the scene.
#pragma once

#include <mutex>
#include <vector>

#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/OperationStep.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class Annotation;

class AnnoSet : public Object {
 public:
  // Holds a reference to each member; a member points back with a plain pointer that
  // the set clears when it lets the member go. An annotation is in one set at most.
  bool AddAnnotation(const util::SmartPtr<Annotation>& annotation);
  // False when the annotation is not in the set.
  bool RemoveAnnotationFromSet(Annotation* annotation, const util::SmartPtr<OperationStep>& operation);
  [[nodiscard]] bool Contains(const Annotation* annotation) const;
  [[nodiscard]] size_t GetCount() const;

 protected:
  ~AnnoSet() override;

 private:
  mutable std::mutex m_mutex;
  std::vector<util::SmartPtr<Annotation>> m_members;
};

}  // namespace oxk
