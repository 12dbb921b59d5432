// What the instances of the model tree and of the illustration's SBOM tree share: an
// identifier path that names them in their tree, and whether they have children.
#pragma once

#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class BaseInstance : public Object {
 public:
  [[nodiscard]] virtual util::Symbol GetIdPath() const = 0;
  [[nodiscard]] virtual bool HasChildren() const = 0;

 protected:
  ~BaseInstance() override = default;
};

}  // namespace oxk
