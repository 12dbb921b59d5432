#include "component/ComponentEntry.h"

#include <new>

#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotation.h"
#include "symbol3d/SymbolAnnotationFlattened.h"

namespace {

// Frozen: the strings hosts ask the factory with.
constexpr const char* kActionCreate = "create";
constexpr const char* kCategoryAnnotation = "annotation";
constexpr const char* kTypeSymbol3D = "symbol3d";
constexpr const char* kTypeSymbol2D = "symbol2d";
constexpr const char* kTypeSymbol3DFlattened = "symbol3dflattened";

enum class Kind { kNone, kSymbol3D, kSymbol2D, kSymbol3DFlattened };

Kind MatchType(const std::string& type) {
  if (type == kTypeSymbol3D) {
    return Kind::kSymbol3D;
  }
  if (type == kTypeSymbol2D) {
    return Kind::kSymbol2D;
  }
  if (type == kTypeSymbol3DFlattened) {
    return Kind::kSymbol3DFlattened;
  }
  return Kind::kNone;
}

// Null when the pool refuses or construction fails.
util::RefCounted* Create(Kind kind) {
  try {
    switch (kind) {
      case Kind::kSymbol3D:
        return new (std::nothrow) oxannotations::SymbolAnnotation();
      case Kind::kSymbol2D:
        return new (std::nothrow) oxannotations::Symbol2D();
      case Kind::kSymbol3DFlattened:
        return new (std::nothrow) oxannotations::SymbolAnnotationFlattened();
      case Kind::kNone:
        return nullptr;
    }
  } catch (...) {
  }
  return nullptr;
}

}  // namespace

extern "C" {

bool OXDllCreateComponent(const std::string& action, const std::string& category, const std::string& type,
                          util::SmartPtr<util::RefCounted>& out) {
  try {
    if (action != kActionCreate) {
      return false;
    }
    if (category != kCategoryAnnotation) {
      return false;
    }
    const Kind kind = MatchType(type);
    if (kind == Kind::kNone) {
      return false;
    }
    // Reset takes the new reference before releasing out's old object.
    out.Reset(Create(kind));
    return true;
  } catch (...) {
    return false;
  }
}

void OXDllInit() {}

void OXDllTerminate() {}
}
