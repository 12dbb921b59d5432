// A node instance of the model tree (a part or assembly as placed in the model), named
// by its identifier path ("/1/4"). Other code may hang user data on it by kind. An
// instance that belongs to the illustration's SBOM knows its SBOM instance.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "orrinsymbols/geo/FBox.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/BaseInstance.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class ComponentInstance;

namespace illustration {
class SbomInstance;
class SbomTree;
}  // namespace illustration

class Instance : public BaseInstance {
 public:
  // Frozen: the prefix of identifiers given to nodes of content symbols.
  static const util::Symbol s_content_symbolPrefix;

  [[nodiscard]] virtual util::Symbol GetName() const = 0;
  [[nodiscard]] bool HasChildren() const override { return false; }
  // False (out emptied) when the instance is not a placed component.
  virtual bool GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const;
  // The SBOM instance that stands for this instance in the illustration's SBOM tree;
  // false (out emptied) when it has none.
  virtual bool GetSbomInstance(util::SmartPtr<illustration::SbomInstance>& out) const;
  // The instances whose geometry makes up this one, in a fixed order: by default the
  // instance itself.
  virtual void GetMemberSet(std::vector<util::SmartPtr<BaseInstance>>& members) const;
  // The bounds of the instance's own shape source (loaded geometry, or the bounds known
  // before loading); false (box EMPTY) when it has none.
  virtual bool GetShapeSourceBBox(geo::FBox& box) const;
  // Placement in model coordinates.
  [[nodiscard]] virtual geo::Location GetWorldLocation() const = 0;

  // User data is not owned: whoever adds it removes it before it goes away.
  void AddUserData(int32_t kind, void* data);
  void RemoveUserData(int32_t kind);
  [[nodiscard]] void* GetUserData(int32_t kind) const;

 protected:
  ~Instance() override = default;

 private:
  friend class illustration::SbomTree;
  // Plain: the SBOM tree owns its instances and clears this before it lets them go.
  std::atomic<illustration::SbomInstance*> m_sbomInstance{nullptr};

  mutable std::mutex m_userDataMutex;
  std::unordered_map<int32_t, void*> m_userData;
};

}  // namespace oxk
