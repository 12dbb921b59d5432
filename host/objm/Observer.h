// Something that is told about changes of another object. The notification code and
// subject are the notifier's to define.
#pragma once

#include "util/RefCounted.h"

namespace objm {

class Observer : public virtual util::RefCounted {
 public:
  virtual void OnNotify(util::RefCounted* /*subject*/, int /*code*/) {}

 protected:
  ~Observer() override = default;
};

}  // namespace objm
