// One undoable step of a user operation (a move, a resize, a visibility change): it
// knows how to put its change back and how to make it again.
#pragma once

#include "orrinsymbols/oxk/Object.h"

namespace oxk {

class OperationStep : public Object {
 public:
  virtual void Undo() {}
  virtual void Redo() {}

 protected:
  ~OperationStep() override = default;
};

}  // namespace oxk
