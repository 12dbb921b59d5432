// Loading: the shared, standard and user library files read into one catalogue, each
// file's document read section by section, and, for callers that ask, a report of what
// each file gave and why a file gave nothing.
#include <new>
#include <string_view>

#include "catalogue/EntryReader.h"
#include "catalogue/HostSettings.h"
#include "catalogue/LibraryNames.h"
#include "catalogue/PartslibraryList.h"
#include "catalogue/ReadContext.h"
#include "geo/XmlElem.h"
#include "util/FileSystem.h"

namespace oxsymbols {

namespace {

using Status = LibraryFileReport::Status;

// The tree is released whatever happens while it is read.
class TreeGuard {
 public:
  explicit TreeGuard(geo::XmlElem* root) : m_root(root) {}
  TreeGuard(const TreeGuard&) = delete;
  TreeGuard& operator=(const TreeGuard&) = delete;
  ~TreeGuard() { geo::FreeXml(m_root); }

 private:
  geo::XmlElem* m_root;
};

bool IsDocumentText(const std::string& source) {
  const std::string_view start = names::kDeclarationStart;
  return source.size() >= start.size() && source.compare(0, start.size(), start) == 0;
}

void SetXmlError(LibraryFileReport& file, const geo::XmlParseError& error) {
  file.status = Status::kXmlError;
  file.reason = error.message;
  file.line = error.line;
  file.column = error.column;
}

// Why the fast read of a file gave no tree: asked only when a report wants to know. A
// file that parses now after all is read as usual.
geo::XmlElem* Diagnose(const std::string& path, LibraryFileReport& file) {
  std::string error;
  switch (util::FileSystem::GetKind(path, &error)) {
    case util::FileKind::kMissing:
      file.status = error.empty() ? Status::kMissing : Status::kUnreadable;
      file.reason = error;
      return nullptr;
    case util::FileKind::kDirectory:
    case util::FileKind::kOther:
      file.status = Status::kNotRegular;
      return nullptr;
    case util::FileKind::kRegular:
      break;
  }
  std::string text;
  if (!util::FileSystem::ReadFile(path, text, error)) {
    file.status = Status::kUnreadable;
    file.reason = error;
    return nullptr;
  }
  geo::XmlParseError parseError;
  geo::XmlElem* root = geo::ParseXml(text, false, &parseError);
  if (root == nullptr) {
    SetXmlError(file, parseError);
  }
  return root;
}

// Clears the list's reading state when a file is done, however it ends.
class ReadingScope {
 public:
  ReadingScope(detail::ReadContext*& slot, detail::ReadContext* context) : m_slot(slot), m_previous(slot) {
    slot = context;
  }
  ReadingScope(const ReadingScope&) = delete;
  ReadingScope& operator=(const ReadingScope&) = delete;
  ~ReadingScope() { m_slot = m_previous; }

 private:
  detail::ReadContext*& m_slot;
  detail::ReadContext* m_previous;
};

}  // namespace

void PartslibraryList::ReadPreferencesXML(bool skipUserLibrary) {
  ReadLibraries(skipUserLibrary, nullptr);
}

void PartslibraryList::ReadPreferencesXML(bool skipUserLibrary, LoadReport& report) {
  report = LoadReport();
  ReadLibraries(skipUserLibrary, &report);
}

void PartslibraryList::ReadLibraryFile(const std::string& path, LibraryOrigin origin, LoadReport& report) {
  report = LoadReport();
  try {
    report.files.reserve(1);
    report.files.emplace_back();
    LibraryFileReport& file = report.files.back();
    file.origin = origin;
    file.path = path;
    try {
      Clear();
      ReadSource(path, origin, &report, &file);
    } catch (...) {
      file.status = Status::kIncomplete;
      file.reason = "out of memory";
    }
  } catch (...) {
    // No room even for the report: it stays empty.
  }
}

void PartslibraryList::ReadLibraries(bool skipUserLibrary, LoadReport* report) {
  // The report of the file being read, or null when no report was asked for.
  LibraryFileReport* file = nullptr;
  const auto begin = [&](LibraryOrigin origin, std::string path) {
    if (report != nullptr) {
      report->files.emplace_back();
      file = &report->files.back();
      file->origin = origin;
      file->path = std::move(path);
    }
  };
  const auto notConsidered = [&](const char* reason) {
    if (file != nullptr) {
      file->status = Status::kNotConsidered;
      file->reason = reason;
    }
  };
  try {
    if (report != nullptr) {
      report->files.reserve(3);  // the pointer to the current file stays valid
    }
    Clear();
    const std::string sharedPath = SharedLibraryFileNameAndPath();
    begin(LibraryOrigin::kShared, sharedPath);
    if (detail::IsSharedLibraryInUse()) {
      PartslibraryList shared;
      shared.ReadSource(sharedPath, LibraryOrigin::kShared, report, file);
      AddPartslibraryList(std::move(shared), report, LibraryOrigin::kShared);
    } else {
      notConsidered("the shared library is switched off");
    }

    const std::string standardPath = StandardLibraryFileNameAndPath();
    begin(LibraryOrigin::kStandard, standardPath);
    // One look at the file both decides the read (as HaveStandardSymbols would) and says
    // why there was none.
    const util::FileKind standardKind = util::FileSystem::GetKind(standardPath);
    if (standardKind == util::FileKind::kRegular) {
      PartslibraryList standard;
      standard.ReadSource(standardPath, LibraryOrigin::kStandard, report, file);
      AddPartslibraryList(std::move(standard), report, LibraryOrigin::kStandard);
    } else if (file != nullptr) {
      file->status = standardKind == util::FileKind::kMissing ? Status::kMissing : Status::kNotRegular;
    }

    const std::string user = GetLibraryFileAndPath();
    begin(LibraryOrigin::kUser, user);
    if (skipUserLibrary) {
      notConsidered("not asked for");
    } else if (user.empty()) {
      notConsidered("the host has no illustration preferences");
    } else {
      ReadSource(user, LibraryOrigin::kUser, report, file);
    }
  } catch (...) {
    // Out of memory while loading: whatever was read so far stays.
    if (file != nullptr) {
      file->status = Status::kIncomplete;
      file->reason = "out of memory";
    }
  }
}

void PartslibraryList::ParseFromFile(const std::string& source, bool isShared, bool isStandard) {
  ReadSource(source, OriginOf(isShared, isStandard), nullptr, nullptr);
}

void PartslibraryList::ReadSource(const std::string& source, LibraryOrigin origin, LoadReport* report,
                                  LibraryFileReport* file) {
  geo::XmlElem* root = nullptr;
  if (IsDocumentText(source)) {
    // Frozen: a source starting with an XML declaration is the document itself.
    geo::XmlParseError error;
    root = geo::ParseXml(source, false, file != nullptr ? &error : nullptr);
    if (root == nullptr && file != nullptr) {
      SetXmlError(*file, error);
    }
  } else {
    root = geo::ParseXmlFile(source, false);
    if (root == nullptr && file != nullptr) {
      root = Diagnose(source, *file);
    }
  }
  if (root == nullptr) {
    return;
  }
  const TreeGuard guard(root);
  ReadDocument(root, origin, report, file, true);
}

void PartslibraryList::CreateListFromXml(geo::XmlElem* root, bool isShared, bool isStandard) {
  ReadDocument(root, OriginOf(isShared, isStandard), nullptr, nullptr);
}

void PartslibraryList::ReadDocument(geo::XmlElem* root, LibraryOrigin origin, LoadReport* report,
                                    LibraryFileReport* file, bool releaseAsRead) {
  if (root == nullptr) {
    return;
  }
  if (root->GetName() != names::kRoot) {
    if (file != nullptr) {
      file->status = Status::kWrongRoot;
      file->reason = root->GetName().str();
    }
    return;
  }
  // Standard and user files carry exactly units, information and the three sections.
  if (!IsSharedOrigin(origin) && root->GetNumChildren() != 5) {
    if (file != nullptr) {
      file->status = Status::kWrongChildCount;
      file->rootChildren = root->GetNumChildren();
    }
    return;
  }
  detail::ReadContext context(m_categories, m_ols, m_images, m_categoryById, origin, report);
  context.releaseAsRead = releaseAsRead;
  const ReadingScope scope(m_reading, &context);
  const size_t categoriesBefore = m_categories.size();
  const size_t olsBefore = m_ols.size();
  const size_t imagesBefore = m_images.size();
  const bool isShared = IsSharedOrigin(origin);
  const bool isStandard = IsStandardOrigin(origin);
  for (size_t i = 0; i < root->GetNumChildren(); ++i) {
    geo::XmlElem* child = root->GetChild(i);
    const util::Symbol& name = child->GetName();
    if (name == names::kUnits) {
      m_units = child->GetTextRaw();
    } else if (name == names::kInformation) {
      m_information = child->GetTextRaw();
    } else if (name == names::kCategories) {
      CreateCategoryListFromXml(child, isShared, isStandard);
    } else if (name == names::kShapes) {
      CreateOlListFromXml(child, isShared, isStandard);
    } else if (name == names::kSymbols) {
      CreateImageListFromXml(child, isShared, isStandard);
    }
    if (releaseAsRead) {
      root->ReleaseChild(i);
    }
  }
  if (file != nullptr) {
    file->status = Status::kRead;
    file->counts = {m_categories.size() - categoriesBefore, m_ols.size() - olsBefore, m_images.size() - imagesBefore};
  }
}

void PartslibraryList::ReleaseRead(geo::XmlElem* container, size_t index) const {
  if (m_reading != nullptr && m_reading->releaseAsRead) {
    container->ReleaseChild(index);
  }
}

void PartslibraryList::CreateCategoryListFromXml(geo::XmlElem* container, bool isShared, bool isStandard) {
  const detail::EntryReader reader(OriginOf(isShared, isStandard));
  m_categories.reserve(m_categories.size() + container->GetNumChildren());
  for (size_t i = 0; i < container->GetNumChildren(); ++i) {
    AddCategoryItem(reader.ReadCategory(container->GetChild(i)));
    ReleaseRead(container, i);
  }
}

void PartslibraryList::CreateOlListFromXml(geo::XmlElem* container, bool isShared, bool isStandard) {
  const detail::EntryReader reader(OriginOf(isShared, isStandard));
  m_ols.reserve(m_ols.size() + container->GetNumChildren());
  for (size_t i = 0; i < container->GetNumChildren(); ++i) {
    AddOlItem(reader.ReadShape(container->GetChild(i)));
    ReleaseRead(container, i);
  }
}

void PartslibraryList::CreateImageListFromXml(geo::XmlElem* container, bool isShared, bool isStandard) {
  const detail::EntryReader reader(OriginOf(isShared, isStandard));
  m_images.reserve(m_images.size() + container->GetNumChildren());
  for (size_t i = 0; i < container->GetNumChildren(); ++i) {
    AddImageItem(reader.ReadImage(container->GetChild(i)));
    ReleaseRead(container, i);
  }
}

}  // namespace oxsymbols
