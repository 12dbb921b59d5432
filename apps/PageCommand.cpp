#include "PageCommand.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "CreateAnnotation.h"
#include "OutputFile.h"
#include "Page2D.h"
#include "catalogue/PartslibraryList.h"
#include "oxk/AsyncEvent.h"
#include "oxk/illustration2d/Scene2D.h"
#include "oxk/illustration2d/SvgPageWriter.h"
#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotationFlattened.h"

namespace symbols_tool {

namespace {

using oxk::illustration2d::Scene2D;
using util::SmartPtr;

// Page layout, in page units (points).
constexpr double kMargin = 30;
constexpr double kPitch = 130;
constexpr float kHalfSize = 40;
constexpr double kImageRowTop = 30;
constexpr double kMarkerRowTop = 150;
constexpr double kMarkerRowHeight = 40;
constexpr std::chrono::seconds kLoadTimeout{30};
constexpr const char* kFileUrlPrefix = "file:///";

// How the page shows the entry at index: as it is, turned a quarter clockwise, mirrored
// left to right, or turned a quarter anticlockwise and mirrored top to bottom.
void Vary(size_t index, oxannotations::Symbol2DInfo& record) {
  switch (index % 4) {
    case 1:
      record.rotateRight = 90;
      break;
    case 2:
      record.flipHorizontally = true;
      break;
    case 3:
      record.rotateRight = 270;
      record.reverse = true;
      break;
    default:
      break;
  }
}

// Places the image entries; their loads complete the events in pending.
bool PlaceImages(const oxsymbols::ImageList& images, double pageHeight, const SmartPtr<Scene2D>& scene,
                 std::vector<SmartPtr<oxk::AsyncEvent>>& pending, ToolContext& context) {
  // The catalogue in hand already holds every entry; asking the symbol for an entry's
  // image by its ID would read the library files afresh, once per entry.
  for (size_t i = 0; i < images.size(); ++i) {
    const auto& entry = *images[i];
    const SmartPtr<oxannotations::Symbol2D> symbol = CreateAnnotation<oxannotations::Symbol2D>("symbol2d");
    if (!symbol) {
      (void)context.Failure("could not create a 2D symbol");
      return false;
    }
    oxannotations::Symbol2DInfo record;
    record.title = util::Symbol(entry.GetTitle());
    record.imageName = util::Symbol(entry.GetImageName());
    record.description = util::Symbol(entry.GetDescription());
    record.showTooltipTitle = true;
    record.showTooltipDescription = entry.ShowTooltipDescription();
    record.center =
        geo::DPoint3D(kMargin + kPitch / 2 + static_cast<double>(i) * kPitch, pageHeight - kImageRowTop - kHalfSize, 0);
    record.width = record.height = kHalfSize;
    Vary(i, record);
    symbol->SetSymbolInfo(record);
    const util::Symbol fileName(std::filesystem::path(entry.GetImageUrl()).filename().string());
    std::string url = entry.GetImageUrl();
    oxsymbols::PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(url);
    symbol->InitImageInfo(util::Symbol(kFileUrlPrefix + url), record.imageName, fileName, entry.GetID(), true);
    symbol->SetIDPath(util::Symbol("/page/image/" + std::to_string(entry.GetID())));
    symbol->CreateAnnotation2D(scene);
    SmartPtr<oxk::AsyncEvent> loaded(new oxk::AsyncEvent());
    pending.push_back(loaded);
    symbol->CompleteAnnotation2D(scene, loaded);
  }
  return true;
}

// Places the shape entries as flattened symbols and completes their elements as a host
// does: with the symbol's title as label and its placement.
bool PlaceShapes(const oxsymbols::OlList& shapes, double pageHeight, const Page2D& page, ToolContext& context) {
  const SmartPtr<oxk::Scene> scene(page.Scene().get());
  std::vector<SmartPtr<oxannotations::SymbolAnnotationFlattened>> made;
  for (size_t i = 0; i < shapes.size(); ++i) {
    const auto& entry = *shapes[i];
    const auto symbol = CreateAnnotation<oxannotations::SymbolAnnotationFlattened>("symbol3dflattened");
    if (!symbol) {
      (void)context.Failure("could not create a flattened symbol");
      return false;
    }
    oxannotations::SymbolInfoFlattened record;
    record.title = entry.GetTitle();
    record.description = entry.GetDescription();
    record.fileName = util::Symbol(std::filesystem::path(entry.GetOlUrl()).filename().string());
    record.name = util::Symbol(entry.GetOlName());
    record.id = util::Symbol("shape" + std::to_string(entry.GetID()));
    const double x = kMargin + kPitch / 2 + static_cast<double>(i) * kPitch - kHalfSize;
    const double y = pageHeight - kMarkerRowTop - kMarkerRowHeight / 2;
    record.xform = geo::FMat33(1, 0, static_cast<float>(x), 0, 1, static_cast<float>(y), 0, 0, 1);
    symbol->SetSymbolInfo(record);
    const util::Symbol path("/page/shape/" + std::to_string(entry.GetID()));
    symbol->SetIDPath(path);
    (void)symbol->AttachScene(scene);
    symbol->CreateAnnotation2D(scene);
    made.push_back(symbol);
  }
  // The host completes the elements the symbols made: their labels and places.
  (void)page.CompleteMarkers(made);
  return true;
}

}  // namespace

void PageCommand::Register(CLI::App& parent) {
  m_app = parent.add_subcommand("page",
                                "A 2D illustration page of the catalogue as SVG: each image entry as a 2D symbol, "
                                "each shape entry as a flattened symbol's marker");
  m_app->add_option("--out", m_out, "The SVG file to write, or - for standard output")->required();
}

int PageCommand::Run(ToolContext& context) {
  if (!context.Install()) {
    return kFailure;
  }
  const oxsymbols::PartslibraryList& catalogue = context.Catalogue();
  const oxsymbols::ImageList& images = catalogue.GetImageList();
  const oxsymbols::OlList& shapes = catalogue.GetOlList();

  Page2D page;
  const size_t columns = std::max<size_t>({images.size(), shapes.size(), 1});
  const double width = 2 * kMargin + static_cast<double>(columns) * kPitch;
  const double height = shapes.empty() ? kMarkerRowTop : kMarkerRowTop + kMarkerRowHeight + kMargin / 2;
  page.Document().SetPageSize(width, height);

  std::vector<SmartPtr<oxk::AsyncEvent>> pending;
  if (!PlaceImages(images, height, page.Scene(), pending, context) || !PlaceShapes(shapes, height, page, context)) {
    return kFailure;
  }
  for (const auto& loaded : pending) {
    if (!loaded->WaitForCompletion(kLoadTimeout)) {
      return context.Failure("the images did not load in time");
    }
  }
  const OutputFile out(m_out);
  if (!out.Write(oxk::illustration2d::SvgPageWriter::ToSvg(page.Document()), context)) {
    return kFailure;
  }
  out.ReportStream(context) << "wrote " << out.Label() << " (" << Counted(images.size(), "image", "images") << ", "
                            << Counted(shapes.size(), "shape", "shapes") << ")\n";
  return kOk;
}

}  // namespace symbols_tool
