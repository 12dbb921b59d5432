#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <limits>
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

// A file is read exactly or refused, with the line and the reason: whatever the reader
// would have to skip, guess or clamp would otherwise be lost at the next save.
TEST(ContentFile, RefusesWhatItCannotReadExactlyWithTheLine) {
  const std::string good = "<content name=\"x\">\n  <property key=\"f\" type=\"float\">1.5</property>\n</content>\n";
  ASSERT_TRUE(oxk::ContentFile::FromText(good));
  const auto property = [](const char* type, const char* value) {
    return std::string("<content name=\"x\">\n<property key=\"k\" type=\"") + type + "\">" + value +
           "</property>\n</content>";
  };
  std::string deep;
  for (int i = 0; i < 100; ++i) {
    deep += "<content name=\"d\">\n";
  }
  for (int i = 0; i < 100; ++i) {
    deep += "</content>";
  }
  const struct {
    std::string text;
    const char* says;
  } refused[] = {
      {"<content name=\"x\">", "line 1: "},
      {"<other/>", "not a content file"},
      {good + "<content name=\"y\"/>", "line 4: a second root element"},
      {good + "trailing", "line 4: "},
      {"<content name=\"x\">\n<!-- note -->\n</content>", "line 2: a comment"},
      {"<content name=\"x\">\nstray text</content>", "line 2: text or markup outside a property"},
      {"<content name=\"x\">\n<value/></content>", "line 2: an element the file cannot hold: <value>"},
      {"<content name=\"x\" extra=\"1\"/>", "an attribute it cannot have: extra"},
      {"<content>\n</content>", "without its name attribute"},
      {property("weird", "1"), "line 2: the property \"k\" has a type this version does not know: weird"},
      {property("int", "z"), "line 2: the int value of \"k\" does not read as one: \"z\""},
      {property("int", "12abc"), "does not read as one"},
      {property("int", "99999999999"), "does not read as one"},
      {property("float", "abc"), "does not read as one"},
      {property("float", "1e999"), "does not read as one"},
      {property("float", "nan"), "does not read as one"},
      {property("float", "-inf"), "does not read as one"},
      {property("point", "1 2"), "does not read as one"},
      {property("point", "1 2 3 4"), "does not read as one"},
      {property("vector", "1 nan 3"), "does not read as one"},
      {property("location", "1 0 0 0 1 0 0 0 1 0 0 inf"), "does not read as one"},
      {property("bool", "maybe"), "does not read as one"},
      {"<content name=\"x\">\n<property key=\"k\" type=\"int\">1</property>\n<property key=\"k\" type=\"int\">2"
       "</property></content>",
       "line 3: the key \"k\" is given twice"},
      {"<content name=\"x\">\n<property key=\"k\" type=\"symbol\">\xff\xfe</property></content>", "line 2: not UTF-8"},
      {deep, "line 65: content nested deeper than 64 levels"},
  };
  for (const auto& bad : refused) {
    std::string error;
    EXPECT_FALSE(oxk::ContentFile::FromText(bad.text, error)) << bad.text;
    EXPECT_NE(error.find(bad.says), std::string::npos) << bad.text << "\n-> " << error;
  }
}

// Whatever texts an annotation holds, the file it writes is well-formed UTF-8 XML that
// reads back; numbers that are not finite are refused before anything is written.
TEST(ContentFile, WritesOnlyWhatItCanReadBack) {
  auto root = NewRoot();
  root->AddProperty(util::Symbol("title"), Value(util::Symbol("bad \xff\xc3 byte, \x01 control, ok \xc3\xa9")));
  root->AddProperty(util::Symbol("key\x02"), Value(int32_t{1}));
  root->EndContent();
  std::string text;
  std::string error;
  ASSERT_TRUE(oxk::ContentFile::ToText(*root, text, error)) << error;
  const auto loaded = oxk::ContentFile::FromText(text, error);
  ASSERT_TRUE(loaded) << error << "\n" << text;
  EXPECT_EQ(std::get<util::Symbol>(loaded->GetEntries()[0].value).str(),
            "bad \xEF\xBF\xBD\xEF\xBF\xBD byte, \xEF\xBF\xBD control, ok \xc3\xa9");
  EXPECT_EQ(oxk::ContentFile::ToText(*loaded), text);

  for (const Value& value : {Value(std::numeric_limits<float>::quiet_NaN()),
                             Value(geo::DPoint3D(1, std::numeric_limits<double>::infinity(), 0)),
                             Value(geo::Color(0, 0, std::numeric_limits<float>::infinity(), 1))}) {
    auto holder = NewRoot();
    auto child = holder->StartContent(util::Symbol("symbol"));
    child->AddProperty(util::Symbol("width"), value);
    child->EndContent();
    holder->EndContent();
    EXPECT_FALSE(oxk::ContentFile::ToText(*holder, text, error));
    EXPECT_NE(error.find("\"width\" in \"symbol\" is not a finite number"), std::string::npos) << error;
  }
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
