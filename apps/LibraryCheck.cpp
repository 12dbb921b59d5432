#include "LibraryCheck.h"

#include "geo/XmlElem.h"
#include "util/FileSystem.h"
#include "util/Localizer.h"

namespace symbols_tool {

namespace {

// The same texts the catalogue uses for "locid" keys.
const util::Localizer& Messages() {
  static const util::Localizer localizer("oxbase:oxmodulesStrings");
  return localizer;
}

std::string NameOf(const geo::XmlElem* entry) {
  for (size_t i = 0; i < entry->GetNumChildren(); ++i) {
    const geo::XmlElem* child = entry->GetChild(i);
    if (child->GetName() != "name") {
      continue;
    }
    const size_t locid = child->FindAttribute("locid");
    return locid == geo::XmlElem::npos
               ? child->GetText()
               : Messages().LocalizeMessage(child->GetAttributeText(locid), util::Localizer::kReturnKey);
  }
  return std::string();
}

int IntAttribute(const geo::XmlElem* elem, const char* name) {
  int32_t value = 0;
  const size_t index = elem->FindAttribute(name);
  return index != geo::XmlElem::npos && elem->GetAttributeAsInt(index, value) ? value : 0;
}

}  // namespace

void LibraryCheck::Problem(std::ostream& out, const std::string& text) {
  out << "  problem: " << text << "\n";
  ++m_problems;
}

LibraryCheck::FileContents LibraryCheck::Inspect(const std::string& label, const std::string& path, bool isShared,
                                                 bool considered, const std::string& skipReason, std::ostream& out) {
  FileContents contents;
  out << label << " library: " << path << "\n";
  if (!considered) {
    out << "  not read: " << skipReason << "\n";
    return contents;
  }
  if (!util::FileSystem::FileExists(path)) {
    out << "  not read: missing\n";
    return contents;
  }
  std::string text;
  if (!util::FileSystem::ReadFile(path, text)) {
    Problem(out, "not read: the file cannot be read");
    return contents;
  }
  geo::XmlParseError error;
  geo::XmlElem* root = geo::ParseXml(text, false, &error);
  if (root == nullptr) {
    Problem(out, "not read: XML error at line " + std::to_string(error.line) + ", column " +
                     std::to_string(error.column) + ": " + error.message);
    return contents;
  }
  struct Guard {
    geo::XmlElem* root;
    ~Guard() { geo::FreeXml(root); }
  } guard{root};
  if (root->GetName() != "orbis-library") {
    Problem(out,
            std::string("not read: the root element is <") + root->GetName().safe_c_str() + ">, not <orbis-library>");
    return contents;
  }
  if (!isShared && root->GetNumChildren() != 5) {
    Problem(out, "not read: the root element has " + std::to_string(root->GetNumChildren()) +
                     " child elements; units, information, categories, shapes and symbols make 5");
    return contents;
  }
  contents.read = true;
  for (size_t i = 0; i < root->GetNumChildren(); ++i) {
    const geo::XmlElem* section = root->GetChild(i);
    const util::Symbol& name = section->GetName();
    std::vector<FileEntry>* target = name == "categories" ? &contents.categories
                                     : name == "shapes"   ? &contents.shapes
                                     : name == "symbols"  ? &contents.images
                                                          : nullptr;
    if (target == nullptr) {
      continue;
    }
    const char* expected = name == "categories" ? "category" : name == "shapes" ? "shape" : "symbol";
    for (size_t j = 0; j < section->GetNumChildren(); ++j) {
      const geo::XmlElem* entry = section->GetChild(j);
      FileEntry fileEntry;
      fileEntry.name = NameOf(entry);
      if (entry->GetName() == expected) {
        fileEntry.id = IntAttribute(entry, "id");
        fileEntry.categoryId = IntAttribute(entry, "categoryId");
      }
      target->push_back(std::move(fileEntry));
    }
  }
  out << "  read: " << contents.categories.size() << " categories, " << contents.shapes.size() << " shapes, "
      << contents.images.size() << " images\n";
  return contents;
}

void LibraryCheck::CheckReferences(const oxsymbols::PartslibraryList& list, std::ostream& out) {
  const auto check = [&](const char* kind, int id, const char* what, const std::string& path) {
    if (path.empty()) {
      Problem(out, std::string(kind) + " " + std::to_string(id) + ": no " + what + " given");
    } else if (!util::FileSystem::FileExists(path)) {
      Problem(out, std::string(kind) + " " + std::to_string(id) + ": " + what + " not found: " + path);
    }
  };
  for (const auto& ol : list.GetOlList()) {
    check("shape", ol->GetID(), "gallery thumbnail", ol->GetOlGalleryThumbnailUrl());
    check("shape", ol->GetID(), "dialog thumbnail", ol->GetOlDlgThumbnailUrl());
    check("shape", ol->GetID(), "shape file", ol->GetOlUrl());
  }
  for (const auto& image : list.GetImageList()) {
    check("image", image->GetID(), "gallery thumbnail", image->GetImageGalleryThumbnailUrl());
    check("image", image->GetID(), "dialog thumbnail", image->GetImageDlgThumbnailUrl());
    check("image", image->GetID(), "image file", image->GetImageUrl());
  }
}

void LibraryCheck::CheckRenumbering(const oxsymbols::PartslibraryList& list, const std::vector<FileContents>& files,
                                    std::ostream& out) {
  // Merged entries keep file order: shared, then standard, then user.
  size_t ol = 0;
  size_t image = 0;
  size_t userCategory = list.GetCategoryList().size();
  for (const FileContents& file : files) {
    if (file.read && file.user) {
      userCategory -= std::min(userCategory, file.categories.size());
    }
  }
  for (const FileContents& file : files) {
    if (!file.read) {
      continue;
    }
    for (const FileEntry& category : file.categories) {
      util::SmartPtr<oxsymbols::PartslibraryCategoryItem> merged;
      if (file.user) {
        merged = userCategory < list.GetCategoryList().size() ? list.GetCategoryList()[userCategory++] : nullptr;
      } else {
        merged = list.GetCategoryFromCategoryList(category.name);
      }
      if (merged && merged->GetID() != category.id) {
        Problem(out, "category \"" + category.name + "\": identifier " + std::to_string(category.id) +
                         " in its file is " + std::to_string(merged->GetID()) + " in the catalogue");
      }
    }
    const auto compare = [&](const char* kind, const FileEntry& stated, const oxsymbols::PartslibraryItem& merged) {
      if (merged.GetID() != stated.id) {
        Problem(out, std::string(kind) + " \"" + stated.name + "\": identifier " + std::to_string(stated.id) +
                         " in its file is " + std::to_string(merged.GetID()) + " in the catalogue");
      }
      if (merged.GetCategoryID() != stated.categoryId) {
        Problem(out, std::string(kind) + " \"" + stated.name + "\" (" + std::to_string(merged.GetID()) +
                         "): category " + std::to_string(stated.categoryId) + " in its file is " +
                         std::to_string(merged.GetCategoryID()) + " in the catalogue");
      }
    };
    for (const FileEntry& stated : file.shapes) {
      if (ol < list.GetOlList().size()) {
        compare("shape", stated, *list.GetOlList()[ol++]);
      }
    }
    for (const FileEntry& stated : file.images) {
      if (image < list.GetImageList().size()) {
        compare("image", stated, *list.GetImageList()[image++]);
      }
    }
  }
}

size_t LibraryCheck::Run(std::ostream& out) {
  m_problems = 0;
  // The same locations the catalogue computes.
  const std::string library = m_locations.base + "/SymbolsLibrary";
  std::vector<FileContents> files;
  const std::string sharedFile = m_locations.shared.empty()
                                     ? "(no shared folder given)"
                                     : m_locations.shared + "/SymbolsLibrary/PartSymbolLibrary.xml";
  files.push_back(Inspect("shared", sharedFile, true, m_locations.sharedEnabled && !m_locations.shared.empty(),
                          m_locations.sharedEnabled ? "no shared folder given" : "the shared library is switched off",
                          out));
  files.push_back(Inspect("standard", library + "/standard/PartSymbolLibrary.xml", false, true, "", out));
  files.back().standard = true;
  files.push_back(Inspect("user", library + "/PartSymbolLibrary.xml", false, true, "", out));
  files.back().user = true;
  if (!files[0].read && !files[1].read && !files[2].read) {
    out << "  problem: no library file was read\n";
    ++m_problems;
  }

  oxsymbols::PartslibraryList list;
  list.ReadPreferencesXML(false);
  out << "entries:\n";
  const size_t before = m_problems;
  CheckReferences(list, out);
  CheckRenumbering(list, files, out);
  if (m_problems == before) {
    out << "  all file references found, no identifier renumbered\n";
  }
  out << (m_problems == 0 ? "no problems\n" : std::to_string(m_problems) + " problem(s)\n");
  return m_problems;
}

}  // namespace symbols_tool
