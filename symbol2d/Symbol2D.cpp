#include "symbol2d/Symbol2D.h"

#include <new>

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
      info(other.info),
      markup(other.markup),
      scene(other.GetScene()),
      origWidth(other.origWidth),
      origHeight(other.origHeight),
      event(other.GetEvent()),
      tempDir(other.GetTempDir()),
      stamp2D(other.GetStamp2D()) {
  info.image = NewImage();
  if (info.image && other.info.image) {
    info.image->SetURL(other.info.image->GetURL());
  }
  SetClass(ConstStrings::oxSymbol2D);
  SetPreselectionCursor(ConstStrings::oxStampPreselectionCursor);
}

Symbol2D::~Symbol2D() {
  // The markup may outlive the symbol in a scene; it must not call back into it.
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

void Symbol2D::SetSymbolInfo(const Symbol2DInfo& record) {
  conc::WriteGuard guard(GetRWLock());
  const util::SmartPtr<oxk::Image> ownImage = info.image;
  info = record;
  info.image = ownImage;
  SetOrigSize(record.width, record.height);
  util::Symbol url;
  (void)GetImageFromTempDir(url);
  if (info.image) {
    info.image->SetURL(url);
  }
  if (info.title.empty() && !info.imageName.empty()) {
    info.title = info.imageName;
  }
}

void Symbol2D::SetTitle(const std::string& text, bool show) {
  info.title = util::Symbol(text);
  info.showTooltipTitle = show;
}

void Symbol2D::SetDescription(const std::string& text, bool show) {
  info.description = util::Symbol(text);
  info.showTooltipDescription = show;
}

void Symbol2D::SetReverse(bool reverse) {
  info.reverse = reverse;
  if (markup) {
    markup->SetReverse(reverse);
  }
}

void Symbol2D::SetFlipHorizontally(bool flip) {
  info.flipHorizontally = flip;
  if (markup) {
    markup->SetFlipHorizontally(flip);
  }
}

void Symbol2D::SetPageNum(int32_t page) {
  info.pageNum = page;
  if (markup) {
    markup->SetPageNum(page);
  }
}

void Symbol2D::GetOrigSize(float& width, float& height) const {
  width = origWidth;
  height = origHeight;
}

void Symbol2D::SetOrigSize(float width, float height) {
  origWidth = width;
  origHeight = height;
}

bool Symbol2D::RegisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer) {
  if (!observer) {
    return false;
  }
  util::SmartPtr<objm::ObserverProxy> proxy(new (std::nothrow) objm::ObserverProxy(observer.get(), true));
  if (!proxy) {
    return false;
  }
  conc::WriteGuard guard(GetRWLock());
  return oxk::Observable::RegisterObserver(proxy);
}

bool Symbol2D::UnregisterObserver(const util::SmartPtr<UniversalMeasurementObserver>& observer) {
  if (!observer) {
    return false;
  }
  return oxk::Observable::UnregisterObserver(observer.get());
}

}  // namespace oxannotations
