#include "ToolSetup.h"

#include <unistd.h>

#include <filesystem>

#include "Utf8Text.h"
#include "catalogue/LibraryNames.h"
#include "conc/OxInfo.h"
#include "oxk/Preferences.h"
#include "oxk/World.h"
#include "util/FileSystem.h"

namespace symbols_tool {

std::string ToolSetup::SampleBase() {
  char buffer[4096];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length > 0) {
    const std::filesystem::path folder =
        std::filesystem::path(std::string(buffer, static_cast<size_t>(length))).parent_path();
    // Built: beside the tool. Installed: in the data folder of the prefix.
    for (const std::filesystem::path& candidate :
         {folder / "samples", (folder / ".." / "share" / "orrinsymbols" / "samples").lexically_normal()}) {
      if (util::FileSystem::DirExists((candidate / "SymbolsLibrary").string())) {
        return candidate.string();
      }
    }
  }
  return SYMBOLS_SAMPLES_FALLBACK;
}

bool ToolSetup::Install(const Locations& locations, std::string& error) {
  if (!util::FileSystem::DirExists(locations.base)) {
    error = "base folder does not exist: " + locations.base;
    return false;
  }
  if (!locations.shared.empty() && !util::FileSystem::DirExists(locations.shared)) {
    error = "shared folder does not exist: " + locations.shared;
    return false;
  }
  util::SmartPtr<oxk::World> world(new oxk::World());
  util::SmartPtr<oxk::Preferences> preferences(new oxk::Preferences());
  preferences->SetBaseURL(util::Symbol(std::filesystem::absolute(locations.base).lexically_normal().string()));
  world->SetIllustrationPreferences(preferences);
  world->SetSharedLibraryEnabled(locations.sharedEnabled);
  oxk::World::SetWorld(world);
  if (!locations.shared.empty()) {
    conc::OxInfo::SetOrrinSharedCachePrefsDir(
        util::Symbol(std::filesystem::absolute(locations.shared).lexically_normal().string()));
  }
  return true;
}

std::vector<std::string> ThumbnailFolders(const Locations& locations) {
  std::vector<std::string> folders = {locations.base + "/" + oxsymbols::names::kLibraryFolder};
  if (!locations.shared.empty()) {
    folders.push_back(locations.shared + "/" + oxsymbols::names::kLibraryFolder);
  }
  return folders;
}

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (const wchar_t wide : text) {
    AppendUtf8(static_cast<uint32_t>(wide), out);
  }
  return out;
}

}  // namespace symbols_tool
