// An observer of measurement-like annotations: it hears when an annotation's drawing
// became displayable, through the MeasurementDisplayedEvent the annotation posts.
#pragma once

#include "orrinsymbols/objm/Observer.h"
#include "orrinsymbols/oxk/Observable.h"

namespace oxannotations {

class UniversalMeasurementObserver : public objm::Observer {
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

  void OnObservedEvent(util::RefCounted* subject, util::RefCounted* event) override {
    if (auto* displayed = dynamic_cast<MeasurementDisplayedEvent*>(event)) {
      OnMeasurementDisplayed(subject, displayed->IsDisplayed());
    }
  }
  // The annotation subject's drawing became displayable (or not).
  virtual void OnMeasurementDisplayed(util::RefCounted* /*subject*/, bool /*displayed*/) {}

 protected:
  ~UniversalMeasurementObserver() override = default;
};

}  // namespace oxannotations
