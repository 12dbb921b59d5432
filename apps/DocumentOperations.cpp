#include "DocumentOperations.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <variant>

#include "CreateAnnotation.h"
#include "ModelDescription.h"
#include "catalogue/PartslibraryList.h"
#include "oxk/Anchor.h"
#include "oxk/ComponentInstance.h"
#include "oxk/SerializedContentElement.h"
#include "oxk/ShapeInstance.h"
#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotation.h"

namespace symbols_tool {

namespace fs = std::filesystem;
using util::SmartPtr;

namespace {

// A catalogue reference as a file path: relative ones are taken from the library folders.
std::string LibraryFile(std::string url) {
  oxsymbols::PartslibraryList::CheckRelativeUrlAndConcatIfNeeded(url);
  return oxk::Anchor::FilePathFromURL(url);
}

// Where a user picks a part: the middle of the top of its box.
geo::DPoint3D TopOf(const geo::DBox& box) {
  const geo::DPoint3D center = box.GetCenter();
  return {center.x, center.y, box.max.z};
}

// Some of the stamp lies on its page (touching an edge is not enough).
bool TouchesPage(const StampRequest& request) {
  const double halfWidth = request.width / 2, halfHeight = request.height / 2;
  return request.centerX + halfWidth > 0 && request.centerX - halfWidth < kViewWidth &&
         request.centerY + halfHeight > 0 && request.centerY - halfHeight < kViewHeight;
}

// "from 10 to 50" for a centre and a full size.
std::string Span(double center, double size) {
  const auto number = [](double value) {
    std::ostringstream text;
    text << value;
    return text.str();
  };
  return "from " + number(center - size / 2) + " to " + number(center + size / 2);
}

std::string FormatRange() {
  return "within " + std::to_string(static_cast<long long>(kMaxCoordinate)) + " of the origin";
}

}  // namespace

bool PlaceSymbol(Document& document, const oxsymbols::PartslibraryOlItem& entry, const std::vector<std::string>& paths,
                 util::Symbol& idPath, std::string& error) {
  const std::string named = "shape " + std::to_string(entry.GetID()) + " (" + entry.GetTitle() + ")";
  if (!entry.IsAnnotationSymbol()) {
    error = named + " is not an annotation symbol: it is not connected to parts";
    return false;
  }
  std::vector<Document::Part> parts;
  std::set<std::string> seen;
  for (const std::string& path : paths) {
    Document::Part part;
    if (!document.FindPart(path, part)) {
      error = "no part at " + path + " in the model or its SBOM";
      return false;
    }
    if (seen.insert(path).second) {
      parts.push_back(part);
    }
  }
  if (parts.empty()) {
    error = "a symbol needs at least one part";
    return false;
  }
  const geo::DBox firstBox = document.WorldBox(parts.front().instances);
  if (firstBox.IsEmpty()) {
    error = "the part at " + parts.front().path + " has no geometry to place the symbol on";
    return false;
  }
  std::string fileName;
  if (!document.Pack(LibraryFile(entry.GetOlUrl()), Document::PackKind::kShape, fileName, error)) {
    error = named + ": " + error;
    return false;
  }

  const SmartPtr<oxannotations::SymbolAnnotation> symbol =
      CreateAnnotation<oxannotations::SymbolAnnotation>("symbol3d");
  if (!symbol) {
    error = "the module made no 3D symbol";
    return false;
  }
  symbol->SetName(util::Symbol(fileName), util::Symbol(entry.GetOlName()));
  symbol->SetTitle(entry.GetTitle(), entry.ShowTooltipTitle());
  symbol->SetDescription(entry.GetDescription(), entry.ShowTooltipDescription());
  symbol->SetAxisId(entry.GetAxisId());
  symbol->SetDistanceFromCsys(entry.GetDistanceFromCsys());
  symbol->SetUseCurrentOrientation(entry.IsUseCurrentOrientation());
  symbol->SetAnnotationSymbol(entry.IsAnnotationSymbol());
  oxcommon::SequencerTagList tags;
  entry.GetSequencerTags(tags);
  symbol->SetSequencerTags(tags);
  // The module places the symbol at inverse(part frame) x selected frame, the part frame
  // being the entry's own frame at 1 / scale. The frame handed over as selected is the
  // spot on top of the first part, taken into that frame's axes and scale, so that the
  // entry's attachment point lands on the spot, turned as the entry's frame says.
  const double scale = entry.GetOlScale() > 0 ? entry.GetOlScale() : 1.0;
  symbol->SetSymbolScale(scale);
  symbol->SetPartCsys(entry.GetOlCsys());
  const geo::DPoint3D spot = TopOf(firstBox);
  const geo::DVec3 turned = geo::DMat33(entry.GetOlCsys().GetMat().WithoutScale()) *
                            geo::DVec3(spot.x / scale, spot.y / scale, spot.z / scale);
  symbol->SetSelectedCsys(geo::Location(geo::FMat33::IDENTITY, geo::DPoint3D(turned.x, turned.y, turned.z)));
  geo::Location camera;
  if (document.GetView() && document.GetView()->GetCurrentCameraLocation(camera)) {
    symbol->SetCameraPreviewLocation(camera);
  }
  if (!symbol->AttachScene(SmartPtr<oxk::Scene>(document.GetScene().get())) || !document.WaitForLoads(error)) {
    error = named + ": the symbol could not be made" + (error.empty() ? "" : ": " + error);
    return false;
  }
  if (!symbol->IsSymbolLoaded()) {
    error = named + ": its symbol file " + fileName + " could not be loaded";
    return false;
  }

  for (const Document::Part& part : parts) {
    const SmartPtr<oxk::ShapeInstance> shape = document.ShapeOf(part.picked);
    symbol->AddSelectedPart(shape, document.GetScene(), part.picked, TopOf(document.WorldBox(part.instances)));
  }
  if (!document.WaitForLoads(error)) {
    return false;
  }
  if (symbol->GetConnectedParts().size() != parts.size()) {
    error = named + ": not every part could be connected (a weld whose members are all hidden is not)";
    return false;
  }
  SmartPtr<oxk::Instance> node;
  symbol->GetInstance(node);
  if (!node) {
    error = named + ": the symbol has no node in the model";
    return false;
  }
  idPath = node->GetIdPath();
  if (!document.Add(SmartPtr<oxk::Annotation>(symbol.get()), idPath)) {
    error = named + ": the model gave the symbol the identifier " + idPath.str() + ", which the document holds already";
    return false;
  }
  return true;
}

bool StampSymbol(Document& document, const oxsymbols::PartslibraryImageItem& entry, const StampRequest& request,
                 util::Symbol& idPath, std::string& error) {
  const std::string named = "image " + std::to_string(entry.GetID()) + " (" + entry.GetTitle() + ")";
  for (const double value : {request.centerX, request.centerY, request.width, request.height}) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxCoordinate) {
      error = "a stamp's centre and size must be finite numbers " + FormatRange();
      return false;
    }
  }
  if (request.width <= 0 || request.height <= 0) {
    error = "a stamp needs a positive width and height";
    return false;
  }
  if (!TouchesPage(request)) {
    error = "the stamp would lie entirely off its page: " + Span(request.centerX, request.width) + " across and " +
            Span(request.centerY, request.height) + " up, on a page of " + std::to_string(kViewWidth) + " x " +
            std::to_string(kViewHeight) + " page units (y upwards from its bottom-left corner)";
    return false;
  }
  std::string fileName;
  if (!document.Pack(LibraryFile(entry.GetImageUrl()), Document::PackKind::kImage, fileName, error)) {
    error = named + ": " + error;
    return false;
  }
  const SmartPtr<oxannotations::Symbol2D> symbol = CreateAnnotation<oxannotations::Symbol2D>("symbol2d");
  if (!symbol) {
    error = "the module made no 2D symbol";
    return false;
  }
  oxannotations::Symbol2DInfo record;
  record.title = util::Symbol(entry.GetTitle());
  record.description = util::Symbol(entry.GetDescription());
  record.showTooltipTitle = entry.ShowTooltipTitle();
  record.showTooltipDescription = entry.ShowTooltipDescription();
  record.imageID = entry.GetID();
  record.imageName = util::Symbol(entry.GetImageName());
  record.imageFileName = util::Symbol(fileName);
  record.center = geo::DPoint3D(request.centerX, request.centerY, 0);
  // The record keeps half extents.
  record.width = static_cast<float>(request.width / 2);
  record.height = static_cast<float>(request.height / 2);
  record.rotateRight = request.rotate;
  record.flipHorizontally = request.flip;
  record.reverse = request.reverse;
  record.pageNum = request.page;
  record.isBillboard = true;
  entry.GetSequencerTags(record.sequencerTags);
  symbol->SetSymbolInfo(record);
  if (!symbol->AttachScene(SmartPtr<oxk::Scene>(document.GetScene().get())) || !document.WaitForLoads(error)) {
    error = named + ": the symbol could not be made" + (error.empty() ? "" : ": " + error);
    return false;
  }
  if (symbol->GetImageWidth() <= 0) {
    error = named + ": its image " + fileName + " could not be loaded";
    return false;
  }
  idPath = document.NewIdPath("/stamp");
  if (!document.Add(SmartPtr<oxk::Annotation>(symbol.get()), idPath)) {
    error = named + ": no free identifier for the stamp";
    return false;
  }
  return true;
}

namespace {

// The instances without those placed below another of them: changing a node changes
// what is below it, so each part is changed once.
std::vector<SmartPtr<oxk::Instance>> Topmost(const std::vector<SmartPtr<oxk::Instance>>& instances) {
  std::vector<SmartPtr<oxk::Instance>> top;
  for (const auto& instance : instances) {
    const std::string path = instance->GetIdPath().str() + "/";
    const bool below = std::any_of(instances.begin(), instances.end(), [&](const SmartPtr<oxk::Instance>& other) {
      const std::string& above = other->GetIdPath().str();
      return other != instance && path.compare(0, above.size() + 1, above + "/") == 0;
    });
    const bool twice = std::any_of(top.begin(), top.end(), [&](const SmartPtr<oxk::Instance>& kept) {
      return kept->GetIdPath() == instance->GetIdPath();
    });
    if (!below && !twice) {
      top.push_back(instance);
    }
  }
  return top;
}

// Changes the model-tree instances of a part in one scene update and records the change
// in the model description. plan runs first for every instance and may refuse the
// change (error says why) before anything moves; settle runs for every instance once all
// are changed, in the same update.
template <class Plan, class Change, class Settle>
bool ChangePart(Document& document, const std::string& path, std::string& error, Plan plan, Change change,
                Settle settle) {
  Document::Part part;
  if (!document.FindPart(path, part)) {
    error = "no part at " + path + " in the model or its SBOM";
    return false;
  }
  const std::vector<SmartPtr<oxk::Instance>> instances = Topmost(part.instances);
  for (const auto& instance : instances) {
    if (!plan(instance)) {
      return false;
    }
  }
  document.GetScene()->BeginUpdate();
  for (const auto& instance : instances) {
    change(instance, document.GetModel());
  }
  for (const auto& instance : instances) {
    settle(instance);
  }
  document.GetScene()->EndUpdate();
  return document.WaitForLoads(error);
}

// Where a move by delta (world coordinates) puts the instance's node, in its parent's.
bool MovedLocation(const SmartPtr<oxk::Instance>& instance, const geo::DVec3& delta, geo::Location& moved) {
  SmartPtr<oxk::ComponentInstance> component;
  if (!instance->GetComponentInstance(component)) {
    return false;
  }
  const geo::Location local = component->GetLocation();
  const geo::Location parent = instance->GetWorldLocation() * local.Inverse();
  const geo::DVec3 step = geo::DMat33(parent.GetMat().Inverse()) * delta;
  moved = local;
  moved.SetPos(geo::DPoint3D(local.GetPos().x + step.x, local.GetPos().y + step.y, local.GetPos().z + step.z));
  const geo::DPoint3D& p = moved.GetPos();
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::fabs(p.x) <= kMaxCoordinate &&
         std::fabs(p.y) <= kMaxCoordinate && std::fabs(p.z) <= kMaxCoordinate;
}

}  // namespace

bool MovePart(Document& document, const std::string& path, const geo::DVec3& delta, std::string& error) {
  const auto plan = [&](const SmartPtr<oxk::Instance>& instance) {
    geo::Location moved;
    SmartPtr<oxk::ComponentInstance> component;
    if (instance->GetComponentInstance(component) && !MovedLocation(instance, delta, moved)) {
      error =
          "the move would take " + instance->GetIdPath().str() + " beyond the model's range (" + FormatRange() + ")";
      return false;
    }
    return true;
  };
  const auto change = [&](const SmartPtr<oxk::Instance>& instance, ModelDescription& model) {
    SmartPtr<oxk::ComponentInstance> component;
    geo::Location moved;
    if (!instance->GetComponentInstance(component) || !MovedLocation(instance, delta, moved)) {
      return;
    }
    component->SetLocation(moved, true);
    (void)model.SetPartLocation(instance->GetIdPath().str(), moved);
  };
  // The members of a weld move one after another, and a symbol on the weld hears of each
  // while the others are still where they were, so it follows only part of the way. Once
  // all are in place each moved shape is announced where it now is, once more: a symbol
  // that followed part of the way moves the rest, the others do not move again.
  const auto settle = [&](const SmartPtr<oxk::Instance>& instance) {
    std::vector<SmartPtr<oxk::BaseInstance>> members;
    instance->GetMemberSet(members);
    for (const auto& member : members) {
      const auto placed = util::DynamicCast<oxk::Instance>(member);
      if (const SmartPtr<oxk::ShapeInstance> shape = placed ? document.ShapeOf(placed) : nullptr) {
        shape->SetLocation(shape->GetLocation(), true);
      }
    }
  };
  return ChangePart(document, path, error, plan, change, settle);
}

bool ShowPart(Document& document, const std::string& path, bool visible, std::string& error) {
  const auto plan = [](const SmartPtr<oxk::Instance>&) { return true; };
  const auto change = [&](const SmartPtr<oxk::Instance>& instance, ModelDescription& model) {
    std::vector<SmartPtr<oxk::BaseInstance>> members;
    instance->GetMemberSet(members);
    for (const auto& member : members) {
      const auto placed = util::DynamicCast<oxk::Instance>(member);
      const SmartPtr<oxk::ShapeInstance> shape = placed ? document.ShapeOf(placed) : nullptr;
      if (!shape) {
        continue;
      }
      shape->SetVisibility(visible, true);
      (void)model.SetPartVisible(placed->GetIdPath().str(), visible);
    }
  };
  return ChangePart(document, path, error, plan, change, [](const SmartPtr<oxk::Instance>&) {});
}

namespace {

// The image is turned by whole quarter turns of the two stored rotations added up,
// clockwise; 450 degrees draws as 90.
int DrawnRotation(int32_t right, int32_t left) {
  const int64_t quarters = (static_cast<int64_t>(right) + left) / 90;
  return static_cast<int>(((quarters % 4) + 4) % 4) * 90;
}

// Frozen: keys of symbols' saved content that name the library entry they came from.
const util::Symbol kImageIdKey("imageID");
const util::Symbol kShapeNameKey("name");

// A property of an annotation's saved content, as Save would write it: what a symbol
// gives out of its entry only there.
const oxk::SerializedContentElement::Value* SavedProperty(oxk::Annotation& annotation, const util::Symbol& type,
                                                          const util::Symbol& key,
                                                          SmartPtr<oxk::SerializedContentElement>& root) {
  root = SmartPtr<oxk::SerializedContentElement>(new oxk::SerializedContentElement(util::Symbol("list")));
  annotation.Visit(root);
  for (const auto& content : root->GetChildren(type)) {
    if (const auto* value = content->FindProperty(key)) {
      return value;
    }
  }
  return nullptr;
}

int SavedImageId(oxannotations::Symbol2D& stamp) {
  SmartPtr<oxk::SerializedContentElement> root;
  const auto* value = SavedProperty(stamp, oxannotations::Symbol2D::GetClassStatic(), kImageIdKey, root);
  const auto* id = value ? std::get_if<int32_t>(value) : nullptr;
  return id ? *id : -1;
}

std::string SavedShapeName(oxannotations::SymbolAnnotation& symbol) {
  SmartPtr<oxk::SerializedContentElement> root;
  const auto* value = SavedProperty(symbol, oxannotations::SymbolAnnotation::GetClassStatic(), kShapeNameKey, root);
  const auto* name = value ? std::get_if<util::Symbol>(value) : nullptr;
  return name ? name->str() : std::string();
}

}  // namespace

bool DescribePart(const Document& document, const std::string& path, std::vector<PartPlace>& places,
                  std::string& error) {
  Document::Part part;
  if (!document.FindPart(path, part)) {
    error = "no part at " + path + " in the model or its SBOM";
    return false;
  }
  places.clear();
  for (const auto& instance : part.instances) {
    const SmartPtr<oxk::ShapeInstance> shape = document.ShapeOf(instance);
    places.push_back({instance->GetIdPath().str(), instance->GetName().str(), instance->GetWorldLocation().GetPos(),
                      !shape || shape->IsVisible()});
  }
  return true;
}

std::vector<AnnotationView> DescribeAnnotations(const Document& document) {
  std::vector<AnnotationView> views;
  for (const Document::Entry& entry : document.GetAnnotations()) {
    AnnotationView view;
    view.idPath = entry.idPath.str();
    if (const auto symbol = util::DynamicCast<oxannotations::SymbolAnnotation>(entry.annotation)) {
      view.type = "symbol3d";
      view.title = symbol->GetTitle();
      if (const SmartPtr<oxk::ShapeInstance> shape = symbol->GetShapeInstance()) {
        view.position = shape->GetLocation().GetPos();
        view.visible = shape->IsVisible();
      }
      view.entry.name = SavedShapeName(*symbol);
      view.entry.file = symbol->GetFileName().str();
      for (const oxannotations::ConnectedPartInfo& part : symbol->GetConnectedParts()) {
        view.parts.push_back({part.partId.str(), part.assemblyPartId.str(), part.offset});
      }
    } else if (const auto stamp = util::DynamicCast<oxannotations::Symbol2D>(entry.annotation)) {
      view.type = "symbol2d";
      view.title = stamp->GetTitle();
      view.position = stamp->GetCenter();
      geo::DVec3 size;
      stamp->GetMarkupSize(0, size);
      view.width = 2 * size.x;
      view.height = 2 * size.y;
      view.page = stamp->GetPageNum();
      view.rotation = DrawnRotation(stamp->GetRotateRight(), stamp->GetRotateLeft());
      view.flip = stamp->GetFlipHorizontally();
      view.reverse = stamp->GetReverse();
      view.entry = {SavedImageId(*stamp), stamp->GetImageName().str(), stamp->GetImageFileName().str()};
      view.visible = stamp->IsVisible();
    } else {
      view.type = entry.annotation->GetClass().str();
      view.visible = entry.annotation->IsVisible();
    }
    views.push_back(view);
  }
  for (const Document::KeptAnnotation& kept : document.GetKeptAnnotations()) {
    AnnotationView view;
    view.type = kept.type;
    view.idPath = kept.idPath.str();
    view.kept = true;
    views.push_back(view);
  }
  return views;
}

bool FindPosition(const Document& document, const std::string& idPath, geo::DPoint3D& position) {
  for (const AnnotationView& view : DescribeAnnotations(document)) {
    if (view.idPath == idPath) {
      position = view.position;
      return true;
    }
  }
  return false;
}

}  // namespace symbols_tool
