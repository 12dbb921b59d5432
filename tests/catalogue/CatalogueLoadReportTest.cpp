// What a load of the catalogue reports about each library file and about the entries
// it renumbered, and that asking for the report changes nothing of the catalogue.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CatalogueTestSupport.h"

namespace oxsymbols {
namespace {

using Access = PartslibraryListAccess;
using Status = LibraryFileReport::Status;
using Change = RenumberedEntry::Change;

std::string Shape(int id, int category, const std::string& name) {
  return "<shape id=\"" + std::to_string(id) + "\" categoryId=\"" + std::to_string(category) + "\"><name>" + name +
         "</name></shape>";
}

TEST(CatalogueLoadReport, EachFileSaysWhetherItWasReadAndWhyNot) {
  ScratchLibrary scratch("report-files");
  scratch.EnableShared(true);
  ScratchLibrary::Put(scratch.SharedFile(), "<?xml version=\"1.0\"?>\n<orbis-library>\n  <units>mm</unit>\n");
  ScratchLibrary::Put(scratch.StandardFile(), "<?xml version=\"1.0\"?><library/>");
  std::string sixChildren = LibraryDoc("");
  sixChildren.insert(sixChildren.find("</orbis-library>"), "<more/>");
  ScratchLibrary::Put(scratch.UserFile(), sixChildren);
  PartslibraryList list;
  LoadReport report;
  Access::Read(list, false, report);
  ASSERT_EQ(report.files.size(), 3u);
  const LibraryFileReport& shared = report.files[0];
  EXPECT_EQ(shared.origin, LibraryOrigin::kShared);
  EXPECT_EQ(shared.path, scratch.SharedFile());
  EXPECT_EQ(shared.status, Status::kXmlError);
  EXPECT_EQ(shared.line, 3);
  EXPECT_EQ(shared.column, 14);
  EXPECT_EQ(shared.Describe().rfind("XML error at line 3, column 14: ", 0), 0u) << shared.Describe();
  EXPECT_EQ(report.files[1].status, Status::kWrongRoot);
  EXPECT_EQ(report.files[1].Describe(), "the root element is <library>, not <orbis-library>");
  EXPECT_EQ(report.files[2].status, Status::kWrongChildCount);
  EXPECT_EQ(report.files[2].rootChildren, 6u);
  for (const LibraryFileReport& file : report.files) {
    EXPECT_TRUE(file.Failed()) << file.path;
  }

  // A FIFO in place of a file is named, never opened for a blocking read; a missing
  // standard library and a switched-off shared one are no failures.
  scratch.EnableShared(false);
  std::filesystem::remove(scratch.StandardFile());
  std::filesystem::remove(scratch.UserFile());
  ASSERT_EQ(::mkfifo(scratch.UserFile().c_str(), 0644), 0);
  Access::Read(list, false, report);
  ASSERT_EQ(report.files.size(), 3u);
  EXPECT_EQ(report.files[0].status, Status::kNotConsidered);
  EXPECT_EQ(report.files[0].Describe(), "the shared library is switched off");
  EXPECT_EQ(report.files[1].status, Status::kMissing);
  EXPECT_FALSE(report.files[1].Failed());
  EXPECT_EQ(report.files[2].status, Status::kNotRegular);
  EXPECT_TRUE(report.files[2].Failed());

  Access::Read(list, true, report);
  EXPECT_EQ(report.files[2].status, Status::kNotConsidered);

  // A folder in place of the standard library file is named, not taken for a missing one.
  ASSERT_TRUE(std::filesystem::create_directory(scratch.StandardFile()));
  Access::Read(list, true, report);
  EXPECT_EQ(report.files[1].status, Status::kNotRegular);
  EXPECT_TRUE(report.files[1].Failed());
}

// The report names what the rules of the list changed, and the list is the one the
// public read makes.
TEST(CatalogueLoadReport, RenumberedAndRefiledEntriesAreNamed) {
  ScratchLibrary scratch("report-changes");
  scratch.EnableShared(true);
  ScratchLibrary::Put(scratch.SharedFile(),
                      LibraryDoc("<category id=\"4\"><name>Tools</name></category>", Shape(1, 4, "shared one")));
  ScratchLibrary::Put(scratch.StandardFile(), LibraryDoc("<category id=\"1\"><name>Tools</name></category><category "
                                                         "id=\"2\"><name>Signs</name></category>",
                                                         Shape(1, 1, "standard one") + Shape(5, 9, "lost category")));
  ScratchLibrary::Put(scratch.UserFile(), LibraryDoc("", Shape(30, 1, "mine") + Shape(30, 1, "mine again")));
  PartslibraryList reported;
  LoadReport report;
  Access::Read(reported, false, report);
  for (const LibraryFileReport& file : report.files) {
    EXPECT_EQ(file.status, Status::kRead) << file.path << ": " << file.Describe();
  }
  EXPECT_EQ(report.files[1].counts.categories, 2u);
  EXPECT_EQ(report.files[1].counts.shapes, 2u);

  const auto find = [&](const std::string& name, Change change) -> const RenumberedEntry* {
    for (const RenumberedEntry& entry : report.renumbered) {
      if (entry.name == name && entry.change == change) {
        return &entry;
      }
    }
    return nullptr;
  };
  const RenumberedEntry* tools = find("Tools", Change::kRenumbered);
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->kind, EntryKind::kCategory);
  EXPECT_EQ(tools->origin, LibraryOrigin::kShared);
  EXPECT_EQ(tools->from, 4);
  EXPECT_EQ(tools->to, 1);
  const RenumberedEntry* standardOne = find("standard one", Change::kRenumbered);
  ASSERT_NE(standardOne, nullptr);
  EXPECT_EQ(standardOne->origin, LibraryOrigin::kStandard);
  EXPECT_EQ(standardOne->to, 2);
  const RenumberedEntry* lost = find("lost category", Change::kCategory);
  ASSERT_NE(lost, nullptr);
  EXPECT_EQ(lost->from, 9);
  EXPECT_EQ(lost->to, 1);
  const RenumberedEntry* again = find("mine again", Change::kDuplicateId);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->origin, LibraryOrigin::kUser);
  EXPECT_EQ(again->from, 30);
  EXPECT_EQ(again->to, 31);
  EXPECT_EQ(find("mine", Change::kRenumbered), nullptr) << "30 was free";
  EXPECT_EQ(find("shared one", Change::kRenumbered), nullptr) << "1 was free";

  PartslibraryList plain;
  plain.ReadPreferencesXML(false);
  ASSERT_EQ(plain.GetOlList().size(), reported.GetOlList().size());
  for (size_t i = 0; i < plain.GetOlList().size(); ++i) {
    EXPECT_EQ(plain.GetOlList()[i]->GetID(), reported.GetOlList()[i]->GetID());
    EXPECT_EQ(plain.GetOlList()[i]->GetCategoryID(), reported.GetOlList()[i]->GetCategoryID());
  }
  EXPECT_EQ(Access::Text(plain, true), Access::Text(reported, true));
}

TEST(CatalogueLoadReport, OneFileAloneIsReadByTheRulesOfItsLibrary) {
  ScratchLibrary scratch("report-one");
  ScratchLibrary::Put(scratch.StandardFile(), LibraryDoc("<category id=\"1\"><name>Tools</name></category>",
                                                         Shape(3, 1, "a") + Shape(3, 1, "b")));
  PartslibraryList list;
  LoadReport report;
  Access::ReadOne(list, scratch.StandardFile(), LibraryOrigin::kStandard, report);
  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_EQ(report.files[0].status, Status::kRead);
  ASSERT_EQ(list.GetOlList().size(), 2u);
  EXPECT_TRUE(list.GetOlList()[0]->IsStandard());
  ASSERT_EQ(report.renumbered.size(), 1u);
  EXPECT_EQ(report.renumbered[0].change, Change::kDuplicateId);
  EXPECT_EQ(report.renumbered[0].to, 4);

  Access::ReadOne(list, scratch.root.string() + "/none.xml", LibraryOrigin::kUser, report);
  EXPECT_EQ(report.files[0].status, Status::kMissing);
  EXPECT_TRUE(list.GetOlList().empty());
}

}  // namespace
}  // namespace oxsymbols
