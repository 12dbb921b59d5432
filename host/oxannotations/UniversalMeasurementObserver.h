// Notifications about measurement-like annotations that observers of annotations follow.
#pragma once

#include "oxk/Observable.h"

namespace oxannotations {

class UniversalMeasurementObserver {
 public:
  // Posted when an annotation's drawing became displayable (displayed true) or not.
  class MeasurementDisplayedEvent : public oxk::ObservableEvent {
   public:
    explicit MeasurementDisplayedEvent(bool displayed) : oxk::ObservableEvent(EventId()), m_displayed(displayed) {}
    [[nodiscard]] bool IsDisplayed() const { return m_displayed; }
    [[nodiscard]] static int32_t EventId() {
      static const int32_t id = oxk::Observable::GetNextEventId();
      return id;
    }

   protected:
    ~MeasurementDisplayedEvent() override = default;

   private:
    bool m_displayed;
  };
};

}  // namespace oxannotations
