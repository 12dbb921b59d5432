// The undo step of resizing an annotation's markup: undo gives the markup the size it
// had, redo the size the user gave it. Sizes are (width, height, depth) as the
// annotation's GetMarkupSize reports them.
#pragma once

#include <cstdint>

#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/oxk/Annotation.h"
#include "orrinsymbols/oxk/OperationStep.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

class SizeOperationStep : public oxk::OperationStep {
 public:
  SizeOperationStep(const util::SmartPtr<oxk::Annotation>& annotation, int32_t markupIndex, const geo::DVec3& from,
                    const geo::DVec3& to)
      : m_annotation(annotation), m_index(markupIndex), m_from(from), m_to(to) {}

  void Undo() override {
    if (m_annotation) {
      m_annotation->SetMarkupSize(m_index, m_from);
    }
  }
  void Redo() override {
    if (m_annotation) {
      m_annotation->SetMarkupSize(m_index, m_to);
    }
  }

  [[nodiscard]] const geo::DVec3& GetFrom() const { return m_from; }
  [[nodiscard]] const geo::DVec3& GetTo() const { return m_to; }
  [[nodiscard]] int32_t GetMarkupIndex() const { return m_index; }

 protected:
  ~SizeOperationStep() override = default;

 private:
  util::SmartPtr<oxk::Annotation> m_annotation;
  int32_t m_index;
  geo::DVec3 m_from;
  geo::DVec3 m_to;
};

}  // namespace oxannotations
