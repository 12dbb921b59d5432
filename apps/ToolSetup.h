// The tool's view of the host: where the libraries are (base folder, shared folder,
// shared switch), installed into the host's world before the catalogue is used.
#pragma once

#include <string>
#include <vector>

namespace symbols_tool {

struct Locations {
  std::string base;    // folder that holds "SymbolsLibrary"
  std::string shared;  // shared cache preferences folder; may be empty
  bool sharedEnabled = false;
  bool usingSamples = false;
};

class ToolSetup {
 public:
  // The embedded sample library's base folder: beside the executable, else the build tree.
  [[nodiscard]] static std::string SampleBase();
  // Installs the locations into the host; false with a message when a folder is missing.
  [[nodiscard]] static bool Install(const Locations& locations, std::string& error);
};

// The folders thumbnails may be taken from: each library's own folder, nothing else.
[[nodiscard]] std::vector<std::string> ThumbnailFolders(const Locations& locations);

// UTF-8 from the catalogue's wide labels.
[[nodiscard]] std::string WideToUtf8(const std::wstring& text);

}  // namespace symbols_tool
