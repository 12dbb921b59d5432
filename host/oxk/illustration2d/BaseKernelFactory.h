// The 2D kernel's factory of base elements (factory type 1): stamps and annotation
// elements for documents of its content version.
#pragma once

#include "orrinsymbols/oxk/illustration2d/Annotation2D.h"
#include "orrinsymbols/oxk/illustration2d/KernelFactory.h"
#include "orrinsymbols/oxk/illustration2d/Stamp2D.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk::illustration2d {

class BaseKernelFactory : public KernelFactory {
 public:
  // Frozen: the factory type hosts ask the kernel for.
  static constexpr int32_t kFactoryType = 1;

  explicit BaseKernelFactory(int32_t contentVersion) : KernelFactory(kFactoryType, contentVersion) {}

  // New elements, in no document yet; empty when memory runs out.
  [[nodiscard]] util::SmartPtr<Stamp2D> CreateStamp2D() const;
  [[nodiscard]] util::SmartPtr<Annotation2D> CreateAnnotation2D() const;

 protected:
  ~BaseKernelFactory() override = default;
};

}  // namespace oxk::illustration2d
