#include "DocumentFlattener.h"

#include <algorithm>
#include <vector>

#include "CreateAnnotation.h"
#include "Page2D.h"
#include "ToolContext.h"
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

using oxk::illustration2d::Outline2D;
using util::SmartPtr;

// Frozen: the key under which the host hands a flattened symbol its place on the page.
const util::Symbol kXformKey("xform");

// The six faces of a box: corner i has x from bit 1, y from bit 2, z from bit 4; the
// corners go round each face; the shade tells tops from the two kinds of sides.
struct BoxFace {
  int corners[4];
  double normal[3];
  int shade;
};
constexpr BoxFace kBoxFaces[] = {
    {{0, 2, 6, 4}, {-1, 0, 0}, 1}, {{1, 3, 7, 5}, {1, 0, 0}, 1},  {{0, 1, 5, 4}, {0, -1, 0}, 2},
    {{2, 3, 7, 6}, {0, 1, 0}, 2},  {{0, 1, 3, 2}, {0, 0, -1}, 0}, {{4, 5, 7, 6}, {0, 0, 1}, 0},
};

// A point of the world where the view shows it on the page (y upwards).
bool OnPage(const geo::Camera3D& camera, const geo::DPoint3D& point, Outline2D::Point& out) {
  double sx = 0;
  double sy = 0;
  if (!camera.WorldToScreen(point, sx, sy)) {
    return false;
  }
  out = {sx, camera.GetViewportHeight() - sy};
  return true;
}

struct PartOutline {
  double depth;
  SmartPtr<Outline2D> outline;
};

void AddParts(const Document& document, const geo::Camera3D& camera, oxk::illustration2d::Document2D& page,
              FlattenSummary& summary) {
  const geo::DVec3 towardsViewer = camera.GetW();
  std::vector<PartOutline> outlines;
  for (const auto& shape : document.GetScene()->GetShapeInstances()) {
    SmartPtr<oxk::Instance> instance;
    if (!shape->IsVisible() || !shape->GetInstance(instance) ||
        instance->GetUserData(oxannotations::SymbolAnnotationBase::GetUserDataId()) != nullptr) {
      continue;
    }
    const geo::DBox box = document.WorldBox({instance});
    if (box.IsEmpty()) {
      continue;
    }
    // A box's far corner decides its drawing order: boxes resting on one another then
    // come in the order they are seen, the plate below before what stands on it.
    Outline2D::Point corners[8];
    bool seen = true;
    double far = 0;
    for (int corner = 0; corner < 8; ++corner) {
      const geo::DPoint3D point = box.Corner(corner);
      seen = seen && OnPage(camera, point, corners[corner]);
      const double depth = point.x * towardsViewer.x + point.y * towardsViewer.y + point.z * towardsViewer.z;
      far = corner == 0 ? depth : std::min(far, depth);
    }
    if (!seen) {
      continue;
    }
    // The faces turned towards the viewer, which together make the box's outline.
    std::vector<Outline2D::Face> faces;
    for (const BoxFace& face : kBoxFaces) {
      if (face.normal[0] * towardsViewer.x + face.normal[1] * towardsViewer.y + face.normal[2] * towardsViewer.z <=
          1e-9) {
        continue;
      }
      Outline2D::Face drawn;
      drawn.shade = face.shade;
      for (const int corner : face.corners) {
        drawn.points.push_back(corners[corner]);
      }
      faces.push_back(drawn);
    }
    const SmartPtr<Outline2D> outline(new Outline2D());
    outline->SetFaces(faces);
    outline->SetName(instance->GetName().str() + " (" + instance->GetIdPath().str() + ")");
    outlines.push_back({far, outline});
  }
  // Farthest first, so that nearer parts cover them; ties in a fixed order.
  std::stable_sort(outlines.begin(), outlines.end(), [](const auto& a, const auto& b) {
    return a.depth < b.depth || (a.depth == b.depth && a.outline->GetName() < b.outline->GetName());
  });
  const auto layer = page.FindLayer(util::Symbol(oxk::illustration2d::Document2D::kDrawingLayer));
  for (const PartOutline& part : outlines) {
    part.outline->SetLayer(layer);
    (void)page.GetTree()->AppendChild(SmartPtr<oxk::illustration2d::Node2D>(part.outline.get()));
    ++summary.parts;
  }
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

bool AddSymbols(const Document& document, const geo::Camera3D& camera, Page2D& page, FlattenSummary& summary,
                std::string& error) {
  const SmartPtr<oxk::Scene> scene(page.Scene().get());
  std::vector<SmartPtr<oxannotations::SymbolAnnotationFlattened>> made;
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
    Outline2D::Point at;
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
  }
  // The host completes the elements the symbols made: their labels and places.
  summary.markers += page.CompleteMarkers(made);
  return true;
}

bool AddStamps(const Document& document, Page2D& page, FlattenSummary& summary, std::string& error) {
  const SmartPtr<oxk::Scene> scene(page.Scene().get());
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
    const SmartPtr<oxk::AsyncEvent> loaded(new oxk::AsyncEvent());
    stamp->CompleteAnnotation2D(scene, loaded);
    pending.push_back(loaded);
    ++summary.stamps;
  }
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
         Counted(stamps, "stamp", "stamps");
}

bool FlattenToSvgText(Document& document, std::string& svg, FlattenSummary& summary, std::string& error) {
  summary = FlattenSummary{};
  if (!document.GetView()) {
    error = "the document has no view to flatten";
    return false;
  }
  const geo::Camera3D camera = document.GetView()->GetCamera();
  Page2D page;
  page.Document().SetPageSize(camera.GetViewportWidth(), camera.GetViewportHeight());
  AddParts(document, camera, page.Document(), summary);
  if (!AddSymbols(document, camera, page, summary, error) || !AddStamps(document, page, summary, error)) {
    return false;
  }
  svg = oxk::illustration2d::SvgPageWriter::ToSvg(page.Document());
  return true;
}

bool FlattenToSvg(Document& document, const std::string& out, FlattenSummary& summary, std::string& error) {
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
