// Something that is told about changes of another object. The notification code and
// subject are the notifier's to define; notifiers that post event objects hand them to
// OnObservedEvent.
#pragma once

#include "orrinsymbols/util/RefCounted.h"

namespace objm {

class Observer : public virtual util::RefCounted {
 public:
  virtual void OnNotify(util::RefCounted* /*subject*/, int /*code*/) {}
  // An event object posted by subject; valid for the duration of the call.
  virtual void OnObservedEvent(util::RefCounted* /*subject*/, util::RefCounted* /*event*/) {}

 protected:
  ~Observer() override = default;
};

}  // namespace objm
