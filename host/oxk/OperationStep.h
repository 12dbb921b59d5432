// One undoable step of a user operation (a move, a resize, a visibility change).
#pragma once

#include "oxk/Object.h"

namespace oxk {

class OperationStep : public Object {
 protected:
  ~OperationStep() override = default;
};

}  // namespace oxk
