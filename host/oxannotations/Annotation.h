// The annotation base of annotation modules: the host annotation with its annotation
// type fixed at construction.
#pragma once

#include "orrinsymbols/oxk/Annotation.h"

namespace oxannotations {

class Annotation : public oxk::Annotation {
 public:
  explicit Annotation(int32_t annotationType) : oxk::Annotation(annotationType) {}
  Annotation(const Annotation& other) : util::RefCounted(other), oxk::Annotation(other) {}

 protected:
  ~Annotation() override = default;
};

}  // namespace oxannotations
