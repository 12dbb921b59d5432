#include "symbol2d/SerializedContentVisitor.h"

#include <new>

#include "common/SequencerTagContent.h"
#include "conc/OXTracer.h"
#include "symbol2d/Symbol2DContentKeys.h"
#include "symbol3d/SymbolContentKeys.h"

namespace oxannotations::symbol2d {

namespace k2 = symbol2dkeys;
namespace k = symbolkeys;
using oxk::illustration::SequencerTag;

namespace {

// Frozen: the texts hosts filter the reader's traces by. Keys the reader does not know
// are traced as information.
const conc::OXTracer& Tracer() {
  static const conc::OXTracer tracer("symbol3d", "symbol2d");
  return tracer;
}

}  // namespace

bool SerializedContentVisitor::StartElement(const util::Symbol& elementName) {
  if (elementName == k::sequencerTag) {
    // Throws when memory runs short: content read without one of its tags is not applied.
    currentTag = util::SmartPtr<SequencerTag>(new SequencerTag());
    info.sequencerTags.push_back(currentTag);
  }
  return true;
}

void SerializedContentVisitor::VisitColor(const util::Symbol& key, const geo::Color& value) {
  if (key == k2::lineColor) {
    info.lineColor = value;
  } else if (key == k2::fillColor) {
    info.fillColor = value;
  } else {
    Tracer().Trace(conc::OXTracer::kInfo, "Unhandle color %s\n", key.safe_c_str());
  }
}

void SerializedContentVisitor::VisitPoint(const util::Symbol& key, const geo::DPoint3D& value) {
  if (key == k2::center) {
    info.center = value;
  } else {
    Tracer().Trace(conc::OXTracer::kInfo, "Unhandle point %s\n", key.safe_c_str());
  }
}

void SerializedContentVisitor::VisitLocation(const util::Symbol& key, const geo::Location& value) {
  if (key == k2::bbXform) {
    info.bbXform = value;
  }
}

void SerializedContentVisitor::VisitSymbol(const util::Symbol& key, const util::Symbol& value) {
  if (key == k::title) {
    info.title = value;
  } else if (key == k::description) {
    info.description = value;
  } else if (key == k2::imageName) {
    info.imageName = value;
  } else if (key == k2::imageFileName) {
    info.imageFileName = value;
  } else if (!oxcommon::ReadSequencerTagProperty(currentTag, key, value)) {
    Tracer().Trace(conc::OXTracer::kInfo, "Unhandle symbol %s\n", key.safe_c_str());
  }
}

void SerializedContentVisitor::VisitInt(const util::Symbol& key, int32_t value) {
  if (key == k2::imageID) {
    info.imageID = value;
  } else if (key == k2::lineWidth) {
    info.lineWidth = value;
  } else if (key == k2::lineStipple) {
    info.lineStipple = value;
  } else if (key == k2::anchor) {
    info.anchor = value;
  } else if (key == k2::rotateRight) {
    info.rotateRight = value;
  } else if (key == k2::rotateLeft) {
    info.rotateLeft = value;
  } else if (key == k2::pageNum) {
    info.pageNum = value;
  } else {
    Tracer().Trace(conc::OXTracer::kInfo, "Unhandle int32 %s\n", key.safe_c_str());
  }
}

void SerializedContentVisitor::VisitFloat(const util::Symbol& key, float value) {
  if (key == k2::width) {
    info.width = value;
  } else if (key == k2::height) {
    info.height = value;
  } else if (key == k2::transparency) {
    info.transparency = value;
  } else {
    Tracer().Trace(conc::OXTracer::kInfo, "Unhandle float %s\n", key.safe_c_str());
  }
}

void SerializedContentVisitor::VisitBool(const util::Symbol& key, bool value) {
  if (key == k::showTooltipTitle) {
    info.showTooltipTitle = value;
  } else if (key == k::showTooltipDescription) {
    info.showTooltipDescription = value;
  } else if (key == k2::screenSpace) {
    info.screenSpace = value;
  } else if (key == k2::reverse) {
    info.reverse = value;
  } else if (key == k2::flipHorizontally) {
    info.flipHorizontally = value;
  } else if (key == k2::isbillboard) {
    info.isBillboard = value;
  } else if (key == k2::rotateRight) {
    // A flag is taken as 0 or 1.
    info.rotateRight = value ? 1 : 0;
  } else if (key == k2::rotateLeft) {
    info.rotateLeft = value ? 1 : 0;
  } else {
    oxk::Annotation::SerializedContentVisitor::VisitBool(key, value);
  }
}

}  // namespace oxannotations::symbol2d
