// File information of an illustration document: hands out fresh structure identifiers.
#pragma once

#include <atomic>
#include <string>

#include "oxk/Object.h"
#include "util/Symbol.h"

namespace oxkapp::illustration {

class OrbisFileInfo : public oxk::Object {
 public:
  // "1", "2", ... in order, never repeated within a document.
  [[nodiscard]] util::Symbol GetNextStructureId() { return util::Symbol(std::to_string(m_next.fetch_add(1))); }

 protected:
  ~OrbisFileInfo() override = default;

 private:
  std::atomic<int> m_next{1};
};

}  // namespace oxkapp::illustration
