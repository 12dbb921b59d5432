// Saving: the catalogue written as a library file, crash-safe, and the user's library
// folder made with an empty file when it is missing.
#include <algorithm>

#include "catalogue/LibraryWriter.h"
#include "catalogue/PartslibraryList.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace oxsymbols {

std::string PartslibraryList::BuildLibraryText(bool standard, LibraryCounts* written) const {
  try {
    return detail::LibraryWriter(*this, standard).Build(written);
  } catch (...) {
    return std::string();
  }
}

bool PartslibraryList::WritePartslibraryListToXML() {
  return WritePartslibraryListToXML(GetLibraryFileAndPath(), false);
}

bool PartslibraryList::WritePartslibraryListToXML(const std::string& path, bool standard) {
  try {
    // The whole text first, then one crash-safe replacement of the file.
    const std::string text = detail::LibraryWriter(*this, standard).Build(nullptr);
    (void)util::SafeFileWriter::Write(path, text);
  } catch (...) {
    // Saving reports nothing; the previous file stays as it was.
  }
  return true;
}

bool PartslibraryList::WriteChangesInPartslibraryListToXML(bool standard) {
  if (standard && HaveStandardSymbols()) {
    return WritePartslibraryListToXML(StandardLibraryFileNameAndPath(), true);
  }
  return WritePartslibraryListToXML(GetLibraryFileAndPath(), false);
}

bool PartslibraryList::CanExport() const {
  const auto notShared = [](const auto& entry) { return entry && !entry->IsShared(); };
  return std::any_of(m_ols.begin(), m_ols.end(), notShared) || std::any_of(m_images.begin(), m_images.end(), notShared);
}

void PartslibraryList::CreateLibraryFolderAndDefaultXmlIfNedded() {
  try {
    const std::string library = GetLibraryPath();
    const std::string file = GetLibraryFileAndPath();
    if (util::FileSystem::DirExists(library) && util::FileSystem::FileExists(file)) {
      return;
    }
    (void)util::FileSystem::Mkdir(library);
    (void)util::FileSystem::Mkdir(GetImagePath());
    (void)util::FileSystem::Mkdir(GetOlPath());
    PartslibraryList empty;
    (void)empty.WritePartslibraryListToXML(GetLibraryFileAndPath(), false);
  } catch (...) {
    // A failure shows as a missing library at the next read.
  }
}

}  // namespace oxsymbols
