// Documents tried as a hostile or unlucky user would, through the tool, checked from
// outside: the exit status, one line of error, and every file's bytes before and after,
// the document's and those around it. Whatever happens, a document is as it was or as
// the command says it made it, and nothing outside it is read into it or written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>

#include "Document.h"
#include "KeptContent.h"
#include "oxk/ContentFile.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "support/TextFiles.h"
#include "support/ToolRun.h"
#include "util/Utf8.h"

namespace {

namespace fs = std::filesystem;
using symbols_tool::Document;
using testsupport::Count;
using testsupport::Slurp;
using Files = std::map<std::string, std::string>;

constexpr const char* kPump = SYMBOLS_BINARY_DIR "/apps/samples/models/pump/model.xml";

void Put(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string Replaced(const std::string& text, const std::string& pattern, const std::string& with) {
  return std::regex_replace(text, std::regex(pattern), with, std::regex_constants::format_first_only);
}

void Edit(const fs::path& path, const std::string& pattern, const std::string& with) {
  const std::string before = Slurp(path);
  const std::string after = Replaced(before, pattern, with);
  ASSERT_NE(before, after) << pattern << " in " << path;
  Put(path, after);
}

// Every entry below root as it is: a file's bytes, a link's target, a folder, a FIFO.
Files Snapshot(const fs::path& root) {
  Files files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().lexically_relative(root).string();
    if (name == "out.txt" || name == "err.txt") {
      continue;
    }
    const fs::file_status status = it->symlink_status();
    if (fs::is_symlink(status)) {
      files[name] = "link to " + fs::read_symlink(it->path()).string();
    } else if (fs::is_regular_file(status)) {
      files[name] = Slurp(it->path());
    } else {
      files[name] = fs::is_directory(status) ? "folder" : "special";
    }
  }
  return files;
}

// The names whose entries differ between two snapshots, for a readable failure.
std::string Differences(const Files& a, const Files& b) {
  std::string names;
  for (const auto& [name, bytes] : a) {
    const auto other = b.find(name);
    if (other == b.end() || other->second != bytes) {
      names += " " + name + (bytes.size() < 40 && other != b.end() ? "(" + bytes + "|" + other->second + ")" : "");
    }
  }
  for (const auto& [name, bytes] : b) {
    if (a.count(name) == 0) {
      names += " +" + name;
    }
  }
  return names;
}

std::string Nested(int depth, const char* open, const char* close) {
  std::string text;
  for (int i = 0; i < depth; ++i) {
    text += open;
  }
  for (int i = 0; i < depth; ++i) {
    text += close;
  }
  return text;
}

class DocumentSafety : public ::testing::Test {
 protected:
  using Result = testsupport::ToolResult;

  void SetUp() override {
    if (!testsupport::HaveTool()) {
      GTEST_SKIP() << "built without the tool";
    }
    ASSERT_EQ(Run("doc new " + std::string(kPump) + " " + doc.string()).status, 0);
    ASSERT_EQ(Run("doc place " + doc.string() + " --shape 3 --part /SHAFT").status, 0);
    const Result stamp = Run("doc stamp " + doc.string() + " --image 1 --center 100,100 --size 40,40");
    ASSERT_EQ(stamp.status, 0) << stamp.err;
    Put(outside / "secret.txt", "root:x:0:0:root:/root:/bin/bash\n");
    fs::copy_file(fs::path(kPump).parent_path() / "shaft.obj", outside / "shaft.obj");
  }
  Result Run(const std::string& args, const std::string& environment = "") const {
    return testsupport::RunTool(scratch, args, environment);
  }
  // A fresh copy of the document, to be spoilt.
  fs::path Copy(const std::string& name) const {
    const fs::path copy = scratch / name;
    fs::remove_all(copy);
    fs::copy(doc, copy, fs::copy_options::recursive);
    return copy;
  }
  std::string StampImage() const {
    std::smatch found;
    const std::string content = Slurp(doc / Document::kContentFile);
    EXPECT_TRUE(std::regex_search(content, found, std::regex("key=\"imageFileName\" type=\"symbol\">([^<]*)<")));
    return found[1];
  }
  nlohmann::json List(const fs::path& folder) const {
    const Result list = Run("doc list --json " + folder.string());
    EXPECT_EQ(list.status, 0) << list.err;
    const nlohmann::json parsed = nlohmann::json::parse(list.out, nullptr, false);
    const bool listed = parsed.is_object() && parsed.contains("annotations") && parsed["annotations"].is_array();
    EXPECT_TRUE(listed) << list.out;
    return listed ? parsed["annotations"] : nlohmann::json::array();
  }

  // Where the first annotation is along x; NaN when there is none.
  double FirstX(const fs::path& folder) const {
    const nlohmann::json list = List(folder);
    return list.empty() ? std::nan("") : list[0]["position"][0].get<double>();
  }

  testsupport::TempFolder temp;
  const fs::path scratch = temp.Path();
  const fs::path doc = scratch / "doc";
  const fs::path outside = scratch / "outside";
};

TEST_F(DocumentSafety, HostileDocumentsAreRefusedInOneLineAndNothingIsWritten) {
  const std::string image = StampImage();
  const struct {
    const char* what;
    std::function<void(const fs::path&)> spoil;
    const char* says;
  } cases[] = {
      {"two roots",
       [](const fs::path& d) {
         Put(d / "annotations.xml", Slurp(d / "annotations.xml") + "<content name=\"document\"/>");
       },
       "a second root element"},
      {"trailing garbage",
       [](const fs::path& d) { Put(d / "annotations.xml", Slurp(d / "annotations.xml") + "garbage"); },
       "annotations.xml: line "},
      {"a value that is no number",
       [](const fs::path& d) { Edit(d / "annotations.xml", "(key=\"width\" type=\"float\">)[^<]*", "$1abc"); },
       "does not read as one: \"abc\""},
      {"an overflowing value",
       [](const fs::path& d) { Edit(d / "annotations.xml", "(key=\"width\" type=\"float\">)[^<]*", "$1 1e999"); },
       "does not read as one"},
      {"nan",
       [](const fs::path& d) { Edit(d / "annotations.xml", "(key=\"locPosition\" type=\"point\">)[^ ]*", "$1nan"); },
       "does not read as one"},
      {"inf", [](const fs::path& d) { Edit(d / "annotations.xml", "(key=\"height\" type=\"float\">)[^<]*", "$1inf"); },
       "does not read as one"},
      {"deep content",
       [](const fs::path& d) {
         Edit(d / "annotations.xml", "</content>\\s*$",
              Nested(70, "<content name=\"n\">", "</content>") + "</content>\n");
       },
       "nested deeper than 64 levels"},
      {"bytes that are not UTF-8",
       [](const fs::path& d) { Edit(d / "annotations.xml", "(key=\"title\" type=\"symbol\">)", "$1\xff"); },
       "not UTF-8 text"},
      {"an unknown value type",
       [](const fs::path& d) { Edit(d / "annotations.xml", "type=\"float\"", "type=\"float128\""); },
       "a type this version does not know: float128"},
      {"an identifier held twice", [](const fs::path& d) { Edit(d / "annotations.xml", "/stamp1", "/cs2"); },
       "two annotations have the identifier /cs2"},
      {"a symbol on a part's node", [](const fs::path& d) { Edit(d / "annotations.xml", ">cs2<", ">1<"); },
       "the symbol /cs2 would take the node /1"},
      {"two symbols on one node",
       [](const fs::path& d) {
         std::smatch symbol;
         const std::string content = Slurp(d / "annotations.xml");
         ASSERT_TRUE(std::regex_search(
             content, symbol,
             std::regex("  <content name=\"annotation\">[\\s\\S]*?symbol3d[\\s\\S]*?\n  </content>\n")));
         Edit(d / "annotations.xml", "</content>\\s*$", Replaced(symbol.str(), ">/cs2<", ">/cs9<") + "</content>\n");
       },
       "the symbol /cs9 would take the node /cs2"},
      {"a file outside named by a stamp",
       [&](const fs::path& d) { Edit(d / "annotations.xml", image, "../outside/secret.txt"); },
       "names the file ../outside/secret.txt: a path that leaves the folder"},
      {"a packed image linked out",
       [&](const fs::path& d) {
         fs::remove(d / image);
         fs::create_symlink(outside / "secret.txt", d / image);
       },
       "is a symbolic link"},
      {"a packed symbol linked out",
       [&](const fs::path& d) {
         fs::remove(d / "arrow.obj");
         fs::create_symlink(outside / "shaft.obj", d / "arrow.obj");
       },
       "is a symbolic link"},
      {"a dangling link for a packed file",
       [&](const fs::path& d) {
         fs::remove(d / "arrow.obj");
         fs::create_symlink(outside / "none.obj", d / "arrow.obj");
       },
       "is a symbolic link"},
      {"content that is a folder",
       [](const fs::path& d) {
         fs::remove(d / "annotations.xml");
         fs::create_directory(d / "annotations.xml");
       },
       "annotations.xml: is a folder"},
      {"content that is a FIFO",
       [](const fs::path& d) {
         fs::remove(d / "annotations.xml");
         ::mkfifo((d / "annotations.xml").c_str(), 0644);
       },
       "annotations.xml: is not a regular file"},
      {"model with two roots", [](const fs::path& d) { Put(d / "model.xml", Slurp(d / "model.xml") + "<model/>"); },
       "a second root element <model>"},
      {"model value that is no number",
       [](const fs::path& d) { Edit(d / "model.xml", "<part id=\"5\"", "<part id=\"5\" position=\"abc 0 0\""); },
       "part \"5\": its location or position is not a list of finite numbers"},
      {"model nan",
       [](const fs::path& d) { Edit(d / "model.xml", "<part id=\"5\"", "<part id=\"5\" position=\"nan 0 0\""); },
       "its location or position"},
      {"model 1e999",
       [](const fs::path& d) { Edit(d / "model.xml", "<part id=\"5\"", "<part id=\"5\" position=\"1e999 0 0\""); },
       "its location or position"},
      {"deep model",
       [](const fs::path& d) { Edit(d / "model.xml", "<sbom>", Nested(300, "<part id=\"d\">", "</part>") + "<sbom>"); },
       "nested deeper than 256 levels"},
      {"model that is a link",
       [&](const fs::path& d) {
         fs::rename(d / "model.xml", outside / "model.xml");
         fs::create_symlink(outside / "model.xml", d / "model.xml");
       },
       "model.xml: is a symbolic link"},
      {"shape file outside", [](const fs::path& d) { Edit(d / "model.xml", "shaft.obj", "../outside/shaft.obj"); },
       "the shape file ../outside/shaft.obj cannot be used: a path that leaves the folder"},
      {"shape file linked out",
       [&](const fs::path& d) {
         fs::remove(d / "shaft.obj");
         fs::create_symlink(outside / "secret.txt", d / "shaft.obj");
       },
       "the shape file shaft.obj cannot be used: it is a symbolic link"},
      {"shape file that is a FIFO",
       [](const fs::path& d) {
         fs::remove(d / "shaft.obj");
         ::mkfifo((d / "shaft.obj").c_str(), 0644);
       },
       "the shape file shaft.obj cannot be used: it is not a regular file"},
      {"a journal this tool did not write",
       [](const fs::path& d) { Put(d / ".symbols-journal", "rename .symbols-stage-x model.xml\n"); },
       ".symbols-journal: line 1: not a journal of this tool"},
  };
  for (const auto& hostile : cases) {
    const fs::path spoilt = Copy("spoilt");
    hostile.spoil(spoilt);
    const Files before = Snapshot(scratch);
    for (const std::string& command :
         {"doc move " + spoilt.string() + " /SHAFT --by 1,0,0", "doc list " + spoilt.string()}) {
      const Result result = Run(command);
      EXPECT_EQ(result.status, 1) << hostile.what << ": " << command << "\n" << result.err;
      EXPECT_EQ(Count(result.err, "\n"), 1u) << hostile.what << ": " << result.err;
      EXPECT_NE(result.err.find(hostile.says), std::string::npos) << hostile.what << ": " << result.err;
    }
    EXPECT_EQ(Differences(Snapshot(scratch), before), "") << hostile.what;
  }
}

TEST_F(DocumentSafety, ConcurrentWritersNeverLoseEachOthersWork) {
  const auto runAll = [&](int count, const std::string& args) {
    std::string script = "for i in $(seq 1 " + std::to_string(count) +
                         "); do ( timeout 60 " SYMBOLS_BINARY_DIR "/apps/symbols " + args + " >" + scratch.string() +
                         "/run$i.out 2>" + scratch.string() + "/run$i.err; echo $? >" + scratch.string() +
                         "/run$i.status ) & done; wait";
    EXPECT_EQ(std::system(script.c_str()), 0);
    std::set<int> succeeded;
    for (int i = 1; i <= count; ++i) {
      const std::string status = Slurp(scratch / ("run" + std::to_string(i) + ".status"));
      const std::string err = Slurp(scratch / ("run" + std::to_string(i) + ".err"));
      if (status == "0\n") {
        succeeded.insert(i);
      } else {
        // Every failure is told: the command waited for the others and gave up.
        EXPECT_EQ(status, "1\n") << err;
        EXPECT_NE(err.find("symbols: document is in use by another command\n"), std::string::npos) << err;
      }
    }
    EXPECT_FALSE(succeeded.empty());
    return succeeded;
  };
  const std::set<int> stamped = runAll(12, "doc stamp " + doc.string() + " --image 2 --center $i,7 --size 5,5");
  std::set<int> listed;
  for (const auto& annotation : List(doc)) {
    if (annotation["type"] == "symbol2d" && annotation["position"][1] == 7) {
      listed.insert(annotation["position"][0].get<int>());
    }
  }
  EXPECT_EQ(listed, stamped);

  const double before = FirstX(doc);
  const std::set<int> moved = runAll(8, "doc move " + doc.string() + " /SHAFT --by 1,0,0");
  EXPECT_EQ(FirstX(doc) - before, static_cast<double>(moved.size()));
}

// Each changing command stopped (SIGKILL) at every write step in turn; the next command
// finds the document as it was or as the command would have made it, never a mix.
class KilledCommand : public DocumentSafety, public ::testing::WithParamInterface<const char*> {};

TEST_P(KilledCommand, LeavesTheDocumentOldOrNewNeverAMix) {
  const std::string command = GetParam();
  const auto args = [&](const fs::path& folder) { return "doc " + Replaced(command, "DOC", folder.string()); };
  const Files old = Snapshot(doc);
  const fs::path reference = Copy("reference");
  const Result done = Run(args(reference));
  ASSERT_EQ(done.status, 0) << done.err;
  const Files made = Snapshot(reference);
  ASSERT_NE(made, old);
  int step = 1;
  for (;; ++step) {
    ASSERT_LT(step, 60) << "the command never completed";
    const fs::path work = Copy("work");
    const Result killed = Run(args(work), "SYMBOLS_KILL_AT_WRITE_STEP=" + std::to_string(step));
    if (killed.status == 0) {
      EXPECT_EQ(Differences(Snapshot(work), made), "");
      break;
    }
    ASSERT_EQ(killed.status, 137) << "step " << step << ": " << killed.err;
    const Result next = Run("doc list " + work.string());
    ASSERT_EQ(next.status, 0) << "step " << step << ": " << next.err;
    const Files after = Snapshot(work);
    EXPECT_TRUE(after == old || after == made) << "a mix after step " << step << ": old but" << Differences(after, old)
                                               << "; new but" << Differences(after, made);
  }
  EXPECT_GE(step, 5) << "fewer write steps than files to save";
}

INSTANTIATE_TEST_SUITE_P(DocumentSafety, KilledCommand,
                         ::testing::Values("stamp DOC --image 2 --center 5,5 --size 9,9",
                                           "place DOC --shape 10 --part /FLANGE", "move DOC /SHAFT --by 0,0,5",
                                           "hide DOC /FLANGE"));

TEST_F(DocumentSafety, ANewDocumentAppearsWholeOrNotAtAll) {
  const fs::path reference = scratch / "reference";
  ASSERT_EQ(Run("doc new " + std::string(kPump) + " " + reference.string()).status, 0);
  const Files made = Snapshot(reference);
  const Files around = Snapshot(scratch);
  for (int step = 1;; ++step) {
    ASSERT_LT(step, 40);
    const fs::path target = scratch / "new";
    const Result killed = Run("doc new " + std::string(kPump) + " " + target.string(),
                              "SYMBOLS_KILL_AT_WRITE_STEP=" + std::to_string(step));
    if (killed.status == 0) {
      EXPECT_EQ(Differences(Snapshot(target), made), "");
      break;
    }
    EXPECT_FALSE(fs::exists(target)) << "step " << step;
  }
  // A later run clears what the stopped ones left beside the target.
  fs::remove_all(scratch / "new");
  ASSERT_EQ(Run("doc new " + std::string(kPump) + " " + (scratch / "new").string()).status, 0);
  Files now = Snapshot(scratch);
  for (const auto& [name, bytes] : made) {
    EXPECT_EQ(now["new/" + name], bytes);
    now.erase("new/" + name);
  }
  now.erase("new");
  EXPECT_EQ(Differences(now, around), "");

  // Only the model's own shapes, that read as shapes, are copied in; nothing is left on
  // a refusal.
  const fs::path model = scratch / "model";
  Put(model / "model.xml", "<model><part id=\"1\" shape=\"a.obj\"/></model>");
  const struct {
    std::function<void()> make;
    const char* says;
  } refused[] = {
      {[&] { fs::create_symlink(outside / "secret.txt", model / "a.obj"); }, "a.obj: is a symbolic link"},
      {[&] { ::mkfifo((model / "a.obj").c_str(), 0644); }, "a.obj: is not a regular file"},
      {[&] { Put(model / "a.obj", "root:x:0:0:root:/root:/bin/bash\n"); }, "not a shape file the loader reads"},
  };
  for (const auto& bad : refused) {
    fs::remove(model / "a.obj");
    bad.make();
    const Files before = Snapshot(scratch);
    const Result result = Run("doc new " + (model / "model.xml").string() + " " + (scratch / "other/doc").string());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(bad.says), std::string::npos) << result.err;
    EXPECT_EQ(Differences(Snapshot(scratch), before), "");
  }
}

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

// The merge an annotation's save goes through, on its own.
TEST(KeptContent, PutsBackWhatTheWriterDidNotWriteAndNothingTwice) {
  using Element = oxk::SerializedContentElement;
  using Value = Element::Value;
  const auto part = [](const util::SmartPtr<Element>& parent, const char* id, float at) {
    auto child = parent->StartContent(util::Symbol("attachedToPart"));
    child->AddProperty(util::Symbol("attachedToPartId"), Value(util::Symbol(id)));
    child->AddProperty(util::Symbol("lastPos"), Value(at));
    return child;
  };
  util::SmartPtr<Element> saved(new Element(util::Symbol("symbol3d")));
  saved->AddProperty(util::Symbol("title"), Value(util::Symbol("old")));
  saved->AddProperty(util::Symbol("unknown"), Value(int32_t{3}));
  part(saved, "/A", 1)->EndContent();
  auto b = part(saved, "/B", 2);
  b->AddProperty(util::Symbol("unknownInside"), Value(true));
  b->EndContent();
  saved->EndContent();
  util::SmartPtr<Element> written(new Element(util::Symbol("symbol3d")));
  written->AddProperty(util::Symbol("title"), Value(util::Symbol("new")));
  part(written, "/B", 5)->EndContent();  // /A no longer resolves
  written->EndContent();

  const auto merged = symbols_tool::KeptContent::Merge(*saved, *written);
  EXPECT_EQ(oxk::ContentFile::ToText(*merged),
            "<?xml version=\"1.0\"?>\n<content name=\"symbol3d\">\n"
            "  <property key=\"title\" type=\"symbol\">new</property>\n"
            "  <content name=\"attachedToPart\">\n"
            "    <property key=\"attachedToPartId\" type=\"symbol\">/B</property>\n"
            "    <property key=\"lastPos\" type=\"float\">5</property>\n"
            "    <property key=\"unknownInside\" type=\"bool\">true</property>\n"
            "  </content>\n"
            "  <property key=\"unknown\" type=\"int\">3</property>\n"
            "  <content name=\"attachedToPart\">\n"
            "    <property key=\"attachedToPartId\" type=\"symbol\">/A</property>\n"
            "    <property key=\"lastPos\" type=\"float\">1</property>\n"
            "  </content>\n"
            "</content>\n");
  // Merged again with what it now writes, nothing is added twice.
  EXPECT_EQ(oxk::ContentFile::ToText(*symbols_tool::KeptContent::Merge(*merged, *merged)),
            oxk::ContentFile::ToText(*merged));
}

}  // namespace
