#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "oxk/ContentFile.h"
#include "support/TempFolder.h"
#include "util/FileSystem.h"
#include "util/SafeFileWriter.h"

namespace {

namespace fs = std::filesystem;
using Value = oxk::SerializedContentElement::Value;

using testsupport::TempFolder;

util::SmartPtr<oxk::SerializedContentElement> NewRoot() {
  return util::SmartPtr<oxk::SerializedContentElement>(new oxk::SerializedContentElement(util::Symbol("document")));
}

TEST(SerializedContent, ClosedElementsRefuseMoreAndDepthIsBounded) {
  auto root = NewRoot();
  auto child = root->StartContent(util::Symbol("c"));
  ASSERT_TRUE(child);
  EXPECT_TRUE(child->EndContent());
  EXPECT_FALSE(child->EndContent());
  EXPECT_FALSE(child->AddProperty(util::Symbol("k"), Value(true)));
  EXPECT_FALSE(child->StartContent(util::Symbol("d")));
  auto deep = root;
  int depth = 0;
  while (auto next = deep->StartContent(util::Symbol("n"))) {
    deep = next;
    ++depth;
  }
  EXPECT_EQ(depth, oxk::SerializedContentElement::kMaxDepth - 1);
}

TEST(ContentFile, EveryValueTypeSurvivesSaveAndLoadExactly) {
  TempFolder folder;
  auto root = NewRoot();
  geo::Location location;
  location.Set(geo::DPoint3D(0.1, 1e-300, -3), geo::Quaternion<float>::FromAxisAngle(1, 0, 0, 0.1f), 0.3f);
  root->AddProperty(util::Symbol("s"), Value(util::Symbol(" spaced <&> text ")));
  root->AddProperty(util::Symbol("b"), Value(true));
  root->AddProperty(util::Symbol("i"), Value(int32_t{-7}));
  root->AddProperty(util::Symbol("f"), Value(0.1f));
  root->AddProperty(util::Symbol("c"), Value(geo::Color(0.1f, 0.2f, 0.3f, 0.4f)));
  root->AddProperty(util::Symbol("p"), Value(geo::DPoint3D(1.0 / 3.0, 2, 3)));
  root->AddProperty(util::Symbol("v"), Value(geo::DVec3(-1, 0.5, 1e10)));
  root->AddProperty(util::Symbol("q"), Value(geo::Quaternion<float>(0.1f, 0.2f, 0.3f, 0.9f)));
  root->AddProperty(util::Symbol("l"), Value(location));
  auto child = root->StartContent(util::Symbol("child"));
  child->AddProperty(util::Symbol("inner"), Value(util::Symbol("x")));
  child->EndContent();
  root->AddProperty(util::Symbol("after"), Value(false));

  ASSERT_TRUE(oxk::ContentFile::Save(*root, folder.File("doc.xml")));
  auto loaded = oxk::ContentFile::Load(folder.File("doc.xml"));
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded->GetEntries().size(), root->GetEntries().size());
  for (size_t i = 0; i < root->GetEntries().size(); ++i) {
    const auto& a = root->GetEntries()[i];
    const auto& b = loaded->GetEntries()[i];
    EXPECT_TRUE(a.key == b.key) << i;
    EXPECT_EQ(static_cast<bool>(a.child), static_cast<bool>(b.child)) << i;
    if (!a.child) {
      EXPECT_TRUE(a.value == b.value) << a.key.safe_c_str();
    }
  }
  EXPECT_EQ(loaded->GetChildren(util::Symbol("child")).size(), 1u);
  EXPECT_TRUE(loaded->GetChildren(util::Symbol("child"))[0]->IsClosed());
}

TEST(ContentFile, RejectsBrokenOrTooDeepDocuments) {
  EXPECT_FALSE(oxk::ContentFile::FromText("<content name=\"x\">"));
  EXPECT_FALSE(oxk::ContentFile::FromText("<other/>"));
  std::string deep;
  for (int i = 0; i < 100; ++i) {
    deep += "<content name=\"d\">";
  }
  for (int i = 0; i < 100; ++i) {
    deep += "</content>";
  }
  EXPECT_FALSE(oxk::ContentFile::FromText(deep));
  auto skipped = oxk::ContentFile::FromText(
      "<content name=\"x\"><property key=\"a\" type=\"weird\">1</property><property key=\"b\" "
      "type=\"int\">z</property></content>");
  ASSERT_TRUE(skipped);
  EXPECT_TRUE(skipped->GetEntries().empty());
}

TEST(SafeFileWriter, ReplacesWholeFileAndKeepsOldOneOnFailure) {
  TempFolder folder;
  const std::string path = folder.File("lib.xml");
  ASSERT_TRUE(util::SafeFileWriter::Write(path, "old"));
  ASSERT_TRUE(util::SafeFileWriter::Write(path, "new contents"));
  std::string text;
  ASSERT_TRUE(util::FileSystem::ReadFile(path, text));
  EXPECT_EQ(text, "new contents");
  EXPECT_FALSE(util::SafeFileWriter::Write(folder.File("missing/lib.xml"), "x"));
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()), fs::directory_iterator()), 1);
}

TEST(SafeFileWriter, KilledWriterLeavesEitherOldOrNewFile) {
  TempFolder folder;
  const std::string path = folder.File("lib.xml");
  const std::string oldText(1000, 'o');
  const std::string newText(64 * 1024 * 1024, 'n');
  ASSERT_TRUE(util::SafeFileWriter::Write(path, oldText));
  for (int delayMs : {0, 5, 20, 60}) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        (void)util::SafeFileWriter::Write(path, newText);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::string text;
    ASSERT_TRUE(util::FileSystem::ReadFile(path, text));
    EXPECT_TRUE(text == oldText || text == newText) << "size " << text.size();
  }
}

}  // namespace
