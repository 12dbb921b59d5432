#include "symbol2d/Symbol2D.h"

#include <new>

#include "conc/MutexGuard.h"
#include "conc/WriteGuard.h"
#include "objm/ObserverProxy.h"
#include "oxannotations/ConstStrings.h"
#include "symbol2d/Symbol2DContentKeys.h"

// The class spreads over several sources by concern: this one holds construction, the
// record and its accessors, and the measurement observers; Symbol2DImage.cpp the image
// (its url, catalogue look-ups, loading and completion), Symbol2DScene.cpp scenes,
// markup, the 2D element and user manipulation, Symbol2DGeometry.cpp sizes and turns,
// and Symbol2DContent.cpp the saved content.

namespace oxannotations {

namespace k2 = symbol2dkeys;

namespace {

util::SmartPtr<oxk::Image> NewImage() {
  return util::SmartPtr<oxk::Image>(new (std::nothrow) oxk::Image());
}

}  // namespace

Symbol2D::Symbol2D() : Annotation(kAnnotationType) {
  info.showTooltipTitle = true;
  info.showTooltipDescription = false;
  info.width = 30.0f;
  info.height = 30.0f;
  info.lineColor = geo::Color(0, 0, 0, 1);
  info.fillColor = geo::Color(0, 0, 0, 1);
  info.image = NewImage();
  SetClass(ConstStrings::oxSymbol2D);
  SetPreselectionCursor(ConstStrings::oxStampPreselectionCursor);
}

Symbol2D::Symbol2D(const Symbol2DInfo& record) : Annotation(kAnnotationType) {
  info.image = NewImage();
  SetClass(ConstStrings::oxSymbol2D);
  SetPreselectionCursor(ConstStrings::oxStampPreselectionCursor);
  SetSymbolInfo(record);
}

Symbol2D::Symbol2D(const Symbol2D& other)
    : util::RefCounted(other),
      Annotation(other),
      info(other.CopyInfo()),
      markup(other.GetMarkup()),
      scene(other.GetScene()),
      event(other.GetEvent()),
      tempDir(other.GetTempDir()),
      stamp2D(other.GetStamp2D()) {
  other.GetOrigSize(origWidth, origHeight);
  info.image = NewImage();
  if (info.image && other.info.image) {
    info.image->SetURL(other.info.image->GetURL());
  }
  SetClass(ConstStrings::oxSymbol2D);
  SetPreselectionCursor(ConstStrings::oxStampPreselectionCursor);
}

Symbol2D::~Symbol2D() {
  // The markup may outlive the symbol in a scene; it must not call back into it.
  conc::MutexGuard guard(stateMutex);
  if (markup && markup->GetController() == static_cast<oxk::MarkupController*>(this)) {
    markup->SetController(nullptr);
  }
}

util::Symbol Symbol2D::GetClassStatic() {
  return ConstStrings::oxSymbol2D;
}

util::Symbol Symbol2D::GetSymbolFileName() {
  return k2::imageFileName;
}

unsigned char Symbol2D::GetBaseEventId() {
  return static_cast<unsigned char>(oxk::Observable::GetNextEventId());
}

Symbol2DInfo Symbol2D::CopyInfo() const {
  conc::MutexGuard guard(stateMutex);
  return info;
}

void Symbol2D::SetSymbolInfo(const Symbol2DInfo& record) {
  (void)ApplySymbolInfo(record);
}

bool Symbol2D::ApplySymbolInfo(const Symbol2DInfo& record) {
  try {
    conc::WriteGuard guard(GetRWLock());
    // Everything that can fail comes first: the symbol changes only once all of it is there.
    Symbol2DInfo updated(record);
    util::Symbol url;
    (void)ImageUrlFor(updated.imageFileName, url);
    if (updated.title.empty() && !updated.imageName.empty()) {
      updated.title = updated.imageName;
    }
    conc::MutexGuard state(stateMutex);
    updated.image = info.image;  // the symbol keeps its own image object
    info = std::move(updated);
    origWidth = record.width;
    origHeight = record.height;
    if (info.image) {
      info.image->SetURL(url);
    }
    return true;
  } catch (...) {
    return false;  // memory ran short: the symbol stays as it was
  }
}

void Symbol2D::SetTitle(const std::string& text, bool show) {
  try {
    info.title = util::Symbol(text);
    info.showTooltipTitle = show;
  } catch (...) {
    // Memory ran short: the title stays as it was.
  }
}

void Symbol2D::SetDescription(const std::string& text, bool show) {
  try {
    info.description = util::Symbol(text);
    info.showTooltipDescription = show;
  } catch (...) {
    // Memory ran short: the description stays as it was.
  }
}

void Symbol2D::GetSequencerTags(oxcommon::SequencerTagList& out) const {
  try {
    out = info.sequencerTags;
  } catch (...) {
    out.clear();
  }
}

void Symbol2D::SetSequencerTags(const oxcommon::SequencerTagList& tags) {
  try {
    oxcommon::SequencerTagList copy(tags);
    info.sequencerTags.swap(copy);
  } catch (...) {
    // Memory ran short: the symbol keeps its tags.
  }
}

void Symbol2D::SetReverse(bool reverse) {
  info.reverse = reverse;
  if (const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup()) {
    stamp->SetReverse(reverse);
  }
}

void Symbol2D::SetFlipHorizontally(bool flip) {
  info.flipHorizontally = flip;
  if (const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup()) {
    stamp->SetFlipHorizontally(flip);
  }
}

void Symbol2D::SetRotateRight(int32_t degrees) {
  conc::MutexGuard guard(stateMutex);
  info.rotateRight = degrees;
}

void Symbol2D::SetRotateLeft(int32_t degrees) {
  conc::MutexGuard guard(stateMutex);
  info.rotateLeft = degrees;
}

float Symbol2D::GetTransparency() const {
  conc::MutexGuard guard(stateMutex);
  return info.transparency;
}

geo::DPoint3D Symbol2D::GetCenter() const {
  conc::MutexGuard guard(stateMutex);
  return info.center;
}

void Symbol2D::SetPageNum(int32_t page) {
  info.pageNum = page;
  if (const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup()) {
    stamp->SetPageNum(page);
  }
}

void Symbol2D::GetOrigSize(float& width, float& height) const {
  conc::MutexGuard guard(stateMutex);
  width = origWidth;
  height = origHeight;
}

void Symbol2D::SetOrigSize(float width, float height) {
  conc::MutexGuard guard(stateMutex);
  origWidth = width;
  origHeight = height;
}

bool Symbol2D::RegisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer) {
  try {
    if (!observer) {
      return false;
    }
    util::SmartPtr<objm::ObserverProxy> proxy(new (std::nothrow) objm::ObserverProxy(observer.get(), true));
    if (!proxy) {
      return false;
    }
    conc::WriteGuard guard(GetRWLock());
    return oxk::Observable::RegisterObserver(proxy);
  } catch (...) {
    // Memory ran short: not registered.
    return false;
  }
}

bool Symbol2D::UnregisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer) {
  try {
    if (!observer) {
      return false;
    }
    return oxk::Observable::UnregisterObserver(observer.get());
  } catch (...) {
    // Memory ran short: left as it was.
    return false;
  }
}

}  // namespace oxannotations
