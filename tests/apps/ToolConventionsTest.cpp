// The tool against the habits its users bring from other tools: "-" for standard input
// and output, JSON answers of one shape that match their written schemas, numbers without
// binary noise; and what the check says of pictures and of entries that landed in
// another library's category.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "JsonOutput.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "support/TextFiles.h"
#include "support/ToolRun.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testsupport::Count;
using testsupport::Slurp;
using Result = testsupport::ToolResult;

std::string Library(const std::string& categories, const std::string& shapes = "", const std::string& symbols = "") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<orbis-library><units>mm</units><information/><categories>" +
         categories + "</categories><shapes>" + shapes + "</shapes><symbols>" + symbols +
         "</symbols></orbis-library>\n";
}

std::string Symbol(int id, const std::string& name, const std::string& image, int category = 3) {
  return "<symbol id=\"" + std::to_string(id) + "\" categoryId=\"" + std::to_string(category) + "\"><name>" + name +
         "</name><gallery_thumbnail url=\"SymbolsLibrary/2D/note_64x64.png\"/><image url=\"" + image + "\"/></symbol>";
}

class ToolConventions : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testsupport::HaveTool()) {
      GTEST_SKIP() << "built without the tool";
    }
    fs::copy(SYMBOLS_BINARY_DIR "/apps/samples", base, fs::copy_options::recursive);
  }

  // Runs the tool in folder (the scratch folder when empty), standard input from input.
  Result Run(const std::string& args, const std::string& input = "/dev/null", const std::string& folder = "") const {
    return testsupport::RunTool(scratch, args, "cd '" + (folder.empty() ? scratch.string() : folder) + "' &&", input);
  }
  Result RunOnBase(const std::string& args) const { return Run("--base " + base.string() + " " + args); }

  void Put(const fs::path& path, const std::string& text) const {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  fs::path UserFile() const { return base / "SymbolsLibrary/PartSymbolLibrary.xml"; }

  // A document of the sample pump with a 3D symbol on the shaft and a stamp.
  std::string MakeDocument() const {
    const std::string document = (scratch / "pump").string();
    EXPECT_EQ(Run("doc new " + base.string() + "/models/pump/model.xml " + document).status, 0);
    EXPECT_EQ(Run("doc place " + document + " --shape 3 --part /SHAFT").status, 0);
    EXPECT_EQ(Run("doc stamp " + document + " --image 1 --center 110,500 --size 80,80").status, 0);
    return document;
  }

  testsupport::TempFolder temp;
  const fs::path scratch = temp.Path();
  const fs::path base = scratch / "base";
};

TEST_F(ToolConventions, DashIsStandardOutputForEveryFileWritten) {
  const std::string document = MakeDocument();
  struct Case {
    std::string args;
    std::string start;
    std::string report;
  };
  for (const Case& c : {Case{"gallery --out -", "<!DOCTYPE html>", "wrote standard output\n"},
                        Case{"page --out -", "<?xml", "wrote standard output (4 images, 4 shapes)\n"},
                        Case{"doc flatten " + document + " --out -", "<?xml", "wrote standard output ("},
                        Case{"library export --user -", "<?xml", "wrote standard output: 1 category"}}) {
    const Result result = Run(c.args);
    EXPECT_EQ(result.status, 0) << c.args << ": " << result.err;
    EXPECT_EQ(result.out.rfind(c.start, 0), 0u) << c.args;
    EXPECT_EQ(result.err.rfind(c.report, 0), 0u) << c.args << ": " << result.err;
    EXPECT_FALSE(fs::exists(scratch / "-")) << c.args << " wrote a file named -";
  }
  // The page is the same whichever way it goes.
  ASSERT_EQ(Run("page --out page.svg").status, 0);
  EXPECT_EQ(Run("page --out -").out, Slurp(scratch / "page.svg"));
  const Result flattened = Run("doc flatten " + document + " --out -");
  EXPECT_EQ(Count(flattened.out, "<image "), 1u) << "the stamp's image";
}

TEST_F(ToolConventions, CheckDashReadsTheLibraryFromStandardInput) {
  // Relative paths resolve against --base, else the current folder.
  const Result here = Run("library check -", UserFile().string(), base.string());
  EXPECT_EQ(here.status, 0) << here.out;
  EXPECT_NE(here.out.find("user library: (standard input)\n  read: 1 category, 1 shape, 1 image\n"), std::string::npos)
      << here.out;
  EXPECT_EQ(RunOnBase("library check -").status, 1) << "empty input reads as a broken file";
  const Result based = Run("--base " + base.string() + " library check -", UserFile().string());
  EXPECT_EQ(based.status, 0) << based.out;
  const Result elsewhere = Run("library check -", UserFile().string());
  EXPECT_EQ(elsewhere.status, 1);
  EXPECT_NE(elsewhere.out.find("missing thumbnail"), std::string::npos) << elsewhere.out;

  // An XML error is placed in the input as it is in the same file, declaration or not.
  for (const std::string& text : {std::string("<orbis-library><units>mm</unit></orbis-library>\n"),
                                  std::string("\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<orbis-library>\n<units>\n")}) {
    Put(scratch / "broken.xml", text);
    const Result piped = Run("library check -", (scratch / "broken.xml").string());
    const Result named = Run("library check broken.xml");
    EXPECT_EQ(piped.status, 1);
    const auto reason = [](const std::string& out) {
      const size_t at = out.find("XML error at line");
      return at == std::string::npos ? std::string("none") : out.substr(at, out.find('\n', at) - at);
    };
    EXPECT_EQ(reason(piped.out), reason(named.out)) << piped.out;
    EXPECT_NE(piped.out.find("user library: (standard input)"), std::string::npos);
  }
}

// Every key of a JSON answer, at any depth, except the keys of objects that map names.
void CollectKeys(const json& value, std::vector<std::string>& keys) {
  if (value.is_object()) {
    for (const auto& [key, item] : value.items()) {
      keys.push_back(key);
      CollectKeys(item, keys);
    }
  } else if (value.is_array()) {
    for (const json& item : value) {
      CollectKeys(item, keys);
    }
  }
}

TEST_F(ToolConventions, JsonAnswersShareOneShapeAndMatchTheirSchemas) {
  // A user library with float values that print with noise when widened carelessly, and
  // an entry filed under no category.
  Put(UserFile(), Library("<category id=\"3\"><name>Mine</name></category>",
                          "<shape id=\"10\" categoryId=\"3\"><name>Tilted</name><scale>0.7</scale><orientation>1"
                          "</orientation><shape_csys a=\"0.1\" b=\"0.2\" c=\"0.3\" d=\"0\" e=\"1\" f=\"0\" g=\"0\" "
                          "h=\"0\" i=\"1\" pos_x=\"0.1\" pos_y=\"0.2\" pos_z=\"0.3\"/><distance_from_csys>0.1"
                          "</distance_from_csys></shape>",
                          "<symbol id=\"11\" categoryId=\"-1\"><name>Loose</name></symbol>"));
  const std::string document = MakeDocument();
  ASSERT_EQ(Run("doc move " + document + " /SHAFT --by 0.1,0.1,0.1").status, 0);
  ASSERT_EQ(Run("doc move " + document + " /SHAFT --by 0.2,0.2,0.2").status, 0);
  struct Case {
    std::string args;
    std::string schema;
  };
  const std::string onBase = "--base " + base.string() + " ";
  const Case cases[] = {
      {onBase + "library list --json", "library-list"},
      {onBase + "library show shape 10 --json", "library-show"},
      {onBase + "library show shape 3 --json", "library-show"},
      {onBase + "library show image 2 --json", "library-show"},
      {onBase + "library show category 1 --json", "library-show"},
      {onBase + "library find o --json", "library-find"},
      {onBase + "library check --json", "library-check"},
      {"library check --json " + (scratch / "nowhere.xml").string(), "library-check"},
      // The commands that change a document, before the listing that shows their work.
      {"doc new --json " + base.string() + "/models/pump/model.xml " + (scratch / "other").string(), "doc-new"},
      {"doc place " + document + " --shape 10 --part /FLANGE --part /SHAFT --json", "doc-place"},
      {"doc stamp " + document + " --image 2 --center 5,5 --size 20,10 --rotate 450 --reverse --page 1 --json",
       "doc-stamp"},
      {"doc move " + document + " /FLANGE --by 0.1,0,0.2 --json", "doc-move"},
      {"doc hide " + document + " /FLANGE --json", "doc-show"},
      {"doc show " + document + " /1 --json", "doc-show"},
      {onBase + "doc list " + document + " --json", "doc-list"},
  };
  Put(scratch / "nowhere.xml", "<?xml version=\"1.0\"?>\n<orbis-library>\n<units>");
  const std::regex camelCase("[a-z][A-Za-z0-9]*");
  for (const Case& c : cases) {
    const Result result = Run(c.args);
    ASSERT_LE(result.status, 1) << c.args << ": " << result.err;
    const json answer = json::parse(result.out, nullptr, false);
    ASSERT_TRUE(answer.is_object()) << c.args;
    EXPECT_TRUE(answer["schemaVersion"].is_number_integer()) << c.args;
    EXPECT_EQ(answer["schemaVersion"], 1) << c.args;
    std::vector<std::string> keys;
    CollectKeys(answer, keys);
    for (const std::string& key : keys) {
      EXPECT_TRUE(std::regex_match(key, camelCase)) << c.args << ": key " << key;
    }
    // A symbol's place follows its part through single-precision arithmetic, whose error
    // is the document's own; the catalogue's numbers are as the files gave them.
    if (c.schema.rfind("doc-", 0) != 0) {
      EXPECT_EQ(result.out.find("00000"), std::string::npos) << c.args << ": a number with noise\n" << result.out;
      EXPECT_EQ(result.out.find("99999"), std::string::npos) << c.args << ": a number with noise\n" << result.out;
    }
#ifdef SYMBOLS_JSONSCHEMA
    const std::string answerFile = (scratch / (c.schema + ".json")).string();
    Put(answerFile, result.out);
    const std::string schema = SYMBOLS_SOURCE_DIR "/docs/schemas/" + c.schema + ".schema.json";
    const std::string report = (scratch / "validation.txt").string();
    EXPECT_EQ(std::system((SYMBOLS_JSONSCHEMA " -i " + answerFile + " " + schema + " >" + report + " 2>&1").c_str()), 0)
        << c.args << " does not match " << schema << ":\n"
        << Slurp(report);
#endif
  }
  const json list = json::parse(RunOnBase("library list --json").out);
  ASSERT_EQ(list["withoutCategory"].size(), 1u);
  EXPECT_EQ(list["withoutCategory"][0]["title"], "Loose");
  const json tilted = json::parse(RunOnBase("library show shape 10 --json").out)["entry"];
  EXPECT_EQ(tilted["csys"]["matrix"][0][0].dump(), "0.1");
  EXPECT_EQ(tilted["scale"].dump(), "0.7");
  const json check = json::parse(Run("library check --json " + (scratch / "nowhere.xml").string()).out);
  EXPECT_EQ(check["counts"]["fileNotRead"], 1);
  EXPECT_EQ(check["files"][0]["line"], 3);

  // The model file the moves rewrote carries neither noise nor trailing blanks.
  const std::string model = Slurp(fs::path(document) / "model.xml");
  EXPECT_NE(model.find("location=\"1 0 0 0 1 0 0 0 1 0.3 0.3 0.3\""), std::string::npos) << model;
  EXPECT_EQ(model.find(" \n"), std::string::npos);
}

TEST(JsonOutput, NumbersAreWrittenWithoutBinaryNoiseAndTheVersionComesFirst) {
  json answer = symbols_tool::JsonAnswer();
  answer["sum"] = 0.1 + 0.2;
  answer["single"] = symbols_tool::JsonNumber(0.1f);
  answer["exact"] = 1234567.125;
  answer["nested"] = {{"list", {75.00000000000001, -2.5e-07, 1e300}}};
  answer["count"] = 3;
  std::ostringstream out;
  symbols_tool::WriteJson(answer, out);
  EXPECT_EQ(out.str(),
            "{\n  \"schemaVersion\": 1,\n  \"count\": 3,\n  \"exact\": 1234567.125,\n  \"nested\": {\n    "
            "\"list\": [\n      75.0,\n      -2.5e-07,\n      1e+300\n    ]\n  },\n  \"single\": 0.1,\n  \"sum\": "
            "0.3\n}\n");
}

TEST_F(ToolConventions, CheckSaysWhereUserEntriesLandedAndWhichPicturesCannotBeDrawn) {
  // The user's category 1 is renumbered (the standard library's Tools hold 1), but its
  // entries keep naming 1: they land among the Tools.
  const std::string jpeg = testsupport::TestJpeg(16, 12);
  Put(base / "SymbolsLibrary/2D/photo.jpg", jpeg);
  Put(base / "SymbolsLibrary/2D/anim.gif", "GIF89a\x10\x00\x10\x00 and the rest");
  Put(base / "SymbolsLibrary/2D/old.bmp", "BM and the rest of a bitmap");
  Put(base / "SymbolsLibrary/2D/notes.txt", "just text");
  Put(UserFile(), Library("<category id=\"1\"><name>Mine</name></category>",
                          "<shape id=\"10\" categoryId=\"1\"><name>Marker</name><graphic "
                          "url=\"SymbolsLibrary/Shape/marker.obj\"/><gallery_thumbnail "
                          "url=\"SymbolsLibrary/2D/marker_64x64.png\"/></shape>",
                          Symbol(20, "Photo", "SymbolsLibrary/2D/photo.jpg", 1) +
                              Symbol(21, "Animation", "SymbolsLibrary/2D/anim.gif") +
                              Symbol(22, "Bitmap", "SymbolsLibrary/2D/old.bmp") +
                              Symbol(23, "Text", "SymbolsLibrary/2D/notes.txt")));
  const Result check = RunOnBase("library check");
  EXPECT_EQ(check.status, 1);
  for (const std::string line :
       {"user entries in another library's category (2):\n",
        "  shape 10 \"Marker\": its file meant category 1 \"Mine\" (renumbered 3), it landed in category 1 "
        "\"Tools\" of the standard library\n",
        "  image 20 \"Photo\": its file meant category 1 \"Mine\" (renumbered 3), it landed in category 1 \"Tools\" "
        "of the standard library\n",
        "image files stamps cannot draw (3):\n",
        "  image 21 \"Animation\": image file is a GIF image; stamps draw PNG or JPEG: ",
        "  image 22 \"Bitmap\": image file is a BMP image; stamps draw PNG or JPEG: ",
        "  image 23 \"Text\": image file is not an image; stamps draw PNG or JPEG: "}) {
    EXPECT_NE(check.out.find(line), std::string::npos) << line << "\n" << check.out;
  }
  EXPECT_EQ(check.out.find("\"Photo\": image file"), std::string::npos) << "a JPEG is drawn";
  const json answer = json::parse(RunOnBase("library check --json").out);
  EXPECT_EQ(answer["counts"]["inOtherCategory"], 2);
  EXPECT_EQ(answer["counts"]["imageNotDrawable"], 3);

  // The page draws the JPEG (and the sample PNGs); the others are dashed frames.
  const Result page = RunOnBase("page --out -");
  ASSERT_EQ(page.status, 0) << page.err;
  EXPECT_EQ(Count(page.out, "<image "), 4u) << "three sample images and the photo";
  EXPECT_EQ(Count(page.out, "stroke-dasharray"), 3u);
}

TEST_F(ToolConventions, SmallFrictionsAreGone) {
  // The gallery's search also looks at tags and says when nothing matches; entries are
  // named as people name them, not by the picker's internal names.
  const Result gallery = RunOnBase("gallery --out -");
  ASSERT_EQ(gallery.status, 0);
  EXPECT_NE(gallery.out.find("Tightening torque"), std::string::npos) << "a tag's text is searchable";
  EXPECT_NE(gallery.out.find("id=\"nothing\""), std::string::npos);
  EXPECT_NE(gallery.out.find("No entry matches"), std::string::npos);
  EXPECT_NE(gallery.out.find(">shape 1 · library<"), std::string::npos);
  EXPECT_EQ(gallery.out.find("ol.1"), std::string::npos);
  EXPECT_EQ(gallery.out.find("image.1"), std::string::npos);

  // An exported library has no blanks at line ends, and reads back as the same catalogue.
  const Result exported = RunOnBase("library export --user -");
  ASSERT_EQ(exported.status, 0);
  EXPECT_EQ(exported.out.find(" \n"), std::string::npos);
  EXPECT_NE(exported.out.find("<flip horizontal=\"false\" vertical=\"false\"/>\n"), std::string::npos);
  Put(UserFile(), exported.out);
  EXPECT_EQ(RunOnBase("library export --user -").out, exported.out);

  // A title that is the name is shown once; one of its own is shown too.
  const Result wrench = RunOnBase("library show shape 1");
  EXPECT_NE(wrench.out.find("  name:              Torque wrench\n"), std::string::npos) << wrench.out;
  EXPECT_EQ(wrench.out.find("  title:"), std::string::npos) << wrench.out;
  const Result marker = RunOnBase("library show shape 10");
  EXPECT_NE(marker.out.find("  name:              Marker\n  title:             Check marker\n"), std::string::npos)
      << marker.out;
}

}  // namespace
