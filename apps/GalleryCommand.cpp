#include "GalleryCommand.h"

#include "GalleryPage.h"
#include "OutputFile.h"

namespace symbols_tool {

std::string BuildGallery(const oxsymbols::PartslibraryList& list, const Locations& locations) {
  return GalleryPage::Build(list, ThumbnailFiles(ThumbnailFolders(locations)));
}

void GalleryCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("gallery",
                                "A self-contained HTML page of the picker's view: a category index, a search box, "
                                "and each entry's thumbnail, label and tooltip");
  m_app->add_option("--out", m_out, "The page to write, or - for standard output")->required();
}

int GalleryCommand::Run(ToolContext& context) {
  if (!context.Install()) {
    return kFailure;
  }
  const std::string page = BuildGallery(context.Catalogue(), context.GetLocations());
  const OutputFile out(m_out);
  if (!out.Write(page, context)) {
    return kFailure;
  }
  out.ReportStream(context) << "wrote " << out.Label() << "\n";
  return kOk;
}

}  // namespace symbols_tool
