#include <new>
#include <utility>

#include "common/Illustration2DTarget.h"
#include "common/ModuleLocalizer.h"
#include "conc/MutexGuard.h"
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
  try {
    conc::ReadGuard guard(GetRWLock());
    // As the constructor from a record does, but a record that cannot be applied (memory
    // ran short) gives no copy rather than a default one.
    util::SmartPtr<Symbol2D> copy(new (std::nothrow) Symbol2D());
    if (!copy || !copy->ApplySymbolInfo(CopyInfo())) {
      return {};
    }
    copy->SetCreatedFromFile(true);
    return copy;
  } catch (...) {
    return {};
  }
}

util::SmartPtr<oxmk::Stamp> Symbol2D::GetMarkup() const {
  conc::MutexGuard guard(stateMutex);
  return markup;
}

util::SmartPtr<oxk::Scene> Symbol2D::GetScene() const {
  conc::MutexGuard guard(stateMutex);
  return scene;
}

util::SmartPtr<oxk::illustration2d::Stamp2D> Symbol2D::GetStamp2D() const {
  conc::MutexGuard guard(stateMutex);
  return stamp2D;
}

bool Symbol2D::AttachScene(const util::SmartPtr<oxk::Scene>& newScene) {
  // A scene it lets go of may hold the last reference to this symbol: the symbol must
  // outlive its lock guard.
  const util::SmartPtr<Symbol2D> self(this);
  try {
    conc::WriteGuard guard(GetRWLock());
    if (!newScene || newScene == GetScene()) {
      return true;
    }
    util::SmartPtr<oxmk::Stamp> stamp = GetMarkup();
    if (!stamp) {
      const bool in3D = !util::DynamicCast<oxk::illustration2d::Scene2D>(newScene);
      stamp = util::SmartPtr<oxmk::Stamp>(new (std::nothrow) oxmk::Stamp(info.screenSpace, kStampAnchor, in3D));
      if (!stamp) {
        return false;
      }
    }
    {
      conc::MutexGuard state(stateMutex);
      markup = stamp;
      stamp->SetVisibility(false);
      stamp->SetCenter(info.center);
      stamp->SetBillboard3D(info.isBillboard);
      stamp->SetWidth(info.width);
      stamp->SetHeight(info.height);
      stamp->SetPageNum(info.pageNum);
      stamp->SetLineColor(info.lineColor);
      stamp->SetFillColor(info.fillColor);
      stamp->SetTransparency(info.transparency);
      stamp->SetReverse(info.reverse);
      stamp->SetFlipHorizontally(info.flipHorizontally);
      if (CreatedFromFile() && info.bbXform != geo::Location::ZERO) {
        stamp->SetLocation(info.bbXform);
      }
    }
    // The scene takes the symbol first: when it cannot, the symbol is not attached.
    newScene->AddAnnotation(util::SmartPtr<oxk::Annotation>(this));
    util::SmartPtr<oxk::Scene> previous = newScene;  // the old scene goes after the lock
    {
      conc::MutexGuard state(stateMutex);
      std::swap(previous, scene);
      ++attachments;  // a load still under way for the old scene no longer applies
    }
    LoadImage(GetEvent().get());
    return true;
  } catch (...) {
    return false;
  }
}

bool Symbol2D::DetachScene() {
  const util::SmartPtr<Symbol2D> self(this);  // as in AttachScene
  conc::WriteGuard guard(GetRWLock());
  util::SmartPtr<oxk::Scene> previous;
  {
    // One step with the loader's hand-over of an image: after it, a completion of a load
    // started before adds nothing to the scene this symbol left.
    conc::MutexGuard state(stateMutex);
    previous = std::move(scene);
    ++attachments;
    if (markup) {
      markup->SetController(nullptr);
      if (previous) {
        previous->RemoveMarkup(util::SmartPtr<oxk::Markup>(markup.get()));
      }
    }
    oxk::Annotation::DetachScene();
  }
  return true;
}

void Symbol2D::CreateAnnotation2D(const util::SmartPtr<oxk::Scene>& target) {
  try {
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
    // Filled in before it joins the document: what fails on the way leaves no half element.
    element->SetLayer(document->FindLayer(util::Symbol(Document2D::kAnnotationLayer)));
    element->SetIDPath(GetIDPath());
    element->SetDerivedFromSymbol(true);
    element->SetVerFlip(info.reverse);
    element->SetHorFlip(info.flipHorizontally);
    element->SetDescription(info.description.str());
    element->SetTitle(info.title.str());
    element->SetUseDescription(info.showTooltipDescription);
    element->SetUseTitle(info.showTooltipTitle);
    document->GetTree()->AppendChild(util::SmartPtr<Node2D>(element.get()));
    util::SmartPtr<Stamp2D> previous = element;  // the old element goes after the lock
    conc::MutexGuard state(stateMutex);
    std::swap(previous, stamp2D);
  } catch (...) {
    // Memory ran short: no element.
  }
}

void Symbol2D::CompleteAnnotation2D(const util::SmartPtr<oxk::Scene>& /*target*/,
                                    const util::SmartPtr<oxk::AsyncEvent>& completion) {
  LoadImage(completion.get());
}

bool Symbol2D::MarkupUpdated(const util::SmartPtr<oxk::Markup>& updated, const util::SmartPtr<oxk::Markup>& previous,
                             const util::SmartPtr<oxk::Operation>& operation) {
  try {
    float newWidth = 0, newHeight = 0, previousWidth = 0, previousHeight = 0;
    geo::DPoint3D oldCenter;
    geo::Location current;
    {
      conc::MutexGuard state(stateMutex);
      if (!markup || updated.get() != static_cast<oxk::Markup*>(markup.get())) {
        return true;
      }
      util::SmartPtr<oxmk::StampShadow> shadow = util::DynamicCast<oxmk::StampShadow>(previous);
      if (!shadow) {
        shadow = markup->GetStampShadow();
      }
      newWidth = shadow->GetWidth(), newHeight = shadow->GetHeight();
      previousWidth = markup->GetWidth(), previousHeight = markup->GetHeight();
      oldCenter = shadow->GetOldCenter();
      info.width = newWidth;
      info.height = newHeight;
      info.center = markup->GetCenter();
      markup->SetWidth(newWidth);
      markup->SetHeight(newHeight);
      current = geo::Location(markup->GetLocation().GetMat(), info.center);
    }
    if (!operation) {
      return true;
    }
    if (!(current.GetPos() == oldCenter)) {
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
  } catch (...) {
    // Memory ran short: the stamp keeps its new place and size, without an undo step.
  }
  return true;
}

void Symbol2D::MarkupSelected(const util::SmartPtr<oxk::Markup>& /*selected*/, bool /*isSelected*/) {}

bool Symbol2D::AllowGroupDrag() const {
  return true;
}

bool Symbol2D::GetMarkupShadow(util::SmartPtr<oxk::Markup>& out) const {
  const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup();
  out = stamp ? stamp->GetShadow() : util::SmartPtr<oxk::Markup>();
  return static_cast<bool>(out);
}

void Symbol2D::GetMarkupLocation(int32_t /*index*/, geo::Location& location) const {
  conc::MutexGuard state(stateMutex);
  location = geo::Location(markup ? markup->GetLocation().GetMat() : geo::FMat33::IDENTITY, info.center);
}

void Symbol2D::SetMarkupLocation(int32_t /*index*/, const geo::Location& location) {
  conc::MutexGuard state(stateMutex);
  info.center = location.GetPos();
  if (!markup) {
    return;
  }
  markup->SetLocation(location);
  markup->CycleShadow();
  markup->NotifyContentChanged();
}

void Symbol2D::GetMarkupSize(int32_t /*index*/, geo::DVec3& size) const {
  conc::MutexGuard state(stateMutex);
  size = geo::DVec3(info.width, info.height, 0);
}

void Symbol2D::SetMarkupSize(int32_t /*index*/, const geo::DVec3& size) {
  conc::MutexGuard state(stateMutex);
  SetMarkupSizeLocked(size);
}

void Symbol2D::SetMarkupSizeLocked(const geo::DVec3& size) {
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
  conc::MutexGuard state(stateMutex);
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
  if (const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup()) {
    stamp->SetSelected(selected, view);
  }
}

bool Symbol2D::IsEqual(const util::SmartPtr<oxk::Annotation>& /*other*/) const {
  return false;
}

std::string Symbol2D::GetObjectDescription() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    return oxcommon::ModuleLocalizer().LocalizeMessage("2048", util::Localizer::kReturnEmpty) + "-" + info.title.str();
  } catch (...) {
    return {};
  }
}

void Symbol2D::ShowAnnotation() {
  if (const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup()) {
    stamp->SetVisibility(true);
  }
}

void Symbol2D::HideAnnotation() {
  if (const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup()) {
    stamp->SetVisibility(false);
  }
}

}  // namespace oxannotations
