#include "DocumentFlattener.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "CreateAnnotation.h"
#include "HiddenLineView.h"
#include "Page2D.h"
#include "PageMesh.h"
#include "ToolContext.h"
#include "ViewProjection.h"
#include "oxannotations/ConstStrings.h"
#include "oxk/AsyncEvent.h"
#include "oxk/ShapeInstance.h"
#include "oxk/illustration2d/Outline2D.h"
#include "oxk/illustration2d/Scene2D.h"
#include "oxk/illustration2d/SvgPageWriter.h"
#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotation.h"
#include "symbol3d/SymbolAnnotationFlattened.h"
#include "util/SafeFileWriter.h"

namespace symbols_tool {

namespace {

using oxk::illustration2d::LineArt2D;
using oxk::illustration2d::Outline2D;
using util::SmartPtr;

// Frozen: the key under which the host hands a flattened symbol its place on the page.
const util::Symbol kXformKey("xform");

// A point of the world where the view shows it on the page (y upwards); false when it
// has no finite place there, so that no page holds "nan" or "inf".
bool OnPage(const geo::Camera3D& camera, const geo::DPoint3D& point, LineArt2D::Point& out) {
  double sx = 0;
  double sy = 0;
  if (!camera.WorldToScreen(point, sx, sy)) {
    return false;
  }
  out = {sx, camera.GetViewportHeight() - sy};
  return std::isfinite(out.x) && std::isfinite(out.y);
}

// The loaded mesh of a shape instance, placed where the instance is; empty without one.
util::SmartPtr<oxg::Shape> MeshOf(const oxk::ShapeInstance& shape) {
  const SmartPtr<oxk::Shape> geometry = shape.GetShape();
  return geometry ? geometry->GetShapeData() : SmartPtr<oxg::Shape>();
}

bool AddParts(const Document& document, const ViewProjection& view, oxk::illustration2d::Document2D& page,
              FlattenSummary& summary, std::string& error) {
  struct Part {
    std::string name;
    std::string path;
  };
  std::vector<Part> parts;
  HiddenLineView drawing(view);
  for (const auto& shape : document.GetScene()->GetShapeInstances()) {
    SmartPtr<oxk::Instance> instance;
    if (!shape->IsVisible() || !shape->GetInstance(instance) ||
        instance->GetUserData(oxannotations::SymbolAnnotationBase::GetUserDataId()) != nullptr) {
      continue;
    }
    const SmartPtr<oxg::Shape> mesh = MeshOf(*shape);
    if (!mesh || mesh->GetTriangleCount() == 0) {
      continue;
    }
    drawing.Add(PageMesh(*mesh, shape->GetLocation(), view));
    parts.push_back({instance->GetName().str(), instance->GetIdPath().str()});
  }
  std::vector<HiddenLineView::Drawn> drawn;
  if (!drawing.Draw(drawn, error)) {
    return false;
  }
  // Farther parts first, so that each part's lines lie over the areas of the parts it
  // covers (which reach a fraction of a page unit under it).
  std::vector<size_t> order(parts.size());
  for (size_t i = 0; i < parts.size(); ++i) {
    order[drawn[i].paintRank] = i;
  }
  const auto layer = page.FindLayer(util::Symbol(oxk::illustration2d::Document2D::kDrawingLayer));
  for (const size_t i : order) {
    const SmartPtr<Outline2D> outline(new Outline2D());
    outline->SetName(parts[i].name);
    outline->SetModelPath(parts[i].path);
    outline->SetArt(std::move(drawn[i].art));
    outline->SetLayer(layer);
    (void)page.GetTree()->AppendChild(SmartPtr<oxk::illustration2d::Node2D>(outline.get()));
    ++summary.parts;
  }
  return true;
}

// The flattened content of a 3D symbol with its place on the page added, as the host
// hands it to a flattened symbol.
SmartPtr<oxk::SerializedContentElement> WithPlacement(const oxk::SerializedContentElement& content, double x,
                                                      double y) {
  const SmartPtr<oxk::SerializedContentElement> copy(new oxk::SerializedContentElement(content.GetName()));
  for (const auto& entry : content.GetEntries()) {
    if (!entry.child) {
      copy->AddProperty(entry.key, entry.value);
    }
  }
  const geo::FMat33 xform(1, 0, static_cast<float>(x), 0, 1, static_cast<float>(y), 0, 0, 1);
  copy->AddProperty(kXformKey, oxk::SerializedContentElement::Value(geo::Location(xform, geo::DPoint3D::BAD)));
  copy->EndContent();
  return copy;
}

bool AddSymbols(const Document& document, const geo::Camera3D& camera, const ViewProjection& view, Page2D& page,
                FlattenSummary& summary, std::string& error) {
  const SmartPtr<oxk::Scene> scene(page.Scene().get());
  std::vector<SmartPtr<oxannotations::SymbolAnnotationFlattened>> made;
  // The symbols' shapes, drawn among themselves: annotations lie over the parts.
  HiddenLineView::Options options;
  options.hiddenLines = false;
  HiddenLineView shapes(view, options);
  for (const Document::Entry& entry : document.GetAnnotations()) {
    const auto symbol = util::DynamicCast<oxannotations::SymbolAnnotation>(entry.annotation);
    const SmartPtr<oxk::ShapeInstance> shape = symbol ? symbol->GetShapeInstance() : nullptr;
    if (!shape || !shape->IsVisible()) {
      continue;
    }
    const SmartPtr<oxk::SerializedContentElement> handed(new oxk::SerializedContentElement(util::Symbol("flatten")));
    if (!symbol->Flatten(handed, {}, nullptr, nullptr)) {
      continue;
    }
    const auto contents = handed->GetChildren(oxannotations::ConstStrings::oxSymbol3DFlattened);
    LineArt2D::Point at;
    if (contents.empty() || !OnPage(camera, shape->GetLocation().GetPos(), at)) {
      continue;
    }
    const auto flattened = CreateAnnotation<oxannotations::SymbolAnnotationFlattened>(
        oxannotations::ConstStrings::oxSymbol3DFlattened.str());
    if (!flattened) {
      error = "the module made no flattened symbol";
      return false;
    }
    page.DetachOnClose(SmartPtr<oxk::Annotation>(flattened.get()));
    (void)flattened->InitializeFromSerializedContent(WithPlacement(*contents.front(), at.x, at.y),
                                                     SmartPtr<oxk::AnnoIdPathMapper>());
    flattened->SetIDPath(entry.idPath);
    (void)flattened->AttachScene(scene);
    flattened->CreateAnnotation2D(scene);
    made.push_back(flattened);
    const SmartPtr<oxg::Shape> mesh = MeshOf(*shape);
    shapes.Add(mesh ? PageMesh(*mesh, shape->GetLocation(), view) : PageMesh());
  }
  std::vector<HiddenLineView::Drawn> drawn;
  if (!shapes.Draw(drawn, error)) {
    return false;
  }
  std::vector<LineArt2D> arts;
  arts.reserve(drawn.size());
  for (HiddenLineView::Drawn& shape : drawn) {
    arts.push_back(std::move(shape.art));
  }
  // The host completes the elements the symbols made: their labels, places and shapes.
  summary.markers += page.CompleteMarkers(made, arts);
  return true;
}

bool AddStamps(const Document& document, Page2D& page, FlattenSummary& summary, std::string& error) {
  const SmartPtr<oxk::Scene> scene(page.Scene().get());
  std::set<int32_t> pages = {0};
  std::vector<SmartPtr<oxk::AsyncEvent>> pending;
  for (const Document::Entry& entry : document.GetAnnotations()) {
    const auto stamp = util::DynamicCast<oxannotations::Symbol2D>(entry.annotation);
    if (!stamp) {
      continue;
    }
    stamp->CreateAnnotation2D(scene);
    if (!stamp->GetStamp2D()) {
      continue;  // hidden, or not a billboard
    }
    // The element goes on the page its symbol names; the host keeps pages, not the symbol.
    stamp->GetStamp2D()->SetPage(stamp->GetPageNum());
    pages.insert(stamp->GetPageNum());
    const SmartPtr<oxk::AsyncEvent> loaded(new oxk::AsyncEvent());
    stamp->CompleteAnnotation2D(scene, loaded);
    pending.push_back(loaded);
    ++summary.stamps;
  }
  summary.pages = pages.size();
  for (const auto& loaded : pending) {
    if (!loaded->WaitForCompletion(kLoadTimeout)) {
      error = "the stamps' images did not load in time";
      return false;
    }
  }
  return true;
}

}  // namespace

std::string FlattenSummary::Text() const {
  return Counted(parts, "part", "parts") + ", " + Counted(markers, "symbol", "symbols") + ", " +
         Counted(stamps, "stamp", "stamps") + "; " + Counted(pages, "page", "pages") + " in one SVG";
}

bool FlattenToSvgText(Document& document, std::string& svg, FlattenSummary& summary, std::string& error) {
  summary = FlattenSummary{};
  if (!document.GetView()) {
    error = "the document has no view to flatten";
    return false;
  }
  const geo::Camera3D camera = document.GetView()->GetCamera();
  const ViewProjection view(camera);
  Page2D page;
  page.Document().SetPageSize(camera.GetViewportWidth(), camera.GetViewportHeight());
  if (!AddParts(document, view, page.Document(), summary, error) ||
      !AddSymbols(document, camera, view, page, summary, error) || !AddStamps(document, page, summary, error)) {
    return false;
  }
  svg = oxk::illustration2d::SvgPageWriter::ToSvg(page.Document());
  return true;
}

bool FlattenToSvg(Document& document, const std::string& out, FlattenSummary& summary, std::string& error) {
  // The page never replaces a file of the document, nor goes into its folder.
  const std::string folder = document.GetFolder() + "/";
  if (out == document.GetFolder() || out.compare(0, folder.size(), folder) == 0) {
    error = "the page cannot be written into the document: " + out;
    return false;
  }
  std::string svg;
  if (!FlattenToSvgText(document, svg, summary, error)) {
    return false;
  }
  std::string why;
  if (!util::SafeFileWriter::Write(out, svg, why)) {
    error = "cannot write " + out + ": " + why;
    return false;
  }
  return true;
}

}  // namespace symbols_tool
