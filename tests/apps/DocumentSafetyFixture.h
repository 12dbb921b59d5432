// The tool run on documents in scratch folders, with their files compared before and after.
#pragma once

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

namespace document_safety {

namespace fs = std::filesystem;
using symbols_tool::Document;
using testsupport::Count;
using testsupport::Slurp;
using Files = std::map<std::string, std::string>;

constexpr const char* kPump = SYMBOLS_BINARY_DIR "/apps/samples/models/pump/model.xml";

inline void Put(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline std::string Replaced(const std::string& text, const std::string& pattern, const std::string& with) {
  return std::regex_replace(text, std::regex(pattern), with, std::regex_constants::format_first_only);
}

inline void Edit(const fs::path& path, const std::string& pattern, const std::string& with) {
  const std::string before = Slurp(path);
  const std::string after = Replaced(before, pattern, with);
  ASSERT_NE(before, after) << pattern << " in " << path;
  Put(path, after);
}

// Every entry below root as it is: a file's bytes, a link's target, a folder, a FIFO.
inline Files Snapshot(const fs::path& root) {
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
inline std::string Differences(const Files& a, const Files& b) {
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

inline std::string Nested(int depth, const char* open, const char* close) {
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

}  // namespace document_safety
