// The undo step of moving an annotation's markup: undo puts the markup back at the
// location it came from, redo moves it to where the user put it. With notify, the
// annotation's listeners hear a markup-moved event after each.
#pragma once

#include <cstdint>

#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/Annotation.h"
#include "orrinsymbols/oxk/OperationStep.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

class MoveOperationStep : public oxk::OperationStep {
 public:
  MoveOperationStep(const util::SmartPtr<oxk::Annotation>& annotation, int32_t markupIndex, const geo::Location& from,
                    const geo::Location& to, bool notify);

  void Undo() override;
  void Redo() override;

  [[nodiscard]] const geo::Location& GetFrom() const { return m_from; }
  [[nodiscard]] const geo::Location& GetTo() const { return m_to; }
  [[nodiscard]] int32_t GetMarkupIndex() const { return m_index; }
  // The event kind posted after an undo or redo when the step notifies.
  [[nodiscard]] static int32_t GetMarkupMovedEventId();

 protected:
  ~MoveOperationStep() override = default;

 private:
  void MoveTo(const geo::Location& location);

  util::SmartPtr<oxk::Annotation> m_annotation;
  int32_t m_index;
  geo::Location m_from;
  geo::Location m_to;
  bool m_notify;
};

}  // namespace oxannotations
