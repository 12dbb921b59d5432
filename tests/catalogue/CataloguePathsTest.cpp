#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"

namespace oxsymbols {
namespace {

using Access = PartslibraryListAccess;

TEST(CataloguePaths, LocationsHangOffTheBaseAndSharedFolders) {
  ScratchLibrary scratch("paths");
  EXPECT_EQ(Access::LibraryPath(), scratch.base + "/SymbolsLibrary/");
  EXPECT_EQ(PartslibraryList::GetLibraryFileAndPath(), scratch.UserFile());
  EXPECT_EQ(PartslibraryList::GetImagePath(), scratch.base + "/SymbolsLibrary/2D/");
  EXPECT_EQ(PartslibraryList::GetOlPath(), scratch.base + "/SymbolsLibrary/Shape/");
  EXPECT_EQ(Access::StandardFile(), scratch.StandardFile());
  EXPECT_EQ(Access::SharedFile(), scratch.SharedFile());
  EXPECT_EQ(Access::RelativeXml(), "SymbolsLibrary/PartSymbolLibrary.xml");
  EXPECT_FALSE(Access::HaveStandard());
  ScratchLibrary::Put(scratch.StandardFile(), "x");
  EXPECT_TRUE(Access::HaveStandard());
}

TEST(CataloguePaths, WithoutPreferencesThereIsNoLibrary) {
  oxk::World::SetWorld(util::SmartPtr<oxk::World>());
  EXPECT_EQ(Access::LibraryPath(), "");
  EXPECT_EQ(PartslibraryList::GetLibraryFileAndPath(), "");
  EXPECT_FALSE(Access::HaveStandard());
}

TEST(CataloguePaths, UnderTheLibraryIsACaseInsensitivePrefixBelowItsFolder) {
  ScratchLibrary scratch("under");
  std::string upper = scratch.base + "/SYMBOLSLIBRARY/2d/a.png";
  EXPECT_TRUE(Access::IsUnder(upper));
  EXPECT_FALSE(Access::IsUnder(scratch.UserFile()));
  EXPECT_FALSE(Access::IsUnder("/elsewhere/SymbolsLibrary/2D/a.png"));

  std::string deep = scratch.base + "/SymbolsLibrary/2D/sub\\x/a.png";
  Access::MakeRelative(deep, false);
  EXPECT_EQ(deep, "SymbolsLibrary/2D/sub\\x/a.png");
  std::string standard = scratch.base + "/SymbolsLibrary/standard/Shape/w.obj";
  Access::MakeRelative(standard, false);
  EXPECT_EQ(standard, "SymbolsLibrary/standard/Shape/w.obj");
  std::string user = scratch.base + "/SymbolsLibrary/Shape/w.obj";
  Access::MakeRelative(user, true);
  EXPECT_EQ(user, "SymbolsLibrary/standard/Shape/w.obj");
}

TEST(CataloguePaths, TrimKeepsOnlyTheFileNameInsideTheKindFolder) {
  std::string image = "C:\\some\\where\\pic_64x64.png";
  Access::Trim(image, true, true);
  EXPECT_EQ(image, "SymbolsLibrary/standard/2D/pic_64x64.png");
  std::string shape = "/a/b/c/w.obj";
  Access::Trim(shape, false, false);
  EXPECT_EQ(shape, "SymbolsLibrary/Shape/w.obj");
}

TEST(CataloguePaths, RelativeUrlsResolveAgainstTheEntrysLibraryWithForwardSlashes) {
  ScratchLibrary scratch("urls");
  std::string url = "SymbolsLibrary\\2D\\a.png";
  PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(url);
  EXPECT_EQ(url, scratch.base + "/SymbolsLibrary/2D/a.png");
  std::string absolute = "C:\\lib\\a.png";
  PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(absolute);
  EXPECT_EQ(absolute, "C:\\lib\\a.png");

  const PartslibraryImageItem shared(true, false);
  url = "SymbolsLibrary\\2D\\s.png";
  shared.CheckRelativeUrlAndConcatIfNeeded(url);
  EXPECT_EQ(url, scratch.shared + "/SymbolsLibrary/2D/s.png");
  const PartslibraryOlItem standard(false, true);
  url = "SymbolsLibrary/standard\\Shape/w.obj";
  standard.CheckRelativeUrlAndConcatIfNeeded(url);
  EXPECT_EQ(url, scratch.base + "/SymbolsLibrary/standard/Shape/w.obj");
  absolute = "\\\\server\\share\\x.obj";
  standard.CheckRelativeUrlAndConcatIfNeeded(absolute);
  EXPECT_EQ(absolute, "\\\\server\\share\\x.obj");
}

TEST(CataloguePaths, LocalizedStringsComeFromTheMessageCatalogue) {
  EXPECT_EQ(Access::Localized("CategoryTools"), "Tools");
  EXPECT_EQ(Access::Localized("NoSuchKey"), "NoSuchKey");
  std::string text = "a\\b\\c";
  PartslibraryList::replaceAll(text, '\\', '/');
  EXPECT_EQ(text, "a/b/c");
}

}  // namespace
}  // namespace oxsymbols
