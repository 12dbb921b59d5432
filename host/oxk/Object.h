// The root of the host's scene objects: counted, with a description for the UI.
#pragma once

#include <string>

#include "orrinsymbols/util/RefCounted.h"

namespace oxk {

class Object : public virtual util::RefCounted {
 public:
  [[nodiscard]] virtual std::string GetObjectDescription() const { return std::string(); }

 protected:
  ~Object() override = default;
};

}  // namespace oxk
