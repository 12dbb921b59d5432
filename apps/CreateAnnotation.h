// Makes an annotation through the module's factory, as a host does: the one way the tool
// creates annotations, so that it exercises the module's entry point.
#pragma once

#include <string>

#include "component/ComponentEntry.h"
#include "util/SmartPtr.h"

namespace symbols_tool {

// An annotation of the given type ("symbol3d", "symbol2d", "symbol3dflattened"), or an
// empty pointer when the module makes none or makes one of another class.
template <class T>
[[nodiscard]] util::SmartPtr<T> CreateAnnotation(const std::string& type) {
  util::SmartPtr<util::RefCounted> made;
  if (!OXDllCreateComponent("create", "annotation", type, made)) {
    return {};
  }
  return util::DynamicCast<T>(made);
}

}  // namespace symbols_tool
