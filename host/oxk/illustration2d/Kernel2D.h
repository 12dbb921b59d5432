// The 2D kernel: the process-wide keeper of the factories that make 2D document
// elements, by factory type and content version.
#pragma once

#include <cstdint>

#include "orrinsymbols/oxk/illustration2d/KernelFactory.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk::illustration2d {

class Kernel2D : public util::RefCounted {
 public:
  // Frozen: the newest content version of 2D documents.
  static constexpr int32_t kContentVersion = 4;

  [[nodiscard]] static util::SmartPtr<Kernel2D> GetSingleton();

  // The factory of type for documents of contentVersion (1 up to kContentVersion);
  // empty for any other type or version.
  [[nodiscard]] util::SmartPtr<KernelFactory> GetFactory(int32_t type, int32_t contentVersion) const;

 protected:
  Kernel2D();
  ~Kernel2D() override = default;

 private:
  util::SmartPtr<KernelFactory> m_base[kContentVersion];
};

}  // namespace oxk::illustration2d
