// Feeds arbitrary bytes to the symbols tool's check and gallery as a library folder: the
// input, split at NUL bytes, is the user library file, the standard library file, the
// shared library file and four thumbnail files, in that order. Beside them the folder
// holds what hostile libraries hold: a FIFO, a link to a device, a folder and a link
// out of the library, all with image names.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "CatalogueReport.h"
#include "CheckCommand.h"
#include "GalleryCommand.h"
#include "LibraryCheck.h"
#include "ThumbnailFiles.h"
#include "ToolContext.h"

namespace {

namespace fs = std::filesystem;

void Put(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string_view> Split(std::string_view input) {
  std::vector<std::string_view> parts;
  for (size_t at = 0; at <= input.size();) {
    const size_t end = std::min(input.find('\0', at), input.size());
    parts.push_back(input.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

// One scratch folder per process, laid out afresh for each input and removed when the
// fuzzer exits.
const fs::path& Scratch() {
  static const fs::path folder = [] {
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Scratch(), ignored);
    });
    return fs::temp_directory_path() / ("fuzz-symbols-tool-" + std::to_string(::getpid()));
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string_view> parts = Split(input);
  const fs::path root = Scratch();
  std::error_code ignored;
  fs::remove_all(root, ignored);
  const fs::path base = root / "base";
  const fs::path shared = root / "shared";
  const fs::path library = base / "SymbolsLibrary";
  const fs::path images = library / "2D";
  fs::create_directories(images);
  fs::create_directories(shared / "SymbolsLibrary");
  const char* const files[] = {"PartSymbolLibrary.xml", "standard/PartSymbolLibrary.xml"};
  for (size_t i = 0; i < 2 && i < parts.size(); ++i) {
    Put(library / files[i], parts[i]);
  }
  if (parts.size() > 2) {
    Put(shared / "SymbolsLibrary/PartSymbolLibrary.xml", parts[2]);
  }
  for (size_t i = 3; i < parts.size() && i < 7; ++i) {
    Put(images / ("t" + std::to_string(i - 3) + ".png"), parts[i]);
  }
  ::mkfifo((images / "fifo.png").c_str(), 0644);
  fs::create_symlink("/dev/zero", images / "zero.png", ignored);
  fs::create_directories(images / "dir.png", ignored);
  Put(root / "outside.png", "\x89PNG\r\n\x1a\n outside");
  fs::create_symlink("../../../outside.png", images / "out.png", ignored);

  std::ostringstream out;
  std::ostringstream err;
  symbols_tool::ToolContext context(out, err);
  context.GetLocations().base = base.string();
  context.GetLocations().shared = shared.string();
  context.GetLocations().sharedEnabled = size > 0 && (data[0] & 1) != 0;
  if (context.Install()) {
    const oxsymbols::PartslibraryList& list = context.Catalogue();
    // One check, written both ways.
    const symbols_tool::ThumbnailFiles thumbnails(symbols_tool::ThumbnailFolders(context.GetLocations()));
    const symbols_tool::LibraryCheck check(context.Report(), list, thumbnails);
    check.WriteText(out, true);
    symbols_tool::WriteJson(check.Json(), out);
    (void)symbols_tool::BuildGallery(list, context.GetLocations());
    // One file alone, as "library check FILE" reads it.
    symbols_tool::ToolCatalogue alone;
    oxsymbols::LoadReport report;
    alone.ReadLibraryFile((library / files[0]).string(), oxsymbols::LibraryOrigin::kUser, report);
    (void)symbols_tool::CheckLibrary(report, alone, context.GetLocations(), false, false, out);
  }
  return 0;
}
