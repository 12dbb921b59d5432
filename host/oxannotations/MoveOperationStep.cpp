#include "oxannotations/MoveOperationStep.h"

namespace oxannotations {

MoveOperationStep::MoveOperationStep(const util::SmartPtr<oxk::Annotation>& annotation, int32_t markupIndex,
                                     const geo::Location& from, const geo::Location& to, bool notify)
    : m_annotation(annotation), m_index(markupIndex), m_from(from), m_to(to), m_notify(notify) {}

int32_t MoveOperationStep::GetMarkupMovedEventId() {
  static const int32_t id = oxk::Observable::GetNextEventId();
  return id;
}

void MoveOperationStep::Undo() {
  MoveTo(m_from);
}

void MoveOperationStep::Redo() {
  MoveTo(m_to);
}

void MoveOperationStep::MoveTo(const geo::Location& location) {
  if (!m_annotation) {
    return;
  }
  m_annotation->SetMarkupLocation(m_index, location);
  if (m_notify) {
    m_annotation->PostObservableEvent(
        util::SmartPtr<oxk::ObservableEvent>(new oxk::ObservableEvent(GetMarkupMovedEventId())), 0);
  }
}

}  // namespace oxannotations
