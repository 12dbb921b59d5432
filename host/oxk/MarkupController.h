// The interface through which the host hands markup changes to their controller.
#pragma once

#include <cstdint>
#include <string>

#include "geo/Location.h"
#include "oxk/Markup.h"
#include "oxk/OperationStep.h"
#include "util/SmartPtr.h"
#include "util/Symbol.h"

namespace oxk {

class MarkupController : public virtual util::RefCounted {
 public:
  // The user changed markup (previous is where it was); false refuses the change.
  virtual bool MarkupUpdated(const util::SmartPtr<Markup>& markup, const geo::Location& previous,
                             const util::SmartPtr<OperationStep>& operation) = 0;
  [[nodiscard]] virtual bool AllowGroupDrag() const = 0;
  virtual void GetMarkupLocation(int32_t index, geo::Location& location) const = 0;
  virtual void SetMarkupLocation(int32_t index, const geo::Location& location) = 0;
  [[nodiscard]] virtual int32_t NumberOfMarkups() const = 0;
  [[nodiscard]] virtual std::string GetMarkupName(int32_t index) const = 0;

 protected:
  ~MarkupController() override = default;
};

}  // namespace oxk
