#include "orbis/UserDataIds.h"

namespace orbis {

const util::Symbol Orbis3DSymbolUserDataId("Orbis3DSymbolUserDataId");

}  // namespace orbis
