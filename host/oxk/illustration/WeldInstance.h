// The model-side stand-in of an SBOM weld: an instance outside the model tree whose
// members are the model parts welded together. It is placed at the model's origin, so
// the parts' own placements place the weld.
#pragma once

#include "orrinsymbols/oxk/Instance.h"

namespace oxk::illustration {

class WeldInstance : public Instance {
 public:
  WeldInstance(const util::Symbol& path, const util::Symbol& name) : m_path(path), m_name(name) {}

  // The weld's SBOM path: it has no place in the model tree.
  [[nodiscard]] util::Symbol GetIdPath() const override { return m_path; }
  [[nodiscard]] util::Symbol GetName() const override { return m_name; }
  [[nodiscard]] bool HasChildren() const override;
  // The welded parts, in the weld's item order.
  void GetMemberSet(std::vector<util::SmartPtr<BaseInstance>>& members) const override;
  [[nodiscard]] geo::Location GetWorldLocation() const override { return geo::Location::IDENTITY; }

 protected:
  ~WeldInstance() override = default;

 private:
  const util::Symbol m_path;
  const util::Symbol m_name;
};

}  // namespace oxk::illustration
