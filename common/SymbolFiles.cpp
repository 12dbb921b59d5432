#include "common/SymbolFiles.h"

#include "oxk/World.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "util/FileSystem.h"
#include "util/PathParts.h"

namespace oxcommon {

bool TempSymbolsFolderPath(const util::Symbol& file, std::string& path) {
  util::Symbol folder;
  (void)oxkapp::illustration::OrbisApp::GetOrbisApp()->GetTemporaryDirectory(folder);
  if (folder.empty()) {
    return false;
  }
  constexpr char kSep = util::FileSpec::DIR_SEP_CHAR;
  path = folder.str() + kSep + "Symbols" + kSep + file.str();
  return true;
}

void PackedFileUrl(const util::Symbol& file, util::Symbol& url) {
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::MultiRootContainer> container;
  util::SmartPtr<oxk::Structure> structure;
  util::SmartPtr<oxk::Anchor> anchor;
  if (oxk::World::GetWorld(world) && world->GetMultiRootContainer(container) &&
      container->GetPrimaryStructure(structure) && structure->GetAnchor(anchor)) {
    anchor->GetURLForFileSource(file, url, true);
  }
}

void DeleteTempFolder(std::string& folder) {
  if (folder.empty()) {
    return;
  }
  util::FileSystem::DeletePath(folder, false);
  folder.clear();
}

}  // namespace oxcommon
