// Opens a whole document made from the input, as the tool's commands open one: the
// input, split at its first four NUL bytes, is the model description, the annotations'
// content, a shape file (a.obj), a journal (when not empty) and, all the rest, an image
// (p.png). Beside them the folder holds what hostile documents hold: a link out of the
// document, a link to a device, a FIFO and a folder with files' names. A document that opens must save (and, for
// some inputs, draw a page of valid UTF-8), and what it saved must open again; one that is refused must be left byte
// for byte as it was; nothing outside it is ever written.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "Document.h"
#include "DocumentFlattener.h"
#include "DocumentOperations.h"
#include "ToolContext.h"
#include "oxk/ContentFile.h"
#include "util/Utf8.h"

namespace {

namespace fs = std::filesystem;
using symbols_tool::Document;

void Put(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// At most five parts: the last one is the rest of the input, NULs and all.
std::vector<std::string_view> Split(std::string_view input) {
  std::vector<std::string_view> parts;
  for (size_t at = 0; at <= input.size();) {
    const size_t end = parts.size() == 4 ? input.size() : std::min(input.find('\0', at), input.size());
    parts.push_back(input.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The regular files below root and their bytes; links and special files by kind.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(root, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    const fs::file_status status = it->symlink_status(ignored);
    files[fs::relative(it->path(), root).string()] = fs::is_regular_file(status) ? Slurp(it->path())
                                                     : fs::is_symlink(status)    ? "link"
                                                                                 : "other";
  }
  return files;
}

const fs::path& Scratch() {
  static const fs::path folder = [] {
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Scratch(), ignored);
    });
    return fs::temp_directory_path() / ("fuzz-document-open-" + std::to_string(::getpid()));
  }();
  return folder;
}

// The host's preferences (the sample library), installed once.
void InstallOnce() {
  static const bool installed = [] {
    std::ostringstream out;
    symbols_tool::ToolContext context(out, out);
    return context.Install();
  }();
  if (!installed) {
    std::abort();
  }
}

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InstallOnce();
  const std::vector<std::string_view> parts = Split(std::string_view(reinterpret_cast<const char*>(data), size));
  const fs::path root = Scratch();
  std::error_code ignored;
  fs::remove_all(root, ignored);
  const fs::path folder = root / "doc";
  const fs::path outside = root / "outside";
  const char* const names[] = {"model.xml", "annotations.xml", "a.obj", ".symbols-journal", "p.png"};
  const bool journal = parts.size() > 3 && !parts[3].empty();
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i != 3 || journal) {
      Put(folder / names[i], parts[i]);
    }
  }
  fs::create_directories(folder, ignored);
  Put(outside / "secret.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  fs::create_symlink("../outside/secret.obj", folder / "link.obj", ignored);
  fs::create_symlink("/dev/zero", folder / "zero.png", ignored);
  ::mkfifo((folder / "fifo.obj").c_str(), 0644);
  fs::create_directories(folder / "dir.png", ignored);
  const auto before = Snapshot(root);

  {
    Document document;
    std::string error;
    if (!document.Open(folder.string(), Document::Access::kWrite, error)) {
      // Refused: nothing written, unless a journal of this tool's own form was completed.
      Check(!error.empty());
      if (!journal) {
        Check(Snapshot(root) == before);
      }
      return 0;
    }
    (void)symbols_tool::DescribeAnnotations(document);
    // Drawing the page costs far more than the open; one input in eight (by its length)
    // draws it, so the open is tried many times more often.
    symbols_tool::FlattenSummary summary;
    if (size % 8 == 0 && symbols_tool::FlattenToSvg(document, (root / "page.svg").string(), summary, error)) {
      Check(util::Utf8::FindInvalid(Slurp(root / "page.svg")) == util::Utf8::npos);
    }
    if (!document.Save(error)) {
      return 0;
    }
  }
  // What was saved reads back exactly, and opens again.
  const std::string content = Slurp(folder / "annotations.xml");
  std::string why;
  Check(content.empty() || oxk::ContentFile::FromText(content, why));
  Check(Slurp(outside / "secret.obj") == "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  Document again;
  std::string error;
  Check(again.Open(folder.string(), Document::Access::kWrite, error));
  Check(again.Save(error));
  return 0;
}
