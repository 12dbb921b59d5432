// A minimal host: loads the installed module, creates a symbol through its factory,
// and reads the installed sample library with the exported catalogue classes.
#include <dlfcn.h>
#include <orrinsymbols/catalogue/PartslibraryList.h>
#include <orrinsymbols/oxk/Annotation.h>
#include <orrinsymbols/oxk/Preferences.h>
#include <orrinsymbols/oxk/World.h>
#include <orrinsymbols/util/SmartPtr.h>
#include <orrinsymbols/util/Symbol.h>

#include <cstdio>
#include <string>

// The host's own header of the same name as one of the package's.
#include "util/Symbol.h"

namespace {

using CreateComponent = bool (*)(const std::string&, const std::string&, const std::string&,
                                 util::SmartPtr<util::RefCounted>&);

int Fail(const std::string& why) {
  std::fprintf(stderr, "consumer: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main() {
  void* module = dlopen(ORRIN_SYMBOLS_MODULE, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    return Fail(std::string("cannot load the module: ") + dlerror());
  }
  auto create = reinterpret_cast<CreateComponent>(dlsym(module, "OXDllCreateComponent"));
  if (create == nullptr) {
    return Fail("the module has no OXDllCreateComponent");
  }
  util::SmartPtr<util::RefCounted> object;
  if (!create("create", "annotation", "symbol3d", object) || !object) {
    return Fail("the factory made no symbol3d");
  }
  auto* annotation = dynamic_cast<oxk::Annotation*>(object.get());
  if (annotation == nullptr || annotation->GetClass().str().empty()) {
    return Fail("the factory's object is not an annotation with a class");
  }

  util::SmartPtr<oxk::World> world(new oxk::World());
  util::SmartPtr<oxk::Preferences> preferences(new oxk::Preferences());
  preferences->SetBaseURL(util::Symbol(ORRIN_SYMBOLS_SAMPLES));
  world->SetIllustrationPreferences(preferences);
  oxk::World::SetWorld(world);
  util::SmartPtr<oxsymbols::PartslibraryList> library(new oxsymbols::PartslibraryList());
  library->ReadPreferencesXML(false);
  if (library->GetOlList().empty() || library->GetImageList().empty()) {
    return Fail("the installed sample library has no shapes or no images");
  }
  std::printf("%s: %s from the factory; %zu shapes and %zu images in the sample library\n", consumer_util::kGreeting,
              annotation->GetClass().str().c_str(), library->GetOlList().size(), library->GetImageList().size());
  object.Reset();
  oxk::World::SetWorld({});
  return 0;
}
