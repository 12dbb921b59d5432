// Documents under bad input: refused without a trace, numbers and text checked, unknown content kept.
#include "DocumentSafetyFixture.h"

namespace {

using namespace document_safety;

TEST_F(DocumentSafety, FailedCommandsLeaveEveryFileAsItWasAndReadNothingOutside) {
  // A library whose entries name files outside it that are not what they claim.
  const fs::path base = scratch / "base";
  fs::copy(SYMBOLS_BINARY_DIR "/apps/samples", base, fs::copy_options::recursive);
  const fs::path library = base / "SymbolsLibrary/PartSymbolLibrary.xml";
  Edit(library, "<image url=\"[^\"]*\"", "<image url=\"" + (outside / "secret.txt").string() + "\"");
  Edit(library, "<graphic url=\"[^\"]*\"", "<graphic url=\"" + (outside / "secret.txt").string() + "\"");
  const std::string on = "--base " + base.string() + " ";
  ASSERT_EQ(Run("doc hide " + doc.string() + " /FLANGE").status, 0);
  const Files before = Snapshot(scratch);
  const struct {
    std::string args;
    const char* says;
  } failing[] = {
      {"doc place " + doc.string() + " --shape 10 --part /SHAFT --part /NOPE", "no part at /NOPE"},
      // Fails after the symbol file was packed.
      {"doc place " + doc.string() + " --shape 10 --part /FLANGE", "not every part could be connected"},
      {on + "doc stamp " + doc.string() + " --image 10 --center 1,1 --size 5,5",
       "is not a PNG or JPEG image; nothing is copied"},
      {on + "doc place " + doc.string() + " --shape 10 --part /SHAFT", "is not a shape file the loader reads"},
      {"doc flatten " + doc.string() + " --out " + (doc / "annotations.xml").string(), "cannot be written into"},
      {"doc flatten " + doc.string() + " --out " + doc.string(), "cannot be written into"},
      {"doc flatten " + doc.string() + " --out " + (doc / "page.svg").string(), "cannot be written into"},
      {"doc flatten " + doc.string() + " --out " + (scratch / "into/page.svg").string(), "cannot be written into"},
  };
  fs::create_directory_symlink(doc, scratch / "into");
  for (const auto& bad : failing) {
    const Result result = Run(bad.args);
    EXPECT_EQ(result.status, 1) << bad.args;
    EXPECT_NE(result.err.find(bad.says), std::string::npos) << bad.args << "\n" << result.err;
    // Right after the failure, not only once a later command has cleaned up.
    Files now = Snapshot(scratch);
    now.erase("into");
    EXPECT_EQ(Differences(now, before), "") << bad.args;
  }
  fs::remove(scratch / "into");
  // The library check warns of files outside the library, without failing for them.
  const Result check = Run(on + "library check");
  EXPECT_NE(check.out.find("image file outside the library folders: " + (outside / "secret.txt").string()),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("warnings: "), std::string::npos) << check.out;
}

// A library picture is copied into a document for what its bytes are, whatever its
// name or folder: a JPEG is one, a JPEG whose header claims more pixels than the loader
// decodes is refused before anything is copied.
TEST_F(DocumentSafety, JpegPicturesAreStampedByWhatTheyAreAndRefusedPastTheLimit) {
  const fs::path base = scratch / "base";
  fs::copy(SYMBOLS_BINARY_DIR "/apps/samples", base, fs::copy_options::recursive);
  const fs::path library = base / "SymbolsLibrary/PartSymbolLibrary.xml";
  const std::string jpeg = testsupport::TestJpeg(24, 16);
  ASSERT_FALSE(jpeg.empty());
  Put(outside / "photo.png", jpeg);
  Edit(library, "<image url=\"[^\"]*\"", "<image url=\"" + (outside / "photo.png").string() + "\"");
  const std::string on = "--base " + base.string() + " ";
  const Result stamp = Run(on + "doc stamp " + doc.string() + " --image 10 --center 7,7 --size 6,4");
  ASSERT_EQ(stamp.status, 0) << stamp.err;
  EXPECT_EQ(Slurp(doc / "photo.png"), jpeg);
  EXPECT_EQ(List(doc).size(), 3u);
  const Result page = Run("doc flatten " + doc.string() + " --out " + (scratch / "page.svg").string());
  EXPECT_EQ(page.status, 0) << page.err;

  // The frame header's height and width claim 65000 by 65000 pixels.
  std::string huge = jpeg;
  const size_t frame = huge.find("\xff\xc0", 2);
  ASSERT_NE(frame, std::string::npos);
  huge.replace(frame + 5, 4, "\xfd\xe8\xfd\xe8");
  Put(outside / "photo.png", huge);
  const Files before = Snapshot(scratch);
  const Result refused = Run(on + "doc stamp " + doc.string() + " --image 10 --center 8,8 --size 6,4");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("a picture larger than the loader decodes; nothing is copied"), std::string::npos)
      << refused.err;
  EXPECT_EQ(Differences(Snapshot(scratch), before), "");
}

TEST_F(DocumentSafety, NumbersStayFiniteAndIdentifiersUnique) {
  const Files before = Snapshot(scratch);
  for (const char* bad :
       {"stamp DOC --image 1 --center 1,1 --size 1e39,1e39", "stamp DOC --image 1 --center nan,1 --size 2,2",
        "stamp DOC --image 1 --center 1,inf --size 2,2", "move DOC /SHAFT --by 1e308,0,0"}) {
    const Result result = Run("doc " + Replaced(bad, "DOC", doc.string()));
    EXPECT_EQ(result.status, 2) << bad;
    EXPECT_EQ(Count(result.err, "\n"), 1u) << result.err;
  }
  EXPECT_EQ(Differences(Snapshot(scratch), before), "");
  ASSERT_EQ(Run("doc move " + doc.string() + " /SHAFT --by 6e8,0,0").status, 0);
  const Files moved = Snapshot(scratch);
  const Result twice = Run("doc move " + doc.string() + " /SHAFT --by 6e8,0,0");
  EXPECT_EQ(twice.status, 1);
  EXPECT_NE(twice.err.find("beyond the model's range"), std::string::npos) << twice.err;
  EXPECT_EQ(Differences(Snapshot(scratch), moved), "");

  // Identifiers the document holds are never handed out again, whatever they are.
  Edit(doc / "annotations.xml", "/stamp1", "/stamp9223372036854775807");
  ASSERT_EQ(Run("doc stamp " + doc.string() + " --image 1 --center 3,3 --size 2,2").status, 0);
  ASSERT_EQ(Run("doc stamp " + doc.string() + " --image 1 --center 4,4 --size 2,2").status, 0);
  Edit(doc / "annotations.xml", ">/stamp1<", ">/cs3<");
  const Result place = Run("doc place " + doc.string() + " --shape 3 --part /1");
  ASSERT_EQ(place.status, 0) << place.err;
  std::multiset<std::string> ids;
  for (const auto& annotation : List(doc)) {
    ids.insert(annotation["id"].get<std::string>());
  }
  // The symbol placed first is /cs2: the model's top level has a part "1".
  EXPECT_EQ(ids, (std::multiset<std::string>{"/cs2", "/cs3", "/cs4", "/stamp2", "/stamp9223372036854775807"}));
  const std::regex nonFinite("(^|[ >\"-])(nan|inf)");
  for (const auto& [name, bytes] : Snapshot(doc)) {
    EXPECT_FALSE(std::regex_search(bytes, nonFinite)) << name;
  }
}

TEST_F(DocumentSafety, TextStaysWellFormedAndIsShownEscaped) {
  const fs::path base = scratch / "base";
  fs::copy(SYMBOLS_BINARY_DIR "/apps/samples", base, fs::copy_options::recursive);
  Edit(base / "SymbolsLibrary/PartSymbolLibrary.xml", "<title>Note &amp; remark</title>",
       "<title>Note \xff\xc3 &#1; remark</title>");
  const std::string on = "--base " + base.string() + " ";
  ASSERT_EQ(Run(on + "doc stamp " + doc.string() + " --image 10 --center 9,9 --size 5,5").status, 0);
  const std::string content = Slurp(doc / "annotations.xml");
  EXPECT_EQ(util::Utf8::FindInvalid(content), util::Utf8::npos);
  std::string error;
  EXPECT_TRUE(oxk::ContentFile::FromText(content, error)) << error;
  EXPECT_NE(content.find("Note \xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD remark"), std::string::npos);
  ASSERT_EQ(Run(on + "doc flatten " + doc.string() + " --out " + (scratch / "page.svg").string()).status, 0);
  const std::string page = Slurp(scratch / "page.svg");
  EXPECT_EQ(util::Utf8::FindInvalid(page), util::Utf8::npos);
  EXPECT_EQ(page.find('\x01'), std::string::npos);

  const Result part = Run("doc move " + doc.string() + " \"$(printf '/A\\033[2J')\" --by 1,0,0");
  EXPECT_EQ(part.status, 1);
  EXPECT_EQ(part.err, "symbols: no part at /A\\x1b[2J in the model or its SBOM\n");
}

// A weld whose members are a part and a part below it: the member below moves once,
// with the part above it.
TEST_F(DocumentSafety, EachPartOfAWeldMovesOnce) {
  const fs::path model = scratch / "welded";
  const std::string cube = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\n";
  Put(model / "a.obj", cube);
  Put(model / "model.xml",
      "<model><part id=\"1\" shape=\"a.obj\"><part id=\"2\" shape=\"a.obj\" position=\"0 0 5\"/></part>"
      "<sbom><weld id=\"W\"><item id=\"P\" part=\"/1\"/><item id=\"C\" part=\"/1/2\"/></weld></sbom></model>");
  const fs::path welded = scratch / "weldeddoc";
  ASSERT_EQ(Run("doc new " + (model / "model.xml").string() + " " + welded.string()).status, 0);
  ASSERT_EQ(Run("doc place " + welded.string() + " --shape 3 --part /1/2").status, 0);
  const double before = FirstX(welded);
  const Result move = Run("doc move " + welded.string() + " /W --by 1,0,0");
  ASSERT_EQ(move.status, 0) << move.err;
  EXPECT_EQ(FirstX(welded) - before, 1.0);
  EXPECT_NE(Slurp(welded / "model.xml").find("position=\"0 0 5\""), std::string::npos);
}

TEST_F(DocumentSafety, WhatTheToolDoesNotUnderstandItKeeps) {
  Edit(doc / "annotations.xml", "(<content name=\"symbol3d\">)",
       "$1<property key=\"fromANewerVersion\" type=\"symbol\">keep me</property>"
       "<content name=\"newerChild\"><property key=\"n\" type=\"int\">7</property></content>");
  Edit(doc / "annotations.xml", "</content>\\s*$",
       "<content name=\"annotation\"><property key=\"idPath\" type=\"symbol\">/future1</property>"
       "<content name=\"symbol9d\"><property key=\"a\" type=\"int\">1</property></content></content></content>\n");
  Edit(doc / "model.xml", "<part id=\"5\"", "<!-- mine --><note text=\"kept\"/><part id=\"5\" colour=\"red\"");
  const size_t written = Slurp(doc / "model.xml").size();
  const Result move = Run("doc move " + doc.string() + " /SHAFT --by 0,1,0");
  ASSERT_EQ(move.status, 0) << move.err;
  // The save adds the one attribute it sets, nothing of layout.
  EXPECT_LT(Slurp(doc / "model.xml").size(), written + 60);
  EXPECT_NE(move.err.find("/future1 is of a type this version does not know (symbol9d); it is kept"), std::string::npos)
      << move.err;
  const std::string content = Slurp(doc / "annotations.xml");
  for (const char* kept :
       {"keep me", "newerChild", "<property key=\"n\" type=\"int\">7</property>", "symbol9d", "/future1"}) {
    EXPECT_NE(content.find(kept), std::string::npos) << kept;
  }
  const std::string model = Slurp(doc / "model.xml");
  for (const char* kept : {"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- A small pump", "<!-- mine -->",
                           "<note text=\"kept\"/>", "colour=\"red\"", "  <sbom>\n"}) {
    EXPECT_NE(model.find(kept), std::string::npos) << kept << "\n" << model;
  }

  // A symbol on a weld keeps its connection while the SBOM is gone, and finds it again
  // when it is back.
  ASSERT_EQ(Run("doc place " + doc.string() + " --shape 3 --part /FLANGE").status, 0);
  const std::string withSbom = Slurp(doc / "model.xml");
  Edit(doc / "model.xml", "<sbom>[\\s\\S]*</sbom>", "");
  const Result hide = Run("doc hide " + doc.string() + " /5");
  ASSERT_EQ(hide.status, 0) << hide.err;
  EXPECT_NE(hide.err.find("keeps 1 connection to parts the model does not have now"), std::string::npos) << hide.err;
  Put(doc / "model.xml", withSbom);
  bool found = false;
  for (const auto& annotation : List(doc)) {
    if (annotation["id"] == "/cs3") {
      found = true;
      EXPECT_EQ(annotation["parts"][0]["part"], "/FLANGE/A");
    }
  }
  EXPECT_TRUE(found);
}

}  // namespace
