// The interface through which the host hands markup changes to their controller.
#pragma once

#include <cstdint>
#include <string>

#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/oxk/Markup.h"
#include "orrinsymbols/oxk/Operation.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class MarkupController : public virtual util::RefCounted {
 public:
  // The user changed markup; previous is the markup's shadow, which still holds what the
  // user changed it from. The controller records undo steps in operation (may be empty).
  // False refuses the change.
  virtual bool MarkupUpdated(const util::SmartPtr<Markup>& markup, const util::SmartPtr<Markup>& previous,
                             const util::SmartPtr<Operation>& operation) = 0;
  [[nodiscard]] virtual bool AllowGroupDrag() const = 0;
  virtual void GetMarkupLocation(int32_t index, geo::Location& location) const = 0;
  virtual void SetMarkupLocation(int32_t index, const geo::Location& location) = 0;
  [[nodiscard]] virtual int32_t NumberOfMarkups() const = 0;
  [[nodiscard]] virtual std::string GetMarkupName(int32_t index) const = 0;

 protected:
  ~MarkupController() override = default;
};

}  // namespace oxk
