// "gallery": a self-contained HTML page of the picker's view of the catalogue.
#pragma once

#include <string>

#include "ToolCommand.h"

namespace symbols_tool {

class GalleryCommand : public ToolCommand {
 public:
  void Register(CLI::App& parent) override;
  [[nodiscard]] int Run(ToolContext& context) override;

 private:
  std::string m_out;
};

// The page for the catalogue of the locations given, as the command makes it.
[[nodiscard]] std::string BuildGallery(const oxsymbols::PartslibraryList& list, const Locations& locations);

}  // namespace symbols_tool
