// Shared set-up for the catalogue tests: a scratch library folder wired into the host's
// preferences, and access to the catalogue list's internal steps.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "catalogue/PartslibraryList.h"
#include "conc/OxInfo.h"
#include "oxk/Preferences.h"
#include "oxk/World.h"
#include "util/FileSystem.h"

namespace oxsymbols {

class PartslibraryListAccess {
 public:
  static void Parse(PartslibraryList& list, const std::string& source, bool isShared, bool isStandard) {
    list.ParseFromFile(source, isShared, isStandard);
  }
  static void Merge(PartslibraryList& into, const PartslibraryList& other) { into.AddPartslibraryList(other); }
  static void Append(PartslibraryList& list, util::SmartPtr<PartslibraryItem> item) {
    list.AppendPartslibraryItem(std::move(item));
  }
  static std::string Text(const PartslibraryList& list, bool standard) { return list.BuildLibraryText(standard); }
  static void Read(PartslibraryList& list, bool skipUser, LoadReport& report) {
    list.ReadPreferencesXML(skipUser, report);
  }
  static void ReadOne(PartslibraryList& list, const std::string& path, LibraryOrigin origin, LoadReport& report) {
    list.ReadLibraryFile(path, origin, report);
  }
  static std::string LibraryPath() { return PartslibraryList::GetLibraryPath(); }
  static std::string StandardFile() { return PartslibraryList::StandardLibraryFileNameAndPath(); }
  static std::string SharedFile() { return PartslibraryList::SharedLibraryFileNameAndPath(); }
  static std::string RelativeXml() { return PartslibraryList::GetXmlFileRelativePath(); }
  static bool HaveStandard() { return PartslibraryList::HaveStandardSymbols(); }
  static bool IsUnder(const std::string& path) { return PartslibraryList::IsUnderSymbolsLibraryPath(path); }
  static void MakeRelative(std::string& path, bool standard) {
    PartslibraryList::MakeRelativeToSymbolsLibrargyPath(path, standard);
  }
  static void Trim(std::string& path, bool image, bool standard) {
    PartslibraryList::TrimAbsolutePath(path, image, standard);
  }
  static std::string Localized(const std::string& key) { return PartslibraryList::GetLocalizedString(key); }
};

// A fresh base folder (illustration preferences) and shared cache folder per test.
class ScratchLibrary {
 public:
  explicit ScratchLibrary(const std::string& name) {
    root = std::filesystem::temp_directory_path() / ("oxsymbols-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "base");
    std::filesystem::create_directories(root / "shared");
    base = (root / "base").string();
    shared = (root / "shared").string();
    util::SmartPtr<oxk::World> world(new oxk::World());
    util::SmartPtr<oxk::Preferences> preferences(new oxk::Preferences());
    preferences->SetBaseURL(util::Symbol(base));
    world->SetIllustrationPreferences(preferences);
    oxk::World::SetWorld(world);
    conc::OxInfo::SetOrrinSharedCachePrefsDir(util::Symbol(shared));
  }
  ScratchLibrary(const ScratchLibrary&) = delete;
  ScratchLibrary& operator=(const ScratchLibrary&) = delete;
  ~ScratchLibrary() {
    oxk::World::SetWorld(util::SmartPtr<oxk::World>());
    conc::OxInfo::SetOrrinSharedCachePrefsDir(util::Symbol());
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }

  void EnableShared(bool enabled) const {
    util::SmartPtr<oxk::World> world;
    if (oxk::World::GetWorld(world)) {
      world->SetSharedLibraryEnabled(enabled);
    }
  }
  std::string UserFile() const { return base + "/SymbolsLibrary/PartSymbolLibrary.xml"; }
  std::string StandardFile() const { return base + "/SymbolsLibrary/standard/PartSymbolLibrary.xml"; }
  std::string SharedFile() const { return shared + "/SymbolsLibrary/PartSymbolLibrary.xml"; }

  static void Put(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  static std::string Get(const std::string& path) {
    std::string text;
    (void)util::FileSystem::ReadFile(path, text);
    return text;
  }

  std::filesystem::path root;
  std::string base;
  std::string shared;
};

// A library document with the given sections' inner text.
inline std::string LibraryDoc(const std::string& categories, const std::string& shapes = "",
                              const std::string& symbols = "", const std::string& units = "mm") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<orbis-library><units>" + units +
         "</units><information>info</information><categories>" + categories + "</categories><shapes>" + shapes +
         "</shapes><symbols>" + symbols + "</symbols></orbis-library>\n";
}

}  // namespace oxsymbols
