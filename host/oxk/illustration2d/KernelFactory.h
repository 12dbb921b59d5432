// A factory of the 2D kernel: it makes document elements of one factory type for one
// content version of the documents they go into.
#pragma once

#include <cstdint>

#include "orrinsymbols/util/RefCounted.h"

namespace oxk::illustration2d {

class KernelFactory : public util::RefCounted {
 public:
  [[nodiscard]] int32_t GetFactoryType() const { return m_type; }
  [[nodiscard]] int32_t GetContentVersion() const { return m_contentVersion; }

 protected:
  KernelFactory(int32_t type, int32_t contentVersion) : m_type(type), m_contentVersion(contentVersion) {}
  ~KernelFactory() override = default;

 private:
  const int32_t m_type;
  const int32_t m_contentVersion;
};

}  // namespace oxk::illustration2d
