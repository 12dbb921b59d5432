// Documents under attack from outside: one writer at a time, all or nothing, nothing outside.
#include "DocumentSafetyFixture.h"

namespace {

using namespace document_safety;

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

}  // namespace
