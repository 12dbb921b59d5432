// A user operation as the undo history keeps it: the steps it made, in order. Undo puts
// them back last first; Redo makes them again in order.
#pragma once

#include <mutex>
#include <vector>

#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/oxk/OperationStep.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk {

class Operation : public Object {
 public:
  Operation() = default;

  // Ignores an empty step.
  void AddStep(const util::SmartPtr<OperationStep>& step);
  [[nodiscard]] std::vector<util::SmartPtr<OperationStep>> GetSteps() const;
  [[nodiscard]] size_t GetStepCount() const;

  void Undo();
  void Redo();

 protected:
  ~Operation() override = default;

 private:
  mutable std::mutex m_mutex;
  std::vector<util::SmartPtr<OperationStep>> m_steps;
};

}  // namespace oxk
