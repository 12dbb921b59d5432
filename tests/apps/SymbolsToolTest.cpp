// The symbols tool as its users meet it: a real process on real library folders, broken
// and hostile ones included.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "support/TextFiles.h"
#include "support/ToolRun.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Count;
using testsupport::Slurp;

using Result = testsupport::ToolResult;

// A library document with the given sections' inner text.
std::string Library(const std::string& categories, const std::string& shapes = "", const std::string& symbols = "") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<orbis-library><units>mm</units><information/><categories>" +
         categories + "</categories><shapes>" + shapes + "</shapes><symbols>" + symbols +
         "</symbols></orbis-library>\n";
}

std::string Image(int id, const std::string& name, const std::string& thumbnail, int category = 1) {
  return "<symbol id=\"" + std::to_string(id) + "\" categoryId=\"" + std::to_string(category) + "\"><name>" + name +
         "</name>" + (thumbnail.empty() ? "" : "<gallery_thumbnail url=\"" + thumbnail + "\"/>") +
         "<image url=\"SymbolsLibrary/2D/note.png\"/></symbol>";
}

class SymbolsTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testsupport::HaveTool()) {
      GTEST_SKIP() << "built without the tool";
    }
  }

  Result Run(const std::string& args, const std::string& environment = "") const {
    return testsupport::RunTool(scratch, args, environment);
  }
  Result RunOnBase(const std::string& args) const { return Run("--base " + base.string() + " " + args); }

  void Put(const fs::path& path, const std::string& text) const {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  // The embedded sample library as a scratch library of our own.
  void CopySamples() const { fs::copy(SYMBOLS_BINARY_DIR "/apps/samples", base, fs::copy_options::recursive); }
  fs::path UserFile() const { return base / "SymbolsLibrary/PartSymbolLibrary.xml"; }
  fs::path StandardFile() const { return base / "SymbolsLibrary/standard/PartSymbolLibrary.xml"; }
  fs::path Png() const { return base / "SymbolsLibrary/standard/2D/warning_64x64.png"; }

  testsupport::TempFolder temp;
  const fs::path scratch = temp.Path();
  const fs::path base = scratch / "base";
};

TEST_F(SymbolsTool, SampleLibraryListsChecksCleanAndShowsEntries) {
  Result list = Run("library list");
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_TRUE(list.err.empty()) << list.err;
  EXPECT_NE(list.out.find("3 categories, 4 shapes, 4 images"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("Category 1: Tools  [standard]"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("shape 1  Torque wrench  [standard]"), std::string::npos);
  EXPECT_NE(list.out.find("image 10  Note & remark  [user]"), std::string::npos);

  Result check = Run("library check");
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_NE(check.out.find("\nno problems\n"), std::string::npos) << check.out;

  Result show = Run("library show shape 1");
  ASSERT_EQ(show.status, 0);
  EXPECT_NE(show.out.find("torque: Tightening torque (25 Nm)"), std::string::npos) << show.out;
  EXPECT_EQ(show.out.find("camera:"), std::string::npos) << "empty fields are left out";
  EXPECT_EQ(Run("library show image 99").status, 1);
  const Result category = Run("library show category 3");
  EXPECT_NE(category.out.find("tooltip:           Symbols I made"), std::string::npos) << category.out;
  EXPECT_EQ(category.out.find("description:"), std::string::npos) << "an empty description is left out";

  Result find = Run("library find GLOVES");
  ASSERT_EQ(find.status, 0);
  EXPECT_NE(find.out.find("image 3  Protective gloves  category Tools  [standard]"), std::string::npos) << find.out;
  EXPECT_EQ(Run("library find nothing-like-this").status, 1);
}

// A library file that exists but gives nothing is named on standard error by every
// command, and export does not write the emptied catalogue over it.
TEST_F(SymbolsTool, FileNotReadIsNamedAndNotOverwritten) {
  CopySamples();
  // The five sections and a sixth child the file may not have.
  std::string broken = Library("<category id=\"3\"><name>Mine</name></category>");
  broken.insert(broken.find("</orbis-library>"), "<extra/>");
  Put(UserFile(), broken);
  for (const char* command : {"library list", "library find wrench", "library show shape 1"}) {
    const Result result = RunOnBase(command);
    EXPECT_EQ(result.status, 0) << command << result.err;
    EXPECT_EQ(Count(result.err, "\n"), 1u) << command << ": " << result.err;
    EXPECT_NE(result.err.find("user library " + UserFile().string() + " not read: the root element has 6 child"),
              std::string::npos)
        << command << ": " << result.err;
  }
  const Result gallery = RunOnBase("gallery --out " + (scratch / "g.html").string());
  EXPECT_EQ(gallery.status, 0);
  EXPECT_NE(gallery.err.find("not read"), std::string::npos);

  for (const char* mode : {"--user", "--standard"}) {
    const Result refused = RunOnBase(std::string("library export ") + mode + " " + UserFile().string());
    EXPECT_EQ(refused.status, 1) << mode;
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(Slurp(UserFile()), broken) << mode;
  }
  // Another target loses the unread entries just the same.
  EXPECT_EQ(RunOnBase("library export --user " + (scratch / "other.xml").string()).status, 1);
  EXPECT_FALSE(fs::exists(scratch / "other.xml"));
  const Result forced = RunOnBase("library export --user --force " + UserFile().string());
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(Slurp(UserFile()), broken);

  // A standard file read only as far as its first error: export --standard refuses
  // even to a new file; --user exports the user's own entries, which are all there.
  Put(UserFile(), Library("<category id=\"3\"><name>Mine</name></category>"));
  Put(StandardFile(), "<?xml version=\"1.0\"?>\n<orbis-library>\n  <units>\n");
  EXPECT_EQ(RunOnBase("library export --standard " + (scratch / "s.xml").string()).status, 1);
  const Result user = RunOnBase("library export --user " + (scratch / "u.xml").string());
  EXPECT_EQ(user.status, 0) << user.err;
  EXPECT_NE(user.err.find("standard library " + StandardFile().string() + " not read: XML error at line 3, column"),
            std::string::npos)
      << user.err;
}

TEST_F(SymbolsTool, ExportWritesThroughLinksKeepsModesAndRefusesNonFiles) {
  CopySamples();
  const fs::path real = scratch / "real.xml";
  const fs::path link = scratch / "link.xml";
  Put(real, "old");
  ::chmod(real.c_str(), 0640);
  fs::create_symlink("real.xml", link);
  const Result linked = RunOnBase("library export --user " + link.string());
  ASSERT_EQ(linked.status, 0) << linked.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_NE(Slurp(real).find("<title>Check marker</title>"), std::string::npos);
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_NE(linked.out.find("wrote " + link.string() + ": 1 category, 1 shape, 1 image"), std::string::npos)
      << linked.out;

  const fs::path fifo = scratch / "fifo.xml";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const Result toFifo = RunOnBase("library export --user " + fifo.string());
  EXPECT_EQ(toFifo.status, 1);
  EXPECT_NE(toFifo.err.find("is a FIFO, not a regular file"), std::string::npos) << toFifo.err;
  const Result toFolder = RunOnBase("library export --user " + scratch.string());
  EXPECT_EQ(toFolder.status, 1);
  EXPECT_NE(toFolder.err.find("is a folder"), std::string::npos) << toFolder.err;
  const Result noFolder = RunOnBase("library export --user " + (scratch / "no/such/x.xml").string());
  EXPECT_EQ(noFolder.status, 1);
  EXPECT_NE(noFolder.err.find("No such file or directory"), std::string::npos) << noFolder.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(scratch), fs::directory_iterator()), 6) << "no temporary file left";

  const Result toStdout = Run("library export --standard -");
  ASSERT_EQ(toStdout.status, 0);
  EXPECT_EQ(toStdout.out.rfind("<?xml", 0), 0u);
  EXPECT_NE(toStdout.out.find("Torque wrench"), std::string::npos);
  EXPECT_NE(toStdout.err.find("wrote standard output: 3 categories, 4 shapes, 4 images"), std::string::npos)
      << toStdout.err;

  const std::string old = (scratch / "old.xml").string();
  ASSERT_EQ(Run("library export --standard " + old, "ORRIN_SYMBOL_ENABLE_OLD_DIALOG=1").status, 0);
  EXPECT_EQ(Slurp(old).find("<annotation_to_symbol>"), std::string::npos);
}

TEST_F(SymbolsTool, PageShowsEveryImageAsALoadedStampAndEveryShapeAsAMarker) {
  const std::string svg = (scratch / "page.svg").string();
  const Result result = Run("page --out " + svg);
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("(4 images, 4 shapes)"), std::string::npos) << result.out;
  const std::string page = Slurp(svg);
  EXPECT_EQ(Count(page, "<image "), 4u);  // every image loaded: no dashed frames
  EXPECT_EQ(Count(page, "stroke-dasharray"), 0u);
  EXPECT_EQ(Count(page, "class=\"annotation\""), 4u);
  EXPECT_EQ(Count(page, "scale(-1 1)"), 1u);  // one mirrored left to right
  EXPECT_EQ(Count(page, "scale(1 -1)"), 1u);  // one mirrored top to bottom
  EXPECT_NE(page.find("<title>Protective gloves"), std::string::npos);
  EXPECT_NE(page.find(">Torque wrench</text>"), std::string::npos);
  EXPECT_EQ(Run("page").status, 2);
  EXPECT_EQ(Run("page --out " + (scratch / "no/such/dir/p.svg").string()).status, 1);
}

// FIFOs and devices where files belong are refused at once, never waited on.
TEST_F(SymbolsTool, SpecialFilesInTheLibraryNeitherHangNorPass) {
  CopySamples();
  fs::remove(UserFile());
  ASSERT_EQ(::mkfifo(UserFile().c_str(), 0644), 0);
  fs::remove(Png());
  ASSERT_EQ(::mkfifo(Png().c_str(), 0644), 0);
  const fs::path big = base / "SymbolsLibrary/standard/2D/hot_surface_64x64.png";
  fs::remove(big);
  fs::create_symlink("/dev/zero", big);

  const Result list = RunOnBase("library list");
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.err.find("user library " + UserFile().string() + " not read: not a regular file"), std::string::npos)
      << list.err;
  const Result check = RunOnBase("library check");
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("gallery thumbnail not a regular file: " + Png().string()), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("gallery thumbnail not a regular file: " + big.string()), std::string::npos) << check.out;
  const Result gallery = RunOnBase("gallery --out " + (scratch / "g.html").string());
  EXPECT_EQ(gallery.status, 0) << gallery.err;
}

// A page shows only images of the library, each once; anything else, and entries
// without a thumbnail, get the placeholder; no local path reaches the page.
TEST_F(SymbolsTool, GalleryEmbedsLibraryImagesOnceAndNothingElse) {
  CopySamples();
  const fs::path outside = scratch / "outside.png";
  fs::copy_file(Png(), outside);
  fs::copy_file(Png(), base / "SymbolsLibrary/2D/copy_64x64.png");
  const std::string passwd = scratch.string() + "/passwd";
  Put(passwd, "root:x:0:0:root:/root:/bin/bash\n");
  Put(base / "SymbolsLibrary/2D/fake.png", "not an image at all");
  const std::string symbols = Image(1, "Plain", "") +
                              Image(2, "First copy", "SymbolsLibrary/standard/2D/warning_64x64.png") +
                              Image(3, "Second copy", "SymbolsLibrary/2D/copy_64x64.png") +
                              Image(8, "Third copy", "SymbolsLibrary/standard/2D/warning_64x64.png") +
                              Image(4, "Climber", "../outside.png") + Image(5, "Secrets", passwd) +
                              Image(6, "Fake", "SymbolsLibrary/2D/fake.png") + Image(7, "Folder", "SymbolsLibrary/2D");
  Put(UserFile(), Library("<category id=\"1\"><name>Only</name></category>", "", symbols));
  fs::remove(StandardFile());

  const fs::path page = scratch / "gallery.html";
  const Result gallery = RunOnBase("gallery --out " + page.string());
  ASSERT_EQ(gallery.status, 0) << gallery.err;
  const std::string html = Slurp(page);
  EXPECT_EQ(Count(html, "url(data:image/png;base64,"), 1u) << "the one image, once";
  EXPECT_EQ(Count(html, "class=\"thumb missing\""), 5u);
  EXPECT_EQ(html.find("root:x"), std::string::npos);
  EXPECT_EQ(html.find(scratch.string()), std::string::npos) << "a local path in the page";
  EXPECT_NE(html.find("alt=\"Second copy\""), std::string::npos);
  EXPECT_NE(html.find("<nav><a href=\"#c1\">Only</a></nav>"), std::string::npos);
  EXPECT_NE(html.find("type=\"search\""), std::string::npos);

  const Result check = RunOnBase("library check --all");
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("image 4 \"Climber\": gallery thumbnail outside the library folders"), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("image 5 \"Secrets\": gallery thumbnail outside the library folders"), std::string::npos);
  EXPECT_NE(check.out.find("image 6 \"Fake\": gallery thumbnail not a PNG, JPEG, GIF or BMP image"), std::string::npos);
  EXPECT_NE(check.out.find("image 7 \"Folder\": gallery thumbnail not a regular file"), std::string::npos);
  EXPECT_NE(check.out.find("image 1 \"Plain\": gallery thumbnail none given"), std::string::npos);
}

TEST_F(SymbolsTool, CheckCountsByKindLimitsLinesAndChecksOneFile) {
  CopySamples();
  std::string shapes;
  for (int i = 0; i < 25; ++i) {
    shapes += "<shape id=\"7\" categoryId=\"3\"><name>Same " + std::to_string(i) +
              "</name><graphic url=\"SymbolsLibrary/Shape/marker.obj\"/><gallery_thumbnail "
              "url=\"SymbolsLibrary/2D/marker_64x64.png\"/></shape>";
  }
  Put(UserFile(), Library("<category id=\"3\"><name>Mine</name></category>", shapes));
  const Result check = RunOnBase("library check");
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("duplicate identifiers (24):"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("user library: shape \"Same 1\": identifier 7 is used earlier in the same file; read as"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("... and 4 more (--all lists them)"), std::string::npos);
  EXPECT_NE(check.out.find("problems: 24 duplicate identifiers"), std::string::npos) << check.out;
  EXPECT_EQ(Count(RunOnBase("library check --all").out, "is used earlier in the same file"), 24u);

  const Result json = RunOnBase("library check --json");
  const auto parsed = nlohmann::json::parse(json.out);
  EXPECT_EQ(parsed["counts"]["duplicateId"], 24);
  EXPECT_EQ(parsed["files"][2]["library"], "user");
  EXPECT_EQ(parsed["files"][2]["shapes"], 25);

  // One file alone: its own duplicates, not the merge with the standard library.
  const Result alone = Run("library check " + UserFile().string());
  EXPECT_EQ(alone.status, 1);
  EXPECT_EQ(Count(alone.out, " library: /"), 1u) << alone.out;
  EXPECT_NE(alone.out.find("24 duplicate identifiers"), std::string::npos);
  EXPECT_EQ(Run("library check " + StandardFile().string()).status, 0);
  Put(scratch / "broken.xml", "<?xml version=\"1.0\"?>\n<other/>");
  const Result broken = Run("library check " + (scratch / "broken.xml").string());
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.out.find("the root element is <other>, not <orbis-library>"), std::string::npos) << broken.out;
  EXPECT_NE(broken.out.find("1 problem: 1 library file not read"), std::string::npos) << broken.out;
}

TEST_F(SymbolsTool, NamesWithControlCharactersAreShownEscaped) {
  CopySamples();
  Put(UserFile(), Library("<category id=\"3\"><name>Bad\x1b[31mred</name></category>", "",
                          "<symbol id=\"9\" categoryId=\"3\"><name>Two\nlines\x07</name></symbol>"));
  for (const char* command : {"library list", "library find red", "library show category 3", "library check"}) {
    const Result result = RunOnBase(command);
    EXPECT_EQ(result.out.find('\x1b'), std::string::npos) << command;
    EXPECT_EQ(result.out.find('\x07'), std::string::npos) << command;
  }
  const Result list = RunOnBase("library list");
  EXPECT_NE(list.out.find("Category 3: Bad\\x1b[31mred  [user]"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("image 9  Two\\nlines\\x07  [user]"), std::string::npos) << list.out;
  const auto json = nlohmann::json::parse(RunOnBase("library show image 9 --json").out);
  EXPECT_EQ(json["entry"]["name"], "Two\nlines\x07");
}

TEST_F(SymbolsTool, FindFoldsCaseBeyondAscii) {
  CopySamples();
  Put(UserFile(), Library("<category id=\"3\"><name>Mine</name></category>", "",
                          "<symbol id=\"9\" categoryId=\"3\"><name>ОСТОРОЖНО Горячо</name><description>Θερμή "
                          "ΕΠΙΦΆΝΕΙΑ, Überhitzung</description></symbol>"));
  for (const char* text : {"осторожно", "ГОРЯЧО", "επιφάνεια", "ΘΕΡΜΉ", "überhitzung", "ÜBERHITZUNG"}) {
    const Result find = RunOnBase(std::string("library find '") + text + "'");
    EXPECT_EQ(find.status, 0) << text;
    EXPECT_NE(find.out.find("image 9"), std::string::npos) << text;
  }
}

TEST_F(SymbolsTool, CommandLineFollowsTheUsualConventions) {
  EXPECT_EQ(Run("library show shape -5").err, "symbols: no shape with identifier -5\n");
  EXPECT_EQ(Run("library show -- shape -5").status, 1);
  EXPECT_EQ(Run("--base=" SYMBOLS_BINARY_DIR "/apps/samples library show shape 1").status, 0);
  EXPECT_EQ(Run("library show shape 1 --base " SYMBOLS_BINARY_DIR "/apps/samples").status, 0);
  const Result version = Run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("symbols ", 0), 0u);
  for (const char* args :
       {"", "frobnicate", "library", "library show shape", "library show shape x", "library show thing 1",
        "library export x.xml", "library export --user --standard x.xml", "gallery", "library list --bogus", "--base",
        "--base '' library list", "--base /etc/passwd library list", "library check /no/such/file.xml"}) {
    const Result result = Run(args);
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_EQ(Count(result.err, "\n"), 1u) << args << ": " << result.err;
  }
  for (const char* args :
       {"--help", "library --help", "library list --help", "library show --help", "library check --help",
        "library find --help", "library export --help", "gallery --help", "page --help"}) {
    const Result result = Run(args);
    EXPECT_EQ(result.status, 0) << args;
    EXPECT_NE(result.out.find("usage: symbols"), std::string::npos) << args;
  }
  EXPECT_EQ(Run("--base /no/such/folder library list").status, 1);
}

TEST_F(SymbolsTool, JsonViewsParse) {
  const auto list = nlohmann::json::parse(Run("library list --json").out);
  EXPECT_EQ(list["counts"]["shapes"], 4);
  EXPECT_EQ(list["categories"][0]["name"], "Tools");
  EXPECT_EQ(list["categories"][0]["entries"][0]["title"], "Torque wrench");
  // Each entry under its own category, shapes before images, in list order.
  std::vector<std::string> warnings;
  for (const auto& entry : list["categories"][1]["entries"]) {
    warnings.push_back(entry["kind"].get<std::string>() + " " + std::to_string(entry["id"].get<int>()));
  }
  EXPECT_EQ(warnings, (std::vector<std::string>{"shape 3", "image 1", "image 2"}));
  const auto shape = nlohmann::json::parse(Run("library show shape 1 --json").out)["entry"];
  EXPECT_EQ(shape["tags"][0]["quantity"], "25");
  EXPECT_EQ(shape["camera"], nullptr);
  const auto find = nlohmann::json::parse(Run("library find wrench --json").out);
  EXPECT_EQ(find["matches"].size(), 1u);
  const auto check = nlohmann::json::parse(Run("library check --json").out);
  EXPECT_EQ(check["total"], 0);
}

}  // namespace
