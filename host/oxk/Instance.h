// A node instance of the model tree (a part or assembly as placed in the model), named
// by its identifier path ("/1/4"). Other code may hang user data on it by kind.
#pragma once

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "geo/Location.h"
#include "oxk/Object.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

namespace oxk {

class ComponentInstance;

class Instance : public Object {
 public:
  // Frozen: the prefix of identifiers given to nodes of content symbols.
  static const util::Symbol s_content_symbolPrefix;

  [[nodiscard]] virtual util::Symbol GetIdPath() const = 0;
  [[nodiscard]] virtual util::Symbol GetName() const = 0;
  // False (out emptied) when the instance is not a placed component.
  virtual bool GetComponentInstance(util::SmartPtr<ComponentInstance>& out) const;
  // The reference host has no SBOM: false, out emptied.
  virtual bool GetSbomInstance(util::SmartPtr<Instance>& out) const;
  // Placement in model coordinates.
  [[nodiscard]] virtual geo::Location GetWorldLocation() const = 0;

  // User data is not owned: whoever adds it removes it before it goes away.
  void AddUserData(int32_t kind, void* data);
  void RemoveUserData(int32_t kind);
  [[nodiscard]] void* GetUserData(int32_t kind) const;

 protected:
  ~Instance() override = default;

 private:
  mutable std::mutex m_userDataMutex;
  std::unordered_map<int32_t, void*> m_userData;
};

}  // namespace oxk
