// Objects whose lifetime the host manages once handed over (pending events, observers):
// ManageObject keeps a reference to the object until it is let go.
#pragma once

#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace objm {

class ManagedObject : public virtual util::RefCounted {
 public:
  // Called on the manager (the kernel): keeps object alive until ReleaseObject.
  virtual void ManageObject(const util::SmartPtr<ManagedObject>& object);
  virtual void ReleaseObject(const util::SmartPtr<ManagedObject>& object);
  // Whether this manager currently keeps object alive.
  [[nodiscard]] virtual bool IsManaging(const ManagedObject* object) const;

 protected:
  ~ManagedObject() override;
};

}  // namespace objm
