#include "DemoCommand.h"

#include <filesystem>
#include <vector>

#include "Document.h"
#include "DocumentCommands.h"
#include "DocumentFlattener.h"
#include "DocumentOperations.h"
#include "GalleryCommand.h"
#include "Utf8Text.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

namespace fs = std::filesystem;

namespace {

// Frozen: the file that marks a folder as the demo's own, so that a later run may replace
// what the demo wrote there and nothing else.
constexpr const char* kMarker = ".symbols-demo";
// The part the first symbol goes on and the demo moves, and the weld of the second.
constexpr const char* kMovedPart = "/SHAFT";
constexpr const char* kWeld = "/FLANGE";

// Makes out ready: new, empty, or an earlier demo's output (which goes).
bool PrepareFolder(const fs::path& out, std::string& error) {
  std::error_code failed;
  if (fs::exists(out, failed)) {
    if (!fs::is_directory(out, failed)) {
      error = "not a folder: " + out.string();
      return false;
    }
    if (!fs::is_empty(out, failed) && !fs::exists(out / kMarker, failed)) {
      error = "not empty and not an earlier demo's folder, nothing written: " + out.string();
      return false;
    }
    for (const char* mine : {"pump", "pump.svg", "gallery.html"}) {
      fs::remove_all(out / mine, failed);
    }
  }
  fs::create_directories(out, failed);
  if (failed) {
    error = "cannot make " + out.string() + ": " + failed.message();
    return false;
  }
  return util::SafeFileWriter::Write((out / kMarker).string(), "written by symbols demo, which replaces it\n", error);
}

// The entries the demo places: annotation symbols for the parts (the second may be the
// first again), the first two images for the stamps.
struct Picks {
  util::SmartPtr<oxsymbols::PartslibraryOlItem> onPart;
  util::SmartPtr<oxsymbols::PartslibraryOlItem> onWeld;
  std::vector<util::SmartPtr<oxsymbols::PartslibraryImageItem>> images;
};

bool Pick(const oxsymbols::PartslibraryList& catalogue, Picks& picks, std::string& error) {
  for (const auto& entry : catalogue.GetOlList()) {
    if (entry && entry->IsAnnotationSymbol()) {
      (picks.onPart ? picks.onWeld : picks.onPart) = entry;
      if (picks.onWeld) {
        break;
      }
    }
  }
  if (!picks.onPart) {
    error = "the library has no shape entry that is an annotation symbol";
    return false;
  }
  if (!picks.onWeld) {
    picks.onWeld = picks.onPart;
  }
  for (const auto& entry : catalogue.GetImageList()) {
    if (entry && picks.images.size() < 2) {
      picks.images.push_back(entry);
    }
  }
  if (picks.images.empty()) {
    error = "the library has no image entry";
    return false;
  }
  return true;
}

std::string Named(const util::Symbol& idPath, const std::string& title) {
  return idPath.str() + " " + EscapeForTerminal(title);
}

}  // namespace

void DemoCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("demo",
                                "The whole road of a symbol on the sample pump model: place, follow, save, reopen, "
                                "flatten, and see it");
  m_app->add_option("--out", m_out, "The folder to write into (new, empty, or an earlier demo's)");
}

int DemoCommand::Run(ToolContext& context) {
  if (!context.Install()) {
    return kFailure;
  }
  std::ostream& out = context.Out();
  const fs::path folder = fs::absolute(m_out).lexically_normal();
  const fs::path documentFolder = folder / "pump";
  const std::string model = (fs::path(ToolSetup::SampleBase()) / "models" / "pump" / "model.xml").string();
  std::string error;
  Picks picks;
  if (!Pick(context.Catalogue(), picks, error) || !PrepareFolder(folder, error)) {
    return context.Failure(error);
  }
  out << "symbols demo: a symbol's road through the module, written to " << folder.string() << "\n";

  if (!Document::Create(model, documentFolder.string(), error)) {
    return context.Failure(error);
  }
  out << "1. new document " << documentFolder.string() << " from the sample pump model\n";

  util::Symbol onPart;
  util::Symbol onWeld;
  std::vector<util::Symbol> stamps;
  {
    Document document;
    if (!document.Open(documentFolder.string(), Document::Access::kWrite, error) ||
        !PlaceSymbol(document, *picks.onPart, {kMovedPart}, onPart, error) ||
        !PlaceSymbol(document, *picks.onWeld, {kWeld}, onWeld, error)) {
      return context.Failure(error);
    }
    geo::DPoint3D at;
    (void)FindPosition(document, onPart.str(), at);
    out << "2. placed " << Named(onPart, picks.onPart->GetTitle()) << " on the part " << kMovedPart << " at "
        << FormatPoint(at) << "\n";
    (void)FindPosition(document, onWeld.str(), at);
    out << "3. placed " << Named(onWeld, picks.onWeld->GetTitle()) << " on the weld " << kWeld << " at "
        << FormatPoint(at) << "\n";

    out << "4. stamped";
    for (size_t i = 0; i < picks.images.size(); ++i) {
      StampRequest request;
      request.centerX = i == 0 ? 110 : 730;
      request.centerY = 500;
      request.width = request.height = 80;
      util::Symbol stamp;
      if (!StampSymbol(document, *picks.images[i], request, stamp, error)) {
        return context.Failure(error);
      }
      stamps.push_back(stamp);
      out << (i == 0 ? " " : " and ") << Named(stamp, picks.images[i]->GetTitle()) << " at "
          << FormatNumber(request.centerX) << "," << FormatNumber(request.centerY);
    }
    out << " (page units)\n";

    geo::DPoint3D partBefore;
    geo::DPoint3D weldBefore;
    (void)FindPosition(document, onPart.str(), partBefore);
    (void)FindPosition(document, onWeld.str(), weldBefore);
    const geo::DVec3 by(0, 0, 25);
    if (!MovePart(document, kMovedPart, by, error)) {
      return context.Failure(error);
    }
    geo::DPoint3D partAfter;
    geo::DPoint3D weldAfter;
    (void)FindPosition(document, onPart.str(), partAfter);
    (void)FindPosition(document, onWeld.str(), weldAfter);
    out << "5. moved the part " << kMovedPart << " by " << FormatPoint(geo::DPoint3D(by.x, by.y, by.z)) << ": "
        << onPart.str() << " followed it from " << FormatPoint(partBefore) << " to " << FormatPoint(partAfter) << "; "
        << onWeld.str() << " stayed at " << FormatPoint(weldAfter) << "\n";
    if (!document.Save(error)) {
      return context.Failure(error);
    }
    out << "6. saved " << (documentFolder / Document::kContentFile).string() << "\n";
  }

  Document reopened;
  if (!reopened.Open(documentFolder.string(), Document::Access::kRead, error)) {
    return context.Failure(error);
  }
  const std::vector<AnnotationView> views = DescribeAnnotations(reopened);
  out << "7. reopened the document from disk: " << Counted(views.size(), "annotation", "annotations") << "\n";
  for (const AnnotationView& view : views) {
    WriteAnnotation(view, "     ", out);
  }

  const fs::path page = folder / "pump.svg";
  FlattenSummary summary;
  if (!FlattenToSvg(reopened, page.string(), summary, error)) {
    return context.Failure(error);
  }
  out << "8. flattened the 3D view into a 2D page: " << page.string() << " (" << summary.Text() << ")\n";

  const fs::path gallery = folder / "gallery.html";
  if (!util::SafeFileWriter::Write(gallery.string(), BuildGallery(context.Catalogue(), context.GetLocations()),
                                   error)) {
    return context.Failure("cannot write " + gallery.string() + ": " + error);
  }
  out << "9. wrote the library's gallery page: " << gallery.string() << "\n";
  out << "Open " << page.string() << " and " << gallery.string() << " in a web browser to see them.\n";
  return kOk;
}

}  // namespace symbols_tool
