// An asynchronous event of the scene kernel: completes once, can be observed, and can
// be handed to the kernel (ManageObject), which then keeps it alive until it completes.
#pragma once

#include "orrinsymbols/objm/ManagedObject.h"
#include "orrinsymbols/objm/Observer.h"
#include "orrinsymbols/oxk/BaseAsyncEvent.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class AsyncEvent : public BaseAsyncEvent, public objm::Observer, public objm::ManagedObject {
 public:
  AsyncEvent() = default;

  // The event's class name, for the host's diagnostics.
  [[nodiscard]] virtual util::Symbol GetObjectClass() const { return util::Symbol("AsyncEvent"); }

 protected:
  ~AsyncEvent() override = default;
  // Lets the kernel drop its reference once the event is done.
  void AfterComplete() override;
};

}  // namespace oxk
