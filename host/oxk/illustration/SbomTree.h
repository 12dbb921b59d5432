// The SBOM tree of an illustration: its items by identifier path. Items are added once,
// while the illustration is built, and live as long as the tree; each model instance an
// item stands for knows its item until the tree goes.
#pragma once

#include <unordered_map>
#include <vector>

#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/illustration/SbomInstance.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk::illustration {

class SbomTree : public Object {
 public:
  SbomTree() = default;

  // Adds an item with id under parent (empty: at the top). With a model instance the
  // item is a part standing for it; without one it is a weld, standing for a new weld
  // instance, and takes items of its own. False (out emptied) when id is empty or holds
  // a '/', when parent is not a weld of this tree, when id is taken under parent, or
  // when the model instance already has an item.
  bool AddInstance(const util::SmartPtr<SbomInstance>& parent, const util::Symbol& id,
                   const util::SmartPtr<Instance>& ebom, util::SmartPtr<SbomInstance>& out);
  // The item at an identifier path ("/W/W1"); empty when none.
  [[nodiscard]] util::SmartPtr<SbomInstance> FindInstance(const util::Symbol& path) const;
  [[nodiscard]] std::vector<util::SmartPtr<SbomInstance>> GetTopLevelInstances() const;
  [[nodiscard]] size_t GetInstanceCount() const;

 protected:
  // Makes every model instance forget its item.
  ~SbomTree() override;

 private:
  std::unordered_map<util::Symbol, util::SmartPtr<SbomInstance>> m_byPath;  // under the tree lock
  std::vector<util::SmartPtr<SbomInstance>> m_top;
};

}  // namespace oxk::illustration
