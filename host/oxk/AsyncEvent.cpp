#include "oxk/AsyncEvent.h"

#include "oxk/Kernel.h"

namespace oxk {

void AsyncEvent::AfterComplete() {
  Kernel::GetKernel()->ReleaseObject(util::SmartPtr<objm::ManagedObject>(this));
}

}  // namespace oxk
