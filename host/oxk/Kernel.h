// The scene kernel: keeps objects handed to it (pending events, scene observers) alive
// until they complete or unregister.
#pragma once

#include "orrinsymbols/objm/ManagedObject.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class Kernel : public Object, public objm::ManagedObject {
 public:
  [[nodiscard]] static util::SmartPtr<Kernel> GetKernel();

 protected:
  ~Kernel() override = default;
};

}  // namespace oxk
