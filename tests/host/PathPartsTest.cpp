#include <gtest/gtest.h>

#include "util/PathParts.h"

namespace {

TEST(FileSpec, SplitsPathsWithEitherSeparator) {
  util::FileSpec path("/data/SymbolsLibrary/2D/warn.png");
  EXPECT_EQ(path.GetLocation(false), "/data/SymbolsLibrary/2D");
  EXPECT_EQ(path.GetLocation(true), "/data/SymbolsLibrary/2D/");
  EXPECT_EQ(path.GetFile(), "warn.png");
  EXPECT_EQ(path.GetFileBaseName(), "warn");
  EXPECT_EQ(path.GetFileExtension(), "png");

  util::FileSpec windows("SymbolsLibrary\\standard\\2D\\a.b.png");
  EXPECT_EQ(windows.GetLocation(false), "SymbolsLibrary\\standard\\2D");
  EXPECT_EQ(windows.GetFile(), "a.b.png");

  util::FileSpec bare("name");
  EXPECT_EQ(bare.GetLocation(true), "");
  EXPECT_EQ(bare.GetFile(), "name");
}

TEST(FileSpec, BuildsFullPathFromParts) {
  util::FileSpec path;
  path.SetLocation("/base/SymbolsLibrary/");
  path.DirPushBack("standard");
  path.SetFileExtension("xml");
  path.SetFileBaseName("PartSymbolLibrary");
  EXPECT_EQ(path.GetFileSpec(), "/base/SymbolsLibrary/standard/PartSymbolLibrary.xml");

  util::FileSpec folderOnly;
  folderOnly.SetLocation("/base//");
  EXPECT_EQ(folderOnly.GetFileSpec(), "/base");
  util::FileSpec root;
  root.SetLocation("/");
  root.SetFileBaseName("x");
  EXPECT_EQ(root.GetFileSpec(), "/x");
}

TEST(FileSpec, AbsolutePathRules) {
  EXPECT_TRUE(util::FileSpec::IsAbsolute("/a"));
  EXPECT_TRUE(util::FileSpec::IsAbsolute("\\\\server\\share"));
  EXPECT_TRUE(util::FileSpec::IsAbsolute("C:\\x"));
  EXPECT_TRUE(util::FileSpec::IsAbsolute("d:/x"));
  EXPECT_FALSE(util::FileSpec::IsAbsolute("SymbolsLibrary/2D/a.png"));
  EXPECT_FALSE(util::FileSpec::IsAbsolute("C:"));
  EXPECT_FALSE(util::FileSpec::IsAbsolute(""));
}

}  // namespace
