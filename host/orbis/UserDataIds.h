// Kinds of user data the host attaches to tree instances.
#pragma once

#include "orrinsymbols/util/Symbol.h"

namespace orbis {

// Frozen: the tree instance of a 3D symbol's node carries its annotation under this kind.
extern const util::Symbol Orbis3DSymbolUserDataId;

}  // namespace orbis
