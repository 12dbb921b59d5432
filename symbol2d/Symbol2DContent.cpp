#include <cmath>
#include <new>

#include "common/SequencerTagContent.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "oxannotations/ConstStrings.h"
#include "oxk/Pipeline.h"
#include "symbol2d/SerializedContentVisitor.h"
#include "symbol2d/Symbol2D.h"
#include "symbol2d/Symbol2DContentKeys.h"
#include "symbol3d/SymbolContentKeys.h"

// The 2D symbol's saved content: writing it (also flattened, in device pixels) and
// reading it back.

namespace oxannotations {

using Value = oxk::SerializedContentElement::Value;
namespace k2 = symbol2dkeys;
namespace k = symbolkeys;

namespace {

// Frozen host value passed through unchanged.
constexpr int kPixelBoxDetail = 24;

// Half away from zero, as the device resolution is rounded.
int RoundHalfAway(float value) {
  return static_cast<int>(value < 0 ? std::ceil(value - 0.5f) : std::floor(value + 0.5f));
}

}  // namespace

void Symbol2D::Visit(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  try {
    conc::ReadGuard guard(GetRWLock());
    SerializeAsChild(element, nullptr);
  } catch (...) {
    // Memory ran short: the content stays incomplete rather than the host failing.
  }
}

bool Symbol2D::Flatten(const util::SmartPtr<oxk::SerializedContentElement>& element,
                       const std::map<util::Symbol, geo::Location>& /*transforms*/,
                       const oxk::FlattenInstanceCheck* /*instanceCheck*/, oxk::Pipeline* pipeline) {
  try {
    conc::ReadGuard guard(GetRWLock());
    SerializeAsChild(element, pipeline);
  } catch (...) {
    // As Visit.
  }
  return true;
}

void Symbol2D::SerializeAsChild(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                const geo::Pipeline* pipeline) {
  if (!element) {
    return;
  }
  const util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(ConstStrings::oxSymbol2D);
  if (!child) {
    return;
  }
  SerializeContent(child, pipeline);
  child->EndContent();
}

void Symbol2D::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  try {
    SerializeContent(element, nullptr);
  } catch (...) {
    // As Visit.
  }
}

void Symbol2D::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                const geo::Pipeline* pipeline) {
  if (!element) {
    return;
  }
  // A copy: the loader's thread may change the size and transparency meanwhile.
  const Symbol2DInfo record = CopyInfo();
  const util::SmartPtr<oxmk::Stamp> stamp = GetMarkup();
  oxk::Annotation::Visit(element);
  element->AddProperty(k::title, Value(record.title));
  element->AddProperty(k::description, Value(record.description));
  element->AddProperty(k::showTooltipTitle, Value(record.showTooltipTitle));
  element->AddProperty(k::showTooltipDescription, Value(record.showTooltipDescription));
  element->AddProperty(k2::imageID, Value(record.imageID));
  element->AddProperty(k2::imageName, Value(record.imageName));
  element->AddProperty(k2::imageFileName, Value(record.imageFileName));
  if (pipeline == nullptr) {
    element->AddProperty(k2::center, Value(record.center));
    element->AddProperty(k2::width, Value(record.width));
    element->AddProperty(k2::height, Value(record.height));
  } else {
    util::SmartPtr<oxcontext::Context2D> context(new (std::nothrow) oxcontext::Context2D());
    if (context) {
      const int resolution = RoundHalfAway(pipeline->GetResolution());
      context->SetResolution(resolution, resolution);
    }
    const geo::DBox pixels = GetMarkupPixelBBox(*pipeline, context.get(), kPixelBoxDetail);
    const geo::DBox2D box{pixels.min.x, pixels.min.y, pixels.max.x, pixels.max.y};
    element->AddProperty(k2::center, Value(geo::DPoint3D((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2, 0)));
    element->AddProperty(k2::width, Value(static_cast<float>(box.Width() / 2)));
    element->AddProperty(k2::height, Value(static_cast<float>(box.Height() / 2)));
  }
  element->AddProperty(k2::lineColor, Value(record.lineColor));
  element->AddProperty(k2::lineWidth, Value(record.lineWidth));
  element->AddProperty(k2::lineStipple, Value(record.lineStipple));
  element->AddProperty(k2::fillColor, Value(record.fillColor));
  element->AddProperty(k2::transparency, Value(record.transparency));
  element->AddProperty(k2::screenSpace, Value(record.screenSpace));
  element->AddProperty(k2::anchor, Value(record.anchor));
  element->AddProperty(k2::reverse, Value(record.reverse));
  element->AddProperty(k2::flipHorizontally, Value(record.flipHorizontally));
  element->AddProperty(k2::rotateRight, Value(record.rotateRight));
  element->AddProperty(k2::rotateLeft, Value(record.rotateLeft));
  element->AddProperty(k2::isbillboard, Value(record.isBillboard));
  if (!record.isBillboard && stamp) {
    element->AddProperty(k2::bbXform, Value(stamp->GetLocation()));
  }
  element->AddProperty(k2::pageNum, Value(record.pageNum));

  oxcommon::WriteSequencerTags(element, record.sequencerTags);
}

bool Symbol2D::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                               const util::SmartPtr<oxk::AnnoIdPathMapper>& /*mapper*/) {
  try {
    conc::WriteGuard guard(GetRWLock());
    symbol2d::SerializedContentVisitor visitor{util::SmartPtr<oxk::Annotation>(this)};
    if (element) {
      element->Visit(visitor, true);
    }
    if (ApplySymbolInfo(visitor.GetInfo())) {
      SetCreatedFromFile(true);
    }
  } catch (...) {
    // Memory ran short while reading: what was read so far is not applied.
  }
  return true;
}

bool Symbol2D::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                               const util::SmartPtr<objm::ManagedObject>& /*owner*/,
                                               const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) {
  return InitializeFromSerializedContent(element, mapper);
}

}  // namespace oxannotations
