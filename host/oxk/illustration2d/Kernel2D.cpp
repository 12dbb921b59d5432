#include "oxk/illustration2d/Kernel2D.h"

#include "oxk/illustration2d/BaseKernelFactory.h"

namespace oxk::illustration2d {

util::SmartPtr<Kernel2D> Kernel2D::GetSingleton() {
  // Never destroyed: completions on other threads may still make elements at exit.
  static util::SmartPtr<Kernel2D>* kernel = new util::SmartPtr<Kernel2D>(new Kernel2D());
  return *kernel;
}

Kernel2D::Kernel2D() {
  for (int32_t version = 1; version <= kContentVersion; ++version) {
    m_base[version - 1] = util::SmartPtr<KernelFactory>(new BaseKernelFactory(version));
  }
}

util::SmartPtr<KernelFactory> Kernel2D::GetFactory(int32_t type, int32_t contentVersion) const {
  if (type != BaseKernelFactory::kFactoryType || contentVersion < 1 || contentVersion > kContentVersion) {
    return {};
  }
  return m_base[contentVersion - 1];
}

}  // namespace oxk::illustration2d
