// The host tracer and observers registered on observables through proxies.
#include <gtest/gtest.h>

#include <vector>

#include "conc/OXTracer.h"
#include "objm/ObserverProxy.h"
#include "oxk/Observable.h"

namespace {

TEST(Tracer, TracesReachTheSinkWithComponentTypeAndMessage) {
  std::vector<conc::OXTracer::Record> records;
  auto previous = conc::OXTracer::SetSink([&](const conc::OXTracer::Record& r) { records.push_back(r); });
  const conc::OXTracer tracer("symbol3d", "symbol2d");
  tracer.Trace(conc::OXTracer::kInfo, "Unhandle %s %d\n", "key", 7);
  conc::OXTracer::Trace("bare %s", "text");
  conc::OXTracer::SetSink(std::move(previous));
  tracer.Trace(conc::OXTracer::kDebug, "not captured\n");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].component, "symbol3d");
  EXPECT_EQ(records[0].subComponent, "symbol2d");
  EXPECT_EQ(records[0].type, 2);
  EXPECT_EQ(records[0].message, "Unhandle key 7\n");
  EXPECT_EQ(records[1].message, "bare text");
}

class Counter : public objm::Observer {
 public:
  void OnObservedEvent(util::RefCounted* /*subject*/, util::RefCounted* event) override { events.push_back(event); }
  std::vector<util::RefCounted*> events;
};

class Subject : public oxk::Observable {};

TEST(ObserverProxy, HoldsItsObserverWhileRegisteredAndForwardsPostedEvents) {
  util::SmartPtr<Subject> subject(new Subject());
  Counter* counter = new Counter();
  util::SmartPtr<objm::Observer> watch(counter);
  ASSERT_TRUE(subject->RegisterObserver(util::SmartPtr<objm::ObserverProxy>(new objm::ObserverProxy(counter, true))));
  EXPECT_EQ(counter->GetReferenceCount(), 2);  // the caller's and the proxy's
  util::SmartPtr<oxk::ObservableEvent> event(new oxk::ObservableEvent(oxk::Observable::GetNextEventId()));
  subject->PostObservableEvent(event, 0);
  ASSERT_EQ(counter->events.size(), 1u);
  EXPECT_EQ(counter->events[0], static_cast<util::RefCounted*>(event.get()));
  EXPECT_TRUE(subject->UnregisterObserver(counter));
  EXPECT_FALSE(subject->UnregisterObserver(counter));
  EXPECT_EQ(counter->GetReferenceCount(), 1);
  subject->PostObservableEvent(event, 0);
  EXPECT_EQ(counter->events.size(), 1u);
}

}  // namespace
