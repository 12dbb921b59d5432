#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class SymbolsTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(SYMBOLS_BINARY_DIR "/apps/symbols")) {
      GTEST_SKIP() << "built without the tool";
    }
    scratch = std::filesystem::temp_directory_path() / ("symbols-tool-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
  }

  Result Run(const std::string& args, const std::string& environment = "") const {
    const std::string out = (scratch / "out.txt").string(), err = (scratch / "err.txt").string();
    const std::string command = environment + " " SYMBOLS_BINARY_DIR "/apps/symbols " + args + " >" + out + " 2>" + err;
    Result result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = Slurp(out);
    result.err = Slurp(err);
    return result;
  }

  void Put(const std::string& relative, const std::string& text) const {
    const auto path = scratch / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

  std::filesystem::path scratch;
};

TEST_F(SymbolsTool, SampleLibraryListsChecksCleanAndShowsEntries) {
  Result list = Run("library list");
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("Category 1: Tools  [standard]"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("shape 1  Torque wrench  [standard]"), std::string::npos);
  EXPECT_NE(list.out.find("image 10  Note & remark  [user]"), std::string::npos);

  Result check = Run("library check");
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_NE(check.out.find("no problems"), std::string::npos);

  Result show = Run("library show shape 1");
  ASSERT_EQ(show.status, 0);
  EXPECT_NE(show.out.find("torque: Tightening torque (25 Nm)"), std::string::npos) << show.out;
  EXPECT_EQ(Run("library show image 99").status, 1);

  Result find = Run("library find GLOVES");
  ASSERT_EQ(find.status, 0);
  EXPECT_NE(find.out.find("image 3  Protective gloves  category Tools  [standard]"), std::string::npos) << find.out;
  EXPECT_EQ(Run("library find nothing-like-this").status, 1);
}

TEST_F(SymbolsTool, CheckExplainsWhyAFileContributedNothing) {
  Put("base/SymbolsLibrary/standard/PartSymbolLibrary.xml", "<?xml version=\"1.0\"?>\n<orbis-library>\n  <units>\n");
  Put("base/SymbolsLibrary/PartSymbolLibrary.xml",
      "<?xml version=\"1.0\"?><orbis-library><units/><information/><categories/><shapes><shape id=\"1\">"
      "<graphic url=\"SymbolsLibrary/Shape/none.obj\"/></shape></shapes></orbis-library>");
  Result check = Run("--base " + (scratch / "base").string() + " library check");
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("XML error at line 3, column 10"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("has 4 child elements"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("the shared library is switched off"), std::string::npos);
}

TEST_F(SymbolsTool, ExportAndGalleryWriteFiles) {
  const std::string user = (scratch / "user.xml").string();
  ASSERT_EQ(Run("library export --user " + user).status, 0);
  const std::string exported = Slurp(user);
  EXPECT_NE(exported.find("<title>Check marker</title>"), std::string::npos);
  EXPECT_EQ(exported.find("Torque"), std::string::npos);
  EXPECT_NE(exported.find("<annotation_to_symbol>"), std::string::npos);

  const std::string old = (scratch / "old.xml").string();
  ASSERT_EQ(Run("library export --standard " + old, "ORRIN_SYMBOL_ENABLE_OLD_DIALOG=1").status, 0);
  EXPECT_NE(Slurp(old).find("Torque wrench"), std::string::npos);
  EXPECT_EQ(Slurp(old).find("<annotation_to_symbol>"), std::string::npos);

  const std::string page = (scratch / "gallery.html").string();
  ASSERT_EQ(Run("gallery --out " + page).status, 0);
  const std::string html = Slurp(page);
  EXPECT_NE(html.find("<h2>Warnings</h2>"), std::string::npos);
  EXPECT_NE(html.find("data:image/png;base64,"), std::string::npos);
  EXPECT_EQ(html.find("class=\"missing\""), std::string::npos);
  EXPECT_EQ(Run("library export --user " + (scratch / "no/such/dir/x.xml").string()).status, 1);
}

TEST_F(SymbolsTool, BadUsageExitsTwoWithOneLineAndHelpEverywhere) {
  for (const char* args : {"", "frobnicate", "library", "library show shape", "library show shape x",
                           "library export x.xml", "gallery", "library list --bogus", "--base"}) {
    const Result result = Run(args);
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << args << ": " << result.err;
  }
  for (const char* args : {"--help", "library --help", "library list --help", "library show --help",
                           "library check --help", "library find --help", "library export --help", "gallery --help"}) {
    const Result result = Run(args);
    EXPECT_EQ(result.status, 0) << args;
    EXPECT_NE(result.out.find("usage: symbols"), std::string::npos) << args;
  }
  EXPECT_EQ(Run("--base /no/such/folder library list").status, 1);
}

}  // namespace
