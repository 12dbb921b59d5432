// A model description is read exactly or refused with the line and the reason; what it
// names stays inside its folder, and nothing in it can block or exhaust the reader.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>

#include "oxk/Anchor.h"
#include "oxk/ModelFile.h"
#include "oxkapp/illustration/OrbisFileInfo.h"
#include "support/TempFolder.h"

namespace {

using testsupport::TempFolder;

bool Open(const TempFolder& folder, const std::string& text, std::string& error) {
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::ShapeScene> scene;
  return oxk::ModelFile::Open(folder.Write("model.xml", text), false, world, scene, &error, false);
}

std::string Nested(int depth) {
  std::string text = "<model>";
  for (int i = 0; i < depth; ++i) {
    text += "<part id=\"p\">";
  }
  for (int i = 0; i < depth; ++i) {
    text += "</part>";
  }
  return text + "</model>";
}

TEST(ModelFile, RefusesWhatItCannotReadExactly) {
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(Open(
      folder, "<?xml version=\"1.0\"?>\n<!-- mine -->\n<model><part id=\"1\" position=\"1 2 3\"/></model>\n", error))
      << error;
  ASSERT_TRUE(Open(folder, Nested(oxk::ModelFile::kMaxDepth - 1), error)) << error;
  const struct {
    std::string text;
    const char* says;
  } refused[] = {
      {"<model/>\n<model/>", "line 2: a second root element <model>"},
      {"<model/>\ngarbage", "line 2: text outside the root element"},
      {"<model>\n<part id=\"1\" position=\"abc\"/></model>", "line 2: part \"1\": its location or position"},
      {"<model><part id=\"1\" position=\"1e999 0 0\"/></model>", "its location or position"},
      {"<model><part id=\"1\" position=\"nan 0 0\"/></model>", "its location or position"},
      {"<model><part id=\"1\" position=\"1 2\"/></model>", "its location or position"},
      {"<model><part id=\"1\" position=\"1 2 3 4\"/></model>", "its location or position"},
      {"<model><part id=\"1\" location=\"1 0 0 0 1 0 0 0 1e39 0 0 0\"/></model>", "its location or position"},
      {"<model><part id=\"1\" location=\"1 0 0 0 1 0 0 0 1 0 0 -inf\"/></model>", "its location or position"},
      {"<model><part id=\"1\" visible=\"maybe\"/></model>", "visible is neither true nor false"},
      {"<model><part id=\"1/2\"/></model>", "a part without an id, or with a \"/\" in it"},
      {"<model><part id=\"1\" shape=\"../x.obj\"/></model>", "must lie in the model's folder, not ../x.obj"},
      {"<model><part id=\"1\" shape=\"/etc/passwd\"/></model>", "must lie in the model's folder"},
      {"<model>\xff</model>", "line 1: not UTF-8 text"},
      {Nested(oxk::ModelFile::kMaxDepth), "elements nested deeper than 256 levels"},
  };
  for (const auto& bad : refused) {
    error.clear();
    EXPECT_FALSE(Open(folder, bad.text, error)) << bad.text.substr(0, 80);
    EXPECT_NE(error.find(bad.says), std::string::npos) << bad.text.substr(0, 80) << "\n-> " << error;
  }
}

// Deep enough to have crashed a recursive reader or destructor, and a FIFO nobody
// writes to: both refused at once.
TEST(ModelFile, NeitherDepthNorAFifoCanStopTheReader) {
  TempFolder folder;
  std::string error;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Open(folder, Nested(60000), error));
  EXPECT_NE(error.find("nested deeper"), std::string::npos) << error;
  const std::string fifo = folder.File("fifo.xml");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::ShapeScene> scene;
  EXPECT_FALSE(oxk::ModelFile::Open(fifo, false, world, scene, &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(Anchor, NamesNothingOutsideItsFolderAndLeadsPackedFilesToWhereTheyWait) {
  util::SmartPtr<oxk::Anchor> anchor(new oxk::Anchor("/doc"));
  util::Symbol url;
  EXPECT_TRUE(anchor->GetURLForFileSource(util::Symbol("a.png"), url, true));
  EXPECT_EQ(url.str(), "file:///doc/a.png");
  for (const char* outside : {"../a.png", "sub/../../a.png", "/etc/passwd", "", "a//b.png"}) {
    EXPECT_FALSE(anchor->GetURLForFileSource(util::Symbol(outside), url, true)) << outside;
    EXPECT_TRUE(url.empty()) << outside;
  }
  anchor->SetPendingFile(util::Symbol("a.png"), "/doc/.staged");
  EXPECT_TRUE(anchor->GetURLForFileSource(util::Symbol("a.png"), url, true));
  EXPECT_EQ(url.str(), "file:///doc/.staged");
  anchor->SetPendingFile(util::Symbol("a.png"), "");
  EXPECT_TRUE(anchor->GetURLForFileSource(util::Symbol("a.png"), url, true));
  EXPECT_EQ(url.str(), "file:///doc/a.png");
}

// An identifier a restored document holds is never handed out again, with or without
// a node that carries it.
TEST(OrbisFileInfo, NeverHandsOutAReservedNumber) {
  util::SmartPtr<oxkapp::illustration::OrbisFileInfo> info(new oxkapp::illustration::OrbisFileInfo(nullptr));
  info->ReserveStructureId(util::Symbol("/cs1"));
  info->ReserveStructureId(util::Symbol("2"));
  info->ReserveStructureId(util::Symbol("/stamp3"));
  info->ReserveStructureId(util::Symbol("/cs99999999999999999999"));
  EXPECT_EQ(info->GetNextStructureId().str(), "3");
  EXPECT_EQ(info->GetNextStructureId().str(), "4");
}

}  // namespace
