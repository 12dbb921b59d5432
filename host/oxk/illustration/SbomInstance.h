// One item of an illustration's SBOM (the service bill of materials): a part as the
// service documentation names it, or a weld that groups several model parts. It has an
// identifier path of its own ("/W/W1") and stands for a model-tree (EBOM) instance; a
// weld stands for a weld instance whose members are its items' model parts.
#pragma once

#include <vector>

#include "orrinsymbols/oxk/BaseInstance.h"
#include "orrinsymbols/oxk/Instance.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk::illustration {

class SbomInstance : public BaseInstance {
 public:
  [[nodiscard]] util::Symbol GetIdPath() const override { return m_path; }
  [[nodiscard]] bool HasChildren() const override;
  [[nodiscard]] const util::Symbol& GetId() const { return m_id; }
  // The model-tree instance this item stands for (a weld instance for a weld).
  [[nodiscard]] util::SmartPtr<Instance> GetEbomInstance() const { return m_ebom; }
  [[nodiscard]] std::vector<util::SmartPtr<SbomInstance>> GetChildren() const;
  // The members of a weld: the model-tree instances of its items (parts) and the items
  // themselves (items), both in item order. False when this is no weld or it is empty.
  bool GetEbomInstancesForWeld(std::vector<util::SmartPtr<Instance>>& parts,
                               std::vector<util::SmartPtr<SbomInstance>>& items) const;

 protected:
  ~SbomInstance() override = default;

 private:
  friend class SbomTree;
  SbomInstance(const util::Symbol& id, const util::Symbol& path, const util::SmartPtr<Instance>& ebom)
      : m_id(id), m_path(path), m_ebom(ebom) {}

  const util::Symbol m_id;
  const util::Symbol m_path;
  const util::SmartPtr<Instance> m_ebom;
  std::vector<util::SmartPtr<SbomInstance>> m_children;  // guarded by the tree lock
};

}  // namespace oxk::illustration
