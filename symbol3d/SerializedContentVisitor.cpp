#include "symbol3d/SerializedContentVisitor.h"

#include "common/SequencerTagContent.h"
#include "symbol3d/SymbolContentKeys.h"

namespace oxannotations {

using oxk::illustration::SequencerTag;

bool SerializedContentVisitor::StartElement(const util::Symbol& elementName) {
  if (elementName == symbolkeys::sequencerTag) {
    currentTag = util::SmartPtr<SequencerTag>(new SequencerTag());
    info.sequencerTags.push_back(currentTag);
  } else if (elementName == symbolkeys::attachedToPart) {
    info.connectedParts.emplace_back();
  }
  return true;
}

void SerializedContentVisitor::VisitColor(const util::Symbol& key, const geo::Color& value) {
  if (key == symbolkeys::appAmbient) {
    info.appAmbient = value;
  } else if (key == symbolkeys::appSpecular) {
    info.appSpecular = value;
  } else if (key == symbolkeys::appDiffuse) {
    info.appDiffuse = value;
  } else if (key == symbolkeys::appEmissive) {
    info.appEmissive = value;
  } else {
    SerializedContentVisitorBase::VisitColor(key, value);
  }
}

void SerializedContentVisitor::VisitQuaternion(const util::Symbol& key, const geo::Quaternion<float>& value) {
  if (key == symbolkeys::locOrientation) {
    info.locOrientation = value;
  } else {
    SerializedContentVisitorBase::VisitQuaternion(key, value);
  }
}

void SerializedContentVisitor::VisitVector(const util::Symbol& key, const geo::DVec3& value) {
  if (key == symbolkeys::attachedToPartOffset) {
    if (!info.connectedParts.empty()) {
      info.connectedParts.back().offset = value;
    }
  } else {
    SerializedContentVisitorBase::VisitVector(key, value);
  }
}

void SerializedContentVisitor::VisitPoint(const util::Symbol& key, const geo::DPoint3D& value) {
  if (key == symbolkeys::locPosition) {
    info.locPosition = value;
  } else if (key == symbolkeys::attachedToPartLastPos) {
    if (!info.connectedParts.empty()) {
      info.connectedParts.back().lastPos = value;
    }
  } else {
    SerializedContentVisitorBase::VisitPoint(key, value);
  }
}

void SerializedContentVisitor::VisitLocation(const util::Symbol& key, const geo::Location& value) {
  if (key == symbolkeys::symbolCsysLocation) {
    info.symbolCsysLocation = value;
    info.hasSymbolCsysLocation = true;
  } else if (key == symbolkeys::symbolInitLocation) {
    info.symbolInitLocation = value;
    info.hasSymbolInitLocation = true;
  } else {
    SerializedContentVisitorBase::VisitLocation(key, value);
  }
}

void SerializedContentVisitor::VisitSymbol(const util::Symbol& key, const util::Symbol& value) {
  if (key == symbolkeys::attachedToPartId || key == symbolkeys::attachedToAssemblyPartId) {
    if (info.connectedParts.empty()) {
      return;  // a part property outside any part element
    }
    ConnectedPartInfo& part = info.connectedParts.back();
    (key == symbolkeys::attachedToPartId ? part.partId : part.assemblyPartId) = value;
    return;
  }
  if (oxcommon::ReadSequencerTagProperty(currentTag, key, value)) {
    return;
  }
  SerializedContentVisitorBase::VisitSymbol(key, value);
}

void SerializedContentVisitor::VisitFloat(const util::Symbol& key, float value) {
  if (key == symbolkeys::appShininess) {
    info.appShininess = value;
  } else if (key == symbolkeys::appTransp) {
    info.appTransp = value;
  } else if (key == symbolkeys::locScale) {
    info.locScale = value;
  } else {
    SerializedContentVisitorBase::VisitFloat(key, value);
  }
}

void SerializedContentVisitor::VisitBool(const util::Symbol& key, bool value) {
  if (key == symbolkeys::appHasOverride) {
    info.appHasOverride = value;
  } else if (key == symbolkeys::isAnnotationSymbol) {
    info.isAnnotationSymbol = value;
  } else {
    SerializedContentVisitorBase::VisitBool(key, value);
  }
}

}  // namespace oxannotations
