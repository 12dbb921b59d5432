// The module's entry points, looked up by name after the host loads the module.
//
// Ownership: OXDllCreateComponent stores a new object in the caller's `out` pointer,
// which then holds the one reference the factory adds; the caller releases it through
// `out`. The module keeps no reference and no registry of what it made. No exception
// leaves these functions.
#pragma once

#include <string>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

extern "C" {

// action "create", category "annotation", type "symbol3d" | "symbol2d" |
// "symbol3dflattened" (exact bytes). False, with out untouched, for anything else.
// True with out empty when the object could not be allocated.
OXSYMBOLS_EXPORT bool OXDllCreateComponent(const std::string& action, const std::string& category,
                                           const std::string& type, util::SmartPtr<util::RefCounted>& out);
OXSYMBOLS_EXPORT void OXDllInit();
OXSYMBOLS_EXPORT void OXDllTerminate();
}
