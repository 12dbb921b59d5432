#include <new>

#include "common/Illustration2DTarget.h"
#include "common/ModuleLocalizer.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "oxannotations/ConstStrings.h"
#include "oxannotations/MoveOperationStep.h"
#include "oxannotations/SizeOperationStep.h"
#include "oxk/illustration2d/BaseKernelFactory.h"
#include "oxk/illustration2d/Document2D.h"
#include "oxk/illustration2d/Scene2D.h"
#include "symbol2d/Symbol2D.h"
#include "util/Localizer.h"

// The 2D symbol in scenes: attaching and detaching its markup, its element in a 2D
// illustration document, what the user does to the stamp, and the framework's small
// questions.

namespace oxannotations {

namespace {

// Frozen host values passed through unchanged.
constexpr int32_t kStampAnchor = 1;
constexpr int32_t kBillboardManipulation = 21;
constexpr int32_t kPlacedManipulation = 42;

}  // namespace

util::SmartPtr<oxk::Annotation> Symbol2D::Clone() const {
  conc::ReadGuard guard(GetRWLock());
  util::SmartPtr<Symbol2D> copy(new (std::nothrow) Symbol2D(info));
  if (copy) {
    copy->SetCreatedFromFile(true);
  }
  return copy;
}

util::SmartPtr<oxk::Scene> Symbol2D::GetScene() const {
  std::lock_guard<std::mutex> guard(sharedMutex);
  return scene;
}

util::SmartPtr<oxk::illustration2d::Stamp2D> Symbol2D::GetStamp2D() const {
  std::lock_guard<std::mutex> guard(sharedMutex);
  return stamp2D;
}

bool Symbol2D::AttachScene(const util::SmartPtr<oxk::Scene>& newScene) {
  conc::WriteGuard guard(GetRWLock());
  if (!newScene || newScene == GetScene()) {
    return true;
  }
  if (!markup) {
    const bool in3D = !util::DynamicCast<oxk::illustration2d::Scene2D>(newScene);
    markup = util::SmartPtr<oxmk::Stamp>(new (std::nothrow) oxmk::Stamp(info.screenSpace, kStampAnchor, in3D));
    if (!markup) {
      return false;
    }
  }
  markup->SetVisibility(false);
  markup->SetCenter(info.center);
  markup->SetBillboard3D(info.isBillboard);
  markup->SetWidth(info.width);
  markup->SetHeight(info.height);
  markup->SetPageNum(info.pageNum);
  markup->SetLineColor(info.lineColor);
  markup->SetFillColor(info.fillColor);
  markup->SetTransparency(info.transparency);
  markup->SetReverse(info.reverse);
  markup->SetFlipHorizontally(info.flipHorizontally);
  if (CreatedFromFile() && info.bbXform != geo::Location::ZERO) {
    markup->SetLocation(info.bbXform);
  }
  {
    util::SmartPtr<oxk::Scene> previous;
    std::lock_guard<std::mutex> shared(sharedMutex);
    previous = scene;
    scene = newScene;
  }
  newScene->AddAnnotation(util::SmartPtr<oxk::Annotation>(this));
  LoadImage(GetEvent().get());
  return true;
}

bool Symbol2D::DetachScene() {
  conc::WriteGuard guard(GetRWLock());
  util::SmartPtr<oxk::Scene> previous;
  {
    std::lock_guard<std::mutex> shared(sharedMutex);
    previous = std::move(scene);
  }
  if (markup) {
    markup->SetController(nullptr);
    if (previous) {
      previous->RemoveMarkup(util::SmartPtr<oxk::Markup>(markup.get()));
    }
  }
  return oxk::Annotation::DetachScene();
}

void Symbol2D::CreateAnnotation2D(const util::SmartPtr<oxk::Scene>& target) {
  if (!IsVisible() || !info.isBillboard) {
    return;
  }
  using namespace oxk::illustration2d;
  oxcommon::Illustration2DTarget found2D;
  if (!oxcommon::Illustration2DTarget::Find(target, found2D)) {
    return;
  }
  const util::SmartPtr<BaseKernelFactory>& factory = found2D.factory;
  const util::SmartPtr<Document2D>& document = found2D.document;
  const util::SmartPtr<Stamp2D> element = factory->CreateStamp2D();
  if (!element) {
    return;
  }
  document->GetTree()->AppendChild(util::SmartPtr<Node2D>(element.get()));
  element->SetLayer(document->FindLayer(util::Symbol(Document2D::kAnnotationLayer)));
  element->SetIDPath(GetIDPath());
  element->SetDerivedFromSymbol(true);
  element->SetVerFlip(info.reverse);
  element->SetHorFlip(info.flipHorizontally);
  element->SetDescription(info.description.str());
  element->SetTitle(info.title.str());
  element->SetUseDescription(info.showTooltipDescription);
  element->SetUseTitle(info.showTooltipTitle);
  util::SmartPtr<Stamp2D> previous;
  std::lock_guard<std::mutex> shared(sharedMutex);
  previous = stamp2D;
  stamp2D = element;
}

void Symbol2D::CompleteAnnotation2D(const util::SmartPtr<oxk::Scene>& /*target*/,
                                    const util::SmartPtr<oxk::AsyncEvent>& completion) {
  LoadImage(completion.get());
}

bool Symbol2D::MarkupUpdated(const util::SmartPtr<oxk::Markup>& updated, const util::SmartPtr<oxk::Markup>& previous,
                             const util::SmartPtr<oxk::Operation>& operation) {
  if (!markup || updated.get() != static_cast<oxk::Markup*>(markup.get())) {
    return true;
  }
  util::SmartPtr<oxmk::StampShadow> shadow = util::DynamicCast<oxmk::StampShadow>(previous);
  if (!shadow) {
    shadow = markup->GetStampShadow();
  }
  const float newWidth = shadow->GetWidth(), newHeight = shadow->GetHeight();
  const float previousWidth = markup->GetWidth(), previousHeight = markup->GetHeight();
  const geo::DPoint3D oldCenter = shadow->GetOldCenter();
  info.width = newWidth;
  info.height = newHeight;
  info.center = markup->GetCenter();
  markup->SetWidth(newWidth);
  markup->SetHeight(newHeight);
  if (!operation) {
    return true;
  }
  if (!(info.center == oldCenter)) {
    geo::Location current;
    GetMarkupLocation(0, current);
    geo::Location from = current;
    from.SetPos(oldCenter);
    operation->AddStep(util::SmartPtr<oxk::OperationStep>(
        new (std::nothrow) MoveOperationStep(util::SmartPtr<oxk::Annotation>(this), 0, from, current, true)));
  }
  if (newWidth != previousWidth || newHeight != previousHeight) {
    operation->AddStep(util::SmartPtr<oxk::OperationStep>(new (std::nothrow) SizeOperationStep(
        util::SmartPtr<oxk::Annotation>(this), 0, geo::DVec3(previousWidth, previousHeight, 0),
        geo::DVec3(newWidth, newHeight, 0))));
  }
  return true;
}

void Symbol2D::MarkupSelected(const util::SmartPtr<oxk::Markup>& /*selected*/, bool /*isSelected*/) {}

bool Symbol2D::AllowGroupDrag() const {
  return true;
}

bool Symbol2D::GetMarkupShadow(util::SmartPtr<oxk::Markup>& out) const {
  out = markup ? markup->GetShadow() : util::SmartPtr<oxk::Markup>();
  return static_cast<bool>(out);
}

void Symbol2D::GetMarkupLocation(int32_t /*index*/, geo::Location& location) const {
  location = geo::Location(markup ? markup->GetLocation().GetMat() : geo::FMat33::IDENTITY, info.center);
}

void Symbol2D::SetMarkupLocation(int32_t /*index*/, const geo::Location& location) {
  info.center = location.GetPos();
  if (!markup) {
    return;
  }
  markup->SetLocation(location);
  markup->CycleShadow();
  markup->NotifyContentChanged();
}

void Symbol2D::GetMarkupSize(int32_t /*index*/, geo::DVec3& size) const {
  size = geo::DVec3(info.width, info.height, 0);
}

void Symbol2D::SetMarkupSize(int32_t /*index*/, const geo::DVec3& size) {
  info.width = static_cast<float>(size.x);
  info.height = static_cast<float>(size.y);
  if (markup) {
    markup->SetWidth(info.width);
    markup->SetHeight(info.height);
  }
}

int32_t Symbol2D::NumberOfMarkups() const {
  return 1;
}

int32_t Symbol2D::GetManipulationTypes() const {
  if (info.screenSpace) {
    return 0;
  }
  return info.isBillboard ? kBillboardManipulation : kPlacedManipulation;
}

geo::DBox Symbol2D::GetBBox() const {
  geo::DBox box = geo::DBox::EMPTY;
  const geo::DPoint3D& c = info.center;
  box.Enclose(geo::DPoint3D(c.x + info.width, c.y + info.height, c.z));
  box.Enclose(geo::DPoint3D(c.x - info.width, c.y - info.height, c.z));
  return box;
}

bool Symbol2D::IsZoomable() const {
  return true;
}

util::Symbol Symbol2D::GetIconName() const {
  return ConstStrings::oxStampIcon;
}

void Symbol2D::OnSetSelected(bool selected, const util::SmartPtr<oxk::View>& view) {
  if (markup) {
    markup->SetSelected(selected, view);
  }
}

bool Symbol2D::IsEqual(const util::SmartPtr<oxk::Annotation>& /*other*/) const {
  return false;
}

std::string Symbol2D::GetObjectDescription() const {
  conc::ReadGuard guard(GetRWLock());
  return oxcommon::ModuleLocalizer().LocalizeMessage("2048", util::Localizer::kReturnEmpty) + "-" + info.title.str();
}

void Symbol2D::ShowAnnotation() {
  if (markup) {
    markup->SetVisibility(true);
  }
}

void Symbol2D::HideAnnotation() {
  if (markup) {
    markup->SetVisibility(false);
  }
}

}  // namespace oxannotations
