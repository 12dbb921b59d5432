#include "GalleryCommand.h"

#include <filesystem>

#include "GalleryPage.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

std::string BuildGallery(const oxsymbols::PartslibraryList& list, const Locations& locations) {
  return GalleryPage::Build(list, ThumbnailFiles(ThumbnailFolders(locations)));
}

void GalleryCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("gallery",
                                "A self-contained HTML page of the picker's view: a category index, a search box, "
                                "and each entry's thumbnail, label and tooltip");
  m_app->add_option("--out", m_out, "The page to write")->required();
}

int GalleryCommand::Run(ToolContext& context) {
  if (!context.Install()) {
    return kFailure;
  }
  const std::string page = BuildGallery(context.Catalogue(), context.GetLocations());
  const std::string target = std::filesystem::absolute(m_out).lexically_normal().string();
  std::string error;
  if (!util::SafeFileWriter::Write(target, page, error)) {
    return context.Failure("could not write " + target + ": " + error);
  }
  context.Out() << "wrote " << target << "\n";
  return kOk;
}

}  // namespace symbols_tool
