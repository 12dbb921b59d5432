#include <gtest/gtest.h>

#include "util/FileSpec.h"

namespace {

TEST(FileSpec, SplitsPathsWithEitherSeparator) {
  util::FileSpec spec("/data/SymbolsLibrary/2D/warn.png");
  EXPECT_EQ(spec.GetLocation(false), "/data/SymbolsLibrary/2D");
  EXPECT_EQ(spec.GetLocation(true), "/data/SymbolsLibrary/2D/");
  EXPECT_EQ(spec.GetFile(), "warn.png");
  EXPECT_EQ(spec.GetFileBaseName(), "warn");
  EXPECT_EQ(spec.GetFileExtension(), "png");

  util::FileSpec windows("SymbolsLibrary\\standard\\2D\\a.b.png");
  EXPECT_EQ(windows.GetLocation(false), "SymbolsLibrary\\standard\\2D");
  EXPECT_EQ(windows.GetFile(), "a.b.png");

  util::FileSpec bare("name");
  EXPECT_EQ(bare.GetLocation(true), "");
  EXPECT_EQ(bare.GetFile(), "name");
}

TEST(FileSpec, BuildsFullPathFromParts) {
  util::FileSpec spec;
  spec.SetLocation("/base/SymbolsLibrary/");
  spec.DirPushBack("standard");
  spec.SetFileExtension("xml");
  spec.SetFileBaseName("PartSymbolLibrary");
  EXPECT_EQ(spec.GetFileSpec(), "/base/SymbolsLibrary/standard/PartSymbolLibrary.xml");

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
