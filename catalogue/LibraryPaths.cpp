// Where the library lives: the catalogue list's path operations, and the rules that
// turn file references between absolute and library-relative forms.
#include "catalogue/LibraryPaths.h"

#include <algorithm>
#include <cctype>

#include "catalogue/HostSettings.h"
#include "catalogue/LibraryNames.h"
#include "catalogue/PartslibraryList.h"
#include "common/ModuleLocalizer.h"
#include "util/FileSystem.h"
#include "util/PathParts.h"

namespace oxsymbols {

namespace {

constexpr char SEP = util::FileSpec::DIR_SEP_CHAR;

std::string UpperCase(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

}  // namespace

namespace detail {

std::string LibraryLocationKey(const std::string& libraryPath) {
  return UpperCase(util::FileSpec(libraryPath).GetLocation(false));
}

bool IsUnderLocation(const std::string& path, const std::string& libraryLocationKey) {
  const std::string location = UpperCase(util::FileSpec(path).GetLocation(false));
  return location.size() > libraryLocationKey.size() &&
         location.compare(0, libraryLocationKey.size(), libraryLocationKey) == 0;
}

void MakeRelative(std::string& path, bool standard, size_t libraryPathLength) {
  const std::string rest = path.size() > libraryPathLength ? path.substr(libraryPathLength) : std::string();
  path = std::string(standard ? names::kStandardPrefix : names::kLibraryFolder) + SEP + rest;
}

void TrimToLibraryFolder(std::string& path, bool image, bool standard) {
  const std::string name = util::FileSpec(path).GetFile();
  path = std::string(standard ? names::kStandardPrefix : names::kLibraryFolder) + SEP +
         (image ? names::kImageFolder : names::kShapeFolder) + SEP + name;
  NormaliseSlashes(path);
}

}  // namespace detail

std::string PartslibraryList::GetLibraryPath() {
  std::string base;
  if (!detail::GetIllustrationBaseUrl(base)) {
    return std::string();
  }
  return detail::NormalisedLocation(base) + SEP + names::kLibraryFolder + SEP;
}

std::string PartslibraryList::GetLibraryFileAndPath() {
  const std::string library = GetLibraryPath();
  if (library.empty()) {
    return std::string();
  }
  return library + names::kLibraryFile;
}

std::string PartslibraryList::GetImagePath() {
  return GetLibraryPath() + names::kImageFolder + SEP;
}

std::string PartslibraryList::GetOlPath() {
  return GetLibraryPath() + names::kShapeFolder + SEP;
}

std::string PartslibraryList::GetXmlFileRelativePath() {
  return std::string(names::kLibraryFolder) + SEP + names::kLibraryFile;
}

std::string PartslibraryList::StandardLibraryFileNameAndPath() {
  util::FileSpec path;
  path.SetLocation(GetLibraryPath());
  path.DirPushBack(names::kStandardFolder);
  path.SetFileExtension(names::kLibraryExtension);
  path.SetFileBaseName(names::kLibraryBaseName);
  return path.GetFileSpec();
}

std::string PartslibraryList::SharedLibraryFileNameAndPath() {
  util::FileSpec path;
  path.SetLocation(detail::GetSharedCacheFolder() + names::kSharedSuffix);
  path.SetFileExtension(names::kLibraryExtension);
  path.SetFileBaseName(names::kLibraryBaseName);
  return path.GetFileSpec();
}

bool PartslibraryList::HaveStandardSymbols() {
  return util::FileSystem::FileExists(StandardLibraryFileNameAndPath());
}

bool PartslibraryList::IsUnderSymbolsLibraryPath(const std::string& path) {
  return detail::IsUnderLocation(path, detail::LibraryLocationKey(GetLibraryPath()));
}

void PartslibraryList::MakeRelativeToSymbolsLibrargyPath(std::string& path, bool standard) {
  detail::MakeRelative(path, standard, GetLibraryPath().size());
}

void PartslibraryList::TrimAbsolutePath(std::string& path, bool image, bool standard) {
  detail::TrimToLibraryFolder(path, image, standard);
}

void PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(std::string& url) {
  if (util::FileSpec::IsAbsolute(url)) {
    return;
  }
  // Without preferences the base is empty and the url ends up rooted at the separator.
  std::string base;
  (void)detail::GetIllustrationBaseUrl(base);
  url = detail::NormalisedLocation(base) + SEP + url;
  detail::NormaliseSlashes(url);
}

void PartslibraryList::CopyDefaultSymbolsToSymbolsLibrary() {}

std::string PartslibraryList::GetLocalizedString(const std::string& key) {
  return oxcommon::ModuleLocalizer().LocalizeMessage(key, util::Localizer::kReturnKey);
}

void PartslibraryList::replaceAll(std::string& text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
}

}  // namespace oxsymbols
