// The symbol library catalogue: categories, 3D shape entries and 2D image entries with
// the library's units and information texts. It keeps identifiers unique, files entries
// into their categories, merges the shared, standard and user library files into one
// catalogue, writes library files back, and knows where the library lives on disk.
//
// Every operation reports failure through its result (or, for loading and saving, not
// at all) and never throws. The protected operations give a tool built on the catalogue
// what loading and saving found out, without changing what the public ones do.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "orrinsymbols/catalogue/LibraryCounts.h"
#include "orrinsymbols/catalogue/LibraryOrigin.h"
#include "orrinsymbols/catalogue/LoadReport.h"
#include "orrinsymbols/catalogue/PartslibraryCategoryItem.h"
#include "orrinsymbols/catalogue/PartslibraryImageItem.h"
#include "orrinsymbols/catalogue/PartslibraryItem.h"
#include "orrinsymbols/catalogue/PartslibraryOlItem.h"
#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace geo {
class XmlElem;
}

namespace oxsymbols {

namespace detail {
class LibraryWriter;
struct ReadContext;
}  // namespace detail

using CategoryList = std::vector<util::SmartPtr<PartslibraryCategoryItem>>;
using OlList = std::vector<util::SmartPtr<PartslibraryOlItem>>;
using ImageList = std::vector<util::SmartPtr<PartslibraryImageItem>>;

class OXSYMBOLS_EXPORT PartslibraryList : public util::RefCounted {
 public:
  PartslibraryList() = default;
  PartslibraryList(const PartslibraryList& other);
  PartslibraryList(PartslibraryList&& other) noexcept;
  PartslibraryList& operator=(const PartslibraryList& other);
  PartslibraryList& operator=(PartslibraryList&& other) noexcept;
  ~PartslibraryList() override;

  // Drops every category and entry; units and information stay. The memory of a large
  // catalogue goes back to the system.
  void Clear();

  [[nodiscard]] const CategoryList& GetCategoryList() const { return m_categories; }
  [[nodiscard]] const OlList& GetOlList() const { return m_ols; }
  [[nodiscard]] const ImageList& GetImageList() const { return m_images; }
  [[nodiscard]] const std::string& GetUnits() const { return m_units; }
  void SetUnits(const std::string& units) { m_units = units; }
  [[nodiscard]] const std::string& GetInformation() const { return m_information; }
  void SetInformation(const std::string& information) { m_information = information; }

  // First match in list order; empty when none (names compare byte for byte).
  [[nodiscard]] util::SmartPtr<PartslibraryCategoryItem> GetCategoryFromCategoryList(const std::string& name) const;
  [[nodiscard]] util::SmartPtr<PartslibraryCategoryItem> GetCategoryFromCategoryList(int id) const;
  [[nodiscard]] util::SmartPtr<PartslibraryImageItem> GetImageFromImageList(int id) const;
  [[nodiscard]] util::SmartPtr<PartslibraryOlItem> GetOlFromOlList(int id) const;
  // False (out untouched) when no entry has the identifier.
  bool GetImageSequencerTagsByID(int id, SequencerTagList& out) const;
  bool GetOlSequencerTagsByID(int id, SequencerTagList& out) const;

  // One more than the largest identifier in use (at least 1); once that would pass the
  // largest int, the smallest positive identifier not in use.
  [[nodiscard]] int CalculateIdForNewCategoryInList() const;
  [[nodiscard]] int CalculateIdForNewImageInList() const;
  [[nodiscard]] int CalculateIdForNewShapeInList() const;

  // Adding renumbers an entry whose identifier is taken to the next new identifier, in
  // place, and files shapes and images into their categories.
  void AddCategoryItem(util::SmartPtr<PartslibraryCategoryItem> category);
  void AddImageItem(util::SmartPtr<PartslibraryImageItem> image);
  void AddOlItem(util::SmartPtr<PartslibraryOlItem> ol);
  // Removes the first entry with the identifier from the list (not from its category).
  void DeleteImageItem(int id);
  void DeleteOlItem(int id);
  void SetCategoryList(const CategoryList& categories);

  // Rebuilds the catalogue from the shared, standard and (unless skipped) user library.
  void ReadPreferencesXML(bool skipUserLibrary);

  // Saving returns true in every case; the file is replaced atomically or not at all.
  bool WritePartslibraryListToXML();
  bool WritePartslibraryListToXML(const std::string& path, bool standard);
  bool WriteChangesInPartslibraryListToXML(bool standard);
  // True when some shape or image entry is not from the shared library.
  [[nodiscard]] bool CanExport() const;

  // Library locations.
  [[nodiscard]] static std::string GetLibraryFileAndPath();
  [[nodiscard]] static std::string GetImagePath();
  [[nodiscard]] static std::string GetOlPath();
  static void CheckRelativeUrlAndConcatIfNeeded(std::string& url);
  static void CopyDefaultSymbolsToSymbolsLibrary();
  static void CreateLibraryFolderAndDefaultXmlIfNedded();
  static void replaceAll(std::string& text, char from, char to);

 protected:
  void AppendPartslibraryItem(util::SmartPtr<PartslibraryItem> item);

  // ReadPreferencesXML that also says, in report, what each library file gave and which
  // entries the load renumbered or re-filed.
  void ReadPreferencesXML(bool skipUserLibrary, LoadReport& report);
  // Reads one library file alone into this list, by the rules of that library.
  void ReadLibraryFile(const std::string& path, LibraryOrigin origin, LoadReport& report);
  // The text the writer saves, in standard or user mode; written counts what it holds.
  // Empty when there was no memory for it.
  [[nodiscard]] std::string BuildLibraryText(bool standard, LibraryCounts* written = nullptr) const;

 private:
  // From this many entries on, a catalogue is large enough for its release to hand the
  // freed memory back to the system.
  static constexpr size_t kLargeCatalogue = 10000;

  // White-box access for the module's own tests, benchmarks and fuzzer.
  friend class PartslibraryListAccess;
  friend class detail::LibraryWriter;

  void AddPartslibraryList(const PartslibraryList& other);
  // The same for a list that is discarded afterwards: its references are moved over.
  void AddPartslibraryList(PartslibraryList&& other, LoadReport* report, LibraryOrigin origin);
  void MergeLists(CategoryList incomingCategories, OlList incomingOls, ImageList incomingImages, LoadReport* report,
                  LibraryOrigin origin);
  void ReadLibraries(bool skipUserLibrary, LoadReport* report);
  // Reads one library file, or a document given as text, into this list; file, when
  // given, says what came of it.
  void ReadSource(const std::string& source, LibraryOrigin origin, LoadReport* report, LibraryFileReport* file);
  // With releaseAsRead (a tree of our own), each entry's part of the tree is let go of once
  // it is read, so that the parsed file does not stay whole beside the catalogue.
  void ReadDocument(geo::XmlElem* root, LibraryOrigin origin, LoadReport* report, LibraryFileReport* file,
                    bool releaseAsRead = false);
  void ParseFromFile(const std::string& source, bool isShared, bool isStandard);
  void CreateListFromXml(geo::XmlElem* root, bool isShared, bool isStandard);
  void CreateCategoryListFromXml(geo::XmlElem* container, bool isShared, bool isStandard);
  void CreateOlListFromXml(geo::XmlElem* container, bool isShared, bool isStandard);
  void CreateImageListFromXml(geo::XmlElem* container, bool isShared, bool isStandard);
  // Lets go of an entry of the tree being read once it is read, when the tree is ours.
  void ReleaseRead(geo::XmlElem* container, size_t index) const;
  // Files an entry of the given kind into its category (the rule of AppendPartslibraryItem).
  void FileIntoCategory(util::SmartPtr<PartslibraryItem> item, EntryKind kind);
  // While a file is read: records a changed identifier or category in the load report.
  void NoteChange(EntryKind kind, const PartslibraryItemBase& entry, RenumberedEntry::Change change, int from,
                  int to) const;

  static std::string GetLibraryPath();
  static std::string GetXmlFileRelativePath();
  static std::string StandardLibraryFileNameAndPath();
  static std::string SharedLibraryFileNameAndPath();
  static bool HaveStandardSymbols();
  static bool IsUnderSymbolsLibraryPath(const std::string& path);
  static void MakeRelativeToSymbolsLibrargyPath(std::string& path, bool standard);
  static void TrimAbsolutePath(std::string& path, bool image, bool standard);
  static std::string GetLocalizedString(const std::string& key);

  std::string m_units;
  std::string m_information;
  CategoryList m_categories;
  std::map<int, util::SmartPtr<PartslibraryCategoryItem>> m_categoryById;
  OlList m_ols;
  ImageList m_images;
  // Set while a file is read: the identifier index and where to report changes.
  detail::ReadContext* m_reading = nullptr;
};

}  // namespace oxsymbols
