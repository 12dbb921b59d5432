#include "oxk/Kernel.h"

namespace oxk {

util::SmartPtr<Kernel> Kernel::GetKernel() {
  // Never destroyed: completions may still run on other threads at exit.
  static util::SmartPtr<Kernel>* kernel = new util::SmartPtr<Kernel>(new Kernel());
  return *kernel;
}

}  // namespace oxk
