#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <locale>
#include <thread>

#include "CatalogueTestSupport.h"

namespace oxsymbols {
namespace {

using Access = PartslibraryListAccess;
using oxk::illustration::SequencerTag;

util::SmartPtr<SequencerTag> Tag(SequencerTag::Type type, const std::string& description, const std::string& units,
                                 const std::string& quantity) {
  util::SmartPtr<SequencerTag> tag(new SequencerTag());
  tag->SetType(type);
  tag->SetDescription(description);
  tag->SetUnits(units);
  tag->SetQuantityString(quantity);
  return tag;
}

// A user category, shape and image with every optional part, plus a standard category
// and shape and a shared shape that user mode leaves out.
PartslibraryList SmallCatalogue(const std::string& base) {
  PartslibraryList list;
  list.SetUnits("mm");
  util::SmartPtr<PartslibraryCategoryItem> tools(new PartslibraryCategoryItem());
  tools->SetID(1);
  tools->SetName("Tools & <Co>");
  tools->SetCatDescription("hand tools");
  list.AddCategoryItem(tools);
  util::SmartPtr<PartslibraryCategoryItem> standardCategory(new PartslibraryCategoryItem(false, true));
  standardCategory->SetID(2);
  standardCategory->SetName("Std");
  list.AddCategoryItem(standardCategory);

  util::SmartPtr<PartslibraryOlItem> wrench(new PartslibraryOlItem());
  wrench->SetID(1);
  wrench->SetCategoryID(1);
  wrench->SetName("wrench");
  wrench->SetTitle("Wrench");
  wrench->SetOlGalleryThumbnailUrl("/anywhere/thumbs/wrench_64x64.png");
  wrench->SetOlUrl(base + "/SymbolsLibrary/Shape/wrench.obj");
  wrench->SetOlScale(0.1);
  wrench->SetOlOrientation(2);
  wrench->SetOlCsys(geo::Location(geo::FMat33(0, 1, 0, -1, 0, 0, 0, 0, 1), geo::DPoint3D(1.5, 0, 1234567)));
  wrench->SetAxisName("X");
  wrench->SetDistanceFromCsys(2);
  wrench->SetAxisId(1);
  wrench->SetUseCurrentOrientation(true);
  wrench->AddSequencerTag(Tag(SequencerTag::kTorque, "Tightening torque", "Nm", "25"));
  wrench->AddSequencerTag(Tag(SequencerTag::kNote, "", "", ""));
  wrench->SetCameraData(true, 2.5, geo::Location::IDENTITY);
  list.AddOlItem(wrench);

  util::SmartPtr<PartslibraryOlItem> standardShape(new PartslibraryOlItem(false, true));
  standardShape->SetID(2);
  standardShape->SetCategoryID(2);
  standardShape->SetName("std");
  standardShape->SetTitle("Std");
  standardShape->SetOlGalleryThumbnailUrl("SymbolsLibrary/standard/2D/std_64x64.png");
  standardShape->SetOlUrl(base + "/SymbolsLibrary/standard/Shape/std.obj");
  list.AddOlItem(standardShape);
  util::SmartPtr<PartslibraryOlItem> sharedShape(new PartslibraryOlItem(true, false));
  sharedShape->SetID(3);
  list.AddOlItem(sharedShape);

  util::SmartPtr<PartslibraryImageItem> warning(new PartslibraryImageItem());
  warning->SetID(3);
  warning->SetCategoryID(1);
  warning->SetName("warn");
  warning->SetTitle("Warn \"now\"");
  warning->SetIsBillboardImage(true);
  warning->SetImageGalleryThumbnailUrl("C:\\thumbs\\warn_64x64.png");
  warning->SetImageUrl(base + "/SymbolsLibrary/2D/warn.png");
  warning->SetImageScale(2);
  warning->SetFlipHorizontal(true);
  warning->SetRotateRight(1);
  list.AddImageItem(warning);
  return list;
}

const char* const kUserText = R"(<?xml version="1.0" encoding="utf-8"?>
<orbis-library>
  <units>mm</units>
  <information></information>
  <categories>
    <category id="1">
      <name>Tools &amp; &lt;Co&gt;</name>
      <tooltip></tooltip>
      <description>hand tools</description>
    </category>
  </categories>
  <shapes>
    <shape id="1" categoryId="1">
      <name>wrench</name>
      <title>Wrench</title>
      <showTooltipTitle>true</showTooltipTitle>
      <description></description>
      <showTooltipDescription>false</showTooltipDescription>
      <tooltip></tooltip>
      <gallery_thumbnail url="SymbolsLibrary/2D/wrench_64x64.png"/> 
      <graphic url="SymbolsLibrary/Shape/wrench.obj"/> 
      <scale>0.1</scale>
      <orientation>2</orientation>
      <shape_csys a="0" b="1" c="0" d="-1" e="0" f="0" g="0" h="0" i="1" pos_x="1.5" pos_y="0" pos_z="1.23457e+06"/> 
      <axis_name>X</axis_name>
      <distance_from_csys>2</distance_from_csys>
      <axis_id>1</axis_id>
      <annotation_to_symbol>false</annotation_to_symbol>
      <use_current_orientation>true</use_current_orientation>
      <edit_csys_method>1</edit_csys_method>
      <tags>
        <tag type="torque">
          <description>Tightening torque</description>
          <quantity unit="Nm">25</quantity>
        </tag>
        <tag type="note">
          <description></description>
        </tag>
      </tags>
      <camera ortho="true" value="2.5" location="1 0 0 0 1 0 0 0 1 0 0 0"/>
    </shape>
  </shapes>
  <symbols>
    <symbol id="3" categoryId="1" billboard="true">
      <name>warn</name>
      <title>Warn &quot;now&quot;</title>
      <showTooltipTitle>true</showTooltipTitle>
      <description></description>
      <showTooltipDescription>false</showTooltipDescription>
      <tooltip></tooltip>
      <gallery_thumbnail url="SymbolsLibrary/2D/warn_64x64.png"/> 
      <image url="SymbolsLibrary/2D/warn.png"/> 
      <scale>2</scale>
      <flip horizontal="true" vertical="false"/> 
      <rotate right="1" left="0"/> 
    </symbol>
  </symbols>
</orbis-library>
)";

const char* const kStandardShape = R"(    <shape id="2" categoryId="2">
      <name>std</name>
      <title>Std</title>
      <showTooltipTitle>true</showTooltipTitle>
      <description></description>
      <showTooltipDescription>false</showTooltipDescription>
      <tooltip></tooltip>
      <gallery_thumbnail url="SymbolsLibrary/standard/2D/std_64x64.png"/> 
      <graphic url="SymbolsLibrary/standard/Shape/std.obj"/> 
      <scale>1</scale>
      <orientation>0</orientation>
      <annotation_to_symbol>false</annotation_to_symbol>
      <use_current_orientation>false</use_current_orientation>
      <edit_csys_method>1</edit_csys_method>
    </shape>
)";

TEST(CatalogueWrite, UserModeWritesOnlyUserItemsByteForByte) {
  ScratchLibrary scratch("write-user");
  const PartslibraryList list = SmallCatalogue(scratch.base);
  EXPECT_EQ(Access::Text(list, false), kUserText);
}

TEST(CatalogueWrite, StandardModeAddsStandardItemsAndRewritesUserReferences) {
  ScratchLibrary scratch("write-standard");
  const PartslibraryList list = SmallCatalogue(scratch.base);
  const std::string text = Access::Text(list, true);
  EXPECT_NE(text.find("<category id=\"2\">\n      <name>Std</name>"), std::string::npos);
  EXPECT_NE(text.find(kStandardShape), std::string::npos);
  EXPECT_NE(text.find("<gallery_thumbnail url=\"SymbolsLibrary/standard/2D/wrench_64x64.png\"/> \n"),
            std::string::npos);
  EXPECT_NE(text.find("<graphic url=\"SymbolsLibrary/standard/Shape/wrench.obj\"/> \n"), std::string::npos);
  EXPECT_EQ(text.find("<shape id=\"3\""), std::string::npos);  // shared: never written
}

TEST(CatalogueWrite, EmptyCatalogueAndCanExport) {
  PartslibraryList list;
  EXPECT_EQ(Access::Text(list, false),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<orbis-library>\n  <units></units>\n"
            "  <information></information>\n  <categories>\n  </categories>\n  <shapes>\n  </shapes>\n"
            "  <symbols>\n  </symbols>\n</orbis-library>\n");
  EXPECT_FALSE(list.CanExport());
  list.AddCategoryItem(util::SmartPtr<PartslibraryCategoryItem>(new PartslibraryCategoryItem()));
  list.AddImageItem(util::SmartPtr<PartslibraryImageItem>(new PartslibraryImageItem(true, false)));
  EXPECT_FALSE(list.CanExport());
  list.AddOlItem(util::SmartPtr<PartslibraryOlItem>(new PartslibraryOlItem(false, true)));
  EXPECT_TRUE(list.CanExport());
}

TEST(CatalogueWrite, WrittenFileReadsBackToTheSameText) {
  ScratchLibrary scratch("roundtrip");
  const PartslibraryList list = SmallCatalogue(scratch.base);
  PartslibraryList copy = list;
  std::filesystem::create_directories(scratch.base + "/SymbolsLibrary");
  EXPECT_TRUE(copy.WritePartslibraryListToXML());
  const std::string written = ScratchLibrary::Get(scratch.UserFile());
  EXPECT_EQ(written, kUserText);
  PartslibraryList reread;
  reread.ReadPreferencesXML(false);
  ASSERT_EQ(reread.GetOlList().size(), 1u);
  EXPECT_EQ(reread.GetOlList()[0]->GetOlUrl(), scratch.base + "/SymbolsLibrary/Shape/wrench.obj");
  EXPECT_EQ(Access::Text(reread, false), written);
}

TEST(CatalogueWrite, WriteChangesFallsBackToTheUserFileWithoutStandardSymbols) {
  ScratchLibrary scratch("changes");
  PartslibraryList list = SmallCatalogue(scratch.base);
  std::filesystem::create_directories(scratch.base + "/SymbolsLibrary");
  EXPECT_TRUE(list.WriteChangesInPartslibraryListToXML(true));
  EXPECT_EQ(ScratchLibrary::Get(scratch.UserFile()), kUserText);
  ScratchLibrary::Put(scratch.StandardFile(), "old");
  EXPECT_TRUE(list.WriteChangesInPartslibraryListToXML(true));
  EXPECT_EQ(ScratchLibrary::Get(scratch.StandardFile()), Access::Text(list, true));
  // An unwritable target still reports true and leaves nothing behind.
  EXPECT_TRUE(list.WritePartslibraryListToXML(scratch.base + "/missing/folder/x.xml", false));
  EXPECT_FALSE(util::FileSystem::FileExists(scratch.base + "/missing/folder/x.xml"));
}

TEST(CatalogueWrite, DefaultLibraryIsCreatedOnlyWhenMissing) {
  ScratchLibrary scratch("default");
  PartslibraryList::CreateLibraryFolderAndDefaultXmlIfNedded();
  EXPECT_TRUE(util::FileSystem::DirExists(scratch.base + "/SymbolsLibrary/2D"));
  EXPECT_TRUE(util::FileSystem::DirExists(scratch.base + "/SymbolsLibrary/Shape"));
  EXPECT_EQ(ScratchLibrary::Get(scratch.UserFile()), Access::Text(PartslibraryList(), false));
  ScratchLibrary::Put(scratch.UserFile(), "kept");
  PartslibraryList::CreateLibraryFolderAndDefaultXmlIfNedded();
  EXPECT_EQ(ScratchLibrary::Get(scratch.UserFile()), "kept");
  std::filesystem::remove(scratch.UserFile());
  PartslibraryList::CreateLibraryFolderAndDefaultXmlIfNedded();
  EXPECT_EQ(ScratchLibrary::Get(scratch.UserFile()), Access::Text(PartslibraryList(), false));
}

TEST(CatalogueWrite, OldDialogSettingLeavesOutThePlacementGroup) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::setenv("ORRIN_SYMBOL_ENABLE_OLD_DIALOG", "1", 1);
        ScratchLibrary scratch("old-dialog");
        const std::string text = Access::Text(SmallCatalogue(scratch.base), true);
        const bool ok = text.find("axis_name") == std::string::npos &&
                        text.find("annotation_to_symbol") == std::string::npos &&
                        text.find("<camera") != std::string::npos;
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// A save killed at any moment leaves either the old file or the new one, never a mix.
TEST(CatalogueWrite, InterruptedSaveKeepsACompleteFile) {
  ScratchLibrary scratch("interrupt");
  const std::string path = scratch.base + "/lib.xml";
  PartslibraryList small = SmallCatalogue(scratch.base);
  small.WritePartslibraryListToXML(path, false);
  const std::string before = ScratchLibrary::Get(path);
  PartslibraryList big;
  for (int i = 0; i < 20000; ++i) {
    util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
    ol->SetID(i);
    ol->SetName("shape " + std::to_string(i));
    big.AddOlItem(ol);
  }
  const std::string after = Access::Text(big, false);
  for (int delayMs : {1, 5, 20, 60}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        big.WritePartslibraryListToXML(path, false);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string now = ScratchLibrary::Get(path);
    EXPECT_TRUE(now == before || now == after) << "after " << delayMs << " ms: " << now.size() << " bytes";
  }
}

}  // namespace
}  // namespace oxsymbols

namespace oxsymbols {
namespace {

// Restores the classic locale however the test ends.
class LocaleScope {
 public:
  LocaleScope() = default;
  LocaleScope(const LocaleScope&) = delete;
  LocaleScope& operator=(const LocaleScope&) = delete;
  ~LocaleScope() {
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
  }
};

// A comma-decimal locale, made when the machine lacks one; false when that fails. The
// process asks for it only once it exists: the C library remembers a failed look-up.
bool UseCommaDecimalLocale() {
  const char* const name = "de_DE.UTF-8";
  if (std::system("locale -a 2>/dev/null | grep -qix 'de_DE.utf-\\?8'") != 0) {
    (void)std::system("localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1");
  }
  if (std::setlocale(LC_ALL, name) == nullptr) {
    return false;
  }
  std::locale::global(std::locale(name));
  return std::string(std::localeconv()->decimal_point) == ",";
}

TEST(CatalogueWriteLocale, RealNumbersAreWrittenAndReadWithAPointInAnyLocale) {
  const LocaleScope restore;
  if (!UseCommaDecimalLocale()) {
    GTEST_SKIP() << "no comma-decimal locale here, and localedef could not make de_DE.UTF-8";
  }
  ScratchLibrary scratch("locale");
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
  ol->SetID(1);
  ol->SetOlScale(0.1);
  ol->SetOlOrientation(1);
  ol->SetOlCsys(geo::Location(geo::FMat33(0.5f, 0, 0, 0, 1, 0, 0, 0, 1), geo::DPoint3D(2.5, 0, 1234567)));
  ol->SetAxisName("Z");
  ol->SetDistanceFromCsys(1.25);
  ol->SetCameraData(true, 0.75, geo::Location::IDENTITY);
  PartslibraryList list;
  list.AddOlItem(ol);
  const std::string text = Access::Text(list, false);
  EXPECT_NE(text.find("<scale>0.1</scale>"), std::string::npos) << text;
  EXPECT_NE(text.find("a=\"0.5\""), std::string::npos);
  EXPECT_NE(text.find("pos_x=\"2.5\""), std::string::npos);
  EXPECT_NE(text.find("pos_z=\"1.23457e+06\""), std::string::npos);
  EXPECT_NE(text.find("<distance_from_csys>1.25</distance_from_csys>"), std::string::npos);
  EXPECT_NE(text.find("value=\"0.75\""), std::string::npos);
  EXPECT_EQ(text.find("0,"), std::string::npos) << text;

  PartslibraryList back;
  Access::Parse(back, text, false, false);
  ASSERT_EQ(back.GetOlList().size(), 1u);
  EXPECT_DOUBLE_EQ(back.GetOlList()[0]->GetOlScale(), 0.1);
  EXPECT_DOUBLE_EQ(back.GetOlList()[0]->GetDistanceFromCsys(), 1.25);
  EXPECT_DOUBLE_EQ(back.GetOlList()[0]->GetOlCsys().GetPos().x, 2.5);
}

// Saving reports nothing, so the files themselves show what happened.
TEST(CatalogueWriteTargets, LinksAreFollowedAndNonFilesLeftAlone) {
  ScratchLibrary scratch("targets");
  PartslibraryList list;
  list.SetUnits("mm");
  const std::string real = scratch.root.string() + "/real.xml";
  const std::string link = scratch.root.string() + "/link.xml";
  ScratchLibrary::Put(real, "old");
  ASSERT_EQ(::chmod(real.c_str(), 0604), 0);
  std::filesystem::create_symlink(real, link);
  EXPECT_TRUE(list.WritePartslibraryListToXML(link, false));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_NE(ScratchLibrary::Get(real).find("<units>mm</units>"), std::string::npos);
  EXPECT_EQ(
      std::filesystem::status(real).permissions() & std::filesystem::perms::all,
      std::filesystem::perms::owner_read | std::filesystem::perms::owner_write | std::filesystem::perms::others_read);

  const std::string fifo = scratch.root.string() + "/fifo.xml";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_TRUE(list.WritePartslibraryListToXML(fifo, false));
  EXPECT_EQ(std::filesystem::status(fifo).type(), std::filesystem::file_type::fifo);
}

}  // namespace
}  // namespace oxsymbols
