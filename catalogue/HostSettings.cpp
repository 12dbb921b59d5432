#include "catalogue/HostSettings.h"

#include "conc/OxInfo.h"
#include "oxk/World.h"
#include "util/PathParts.h"

namespace oxsymbols::detail {

bool GetIllustrationBaseUrl(std::string& base) {
  util::SmartPtr<oxk::World> world;
  if (!oxk::World::GetWorld(world)) {
    return false;
  }
  util::SmartPtr<oxk::Preferences> preferences;
  if (!world->GetIllustrationPreferences(preferences)) {
    return false;
  }
  base = preferences->GetBaseURL().str();
  return true;
}

std::string GetSharedCacheFolder() {
  util::Symbol folder;
  // An unconfigured folder leaves the symbol empty, which is all we need to know.
  (void)conc::OxInfo::GetOrrinSharedCachePrefsDir(folder);
  return folder.str();
}

bool IsSharedLibraryInUse() {
  util::SmartPtr<oxk::World> world;
  return oxk::World::GetWorld(world) && world->IsSharedLibraryEnabled();
}

std::string NormalisedLocation(const std::string& location) {
  util::FileSpec path;
  path.SetLocation(location);
  return path.GetFileSpec();
}

void NormaliseSlashes(std::string& text) {
  for (char& c : text) {
    if (c == '\\') {
      c = '/';
    }
  }
}

}  // namespace oxsymbols::detail
