#include "oxk/Operation.h"

namespace oxk {

void Operation::AddStep(const util::SmartPtr<OperationStep>& step) {
  if (!step) {
    return;
  }
  std::lock_guard<std::mutex> guard(m_mutex);
  m_steps.push_back(step);
}

std::vector<util::SmartPtr<OperationStep>> Operation::GetSteps() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_steps;
}

size_t Operation::GetStepCount() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_steps.size();
}

void Operation::Undo() {
  // Steps run outside the lock: they call back into annotations.
  const std::vector<util::SmartPtr<OperationStep>> steps = GetSteps();
  for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
    (*it)->Undo();
  }
}

void Operation::Redo() {
  for (const auto& step : GetSteps()) {
    step->Redo();
  }
}

}  // namespace oxk
