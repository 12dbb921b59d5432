#include <new>

#include "common/SequencerTagContent.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "oxannotations/ConstStrings.h"
#include "oxg/Material.h"
#include "symbol3d/SerializedContentVisitor.h"
#include "symbol3d/SymbolAnnotation.h"
#include "symbol3d/SymbolContentKeys.h"

// The 3D symbol's saved content: reading it back, writing it, and the hand-over to the
// flattened form.

namespace oxannotations {

using Value = oxk::SerializedContentElement::Value;

bool SymbolAnnotation::InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& /*mapper*/) {
  try {
    conc::WriteGuard guard(GetRWLock());
    // Qualified: the host base class has a member class of the same name.
    oxannotations::SerializedContentVisitor visitor(util::SmartPtr<oxk::Annotation>(this));
    if (element) {
      element->Visit(visitor, true);
    }
    SetSymbolInfo(visitor.GetInfo());
  } catch (...) {
    // Memory ran short while reading: what was read so far is not applied.
  }
  return true;
}

bool SymbolAnnotation::IsEqual(const util::SmartPtr<oxk::Annotation>& /*other*/) const {
  return false;
}

bool SymbolAnnotation::CanAnimate(const util::SmartPtr<oxk::OperationStep>& /*step*/) const {
  return true;
}

bool SymbolAnnotation::Flatten(const util::SmartPtr<oxk::SerializedContentElement>& element,
                               const std::map<util::Symbol, geo::Location>& /*transforms*/,
                               const oxk::FlattenInstanceCheck* /*instanceCheck*/, oxk::Pipeline* /*pipeline*/) {
  try {
    conc::ReadGuard guard(GetRWLock());
    if (!HasContent()) {
      return false;
    }
    if (element) {
      util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(ConstStrings::oxSymbol3DFlattened);
      if (child) {
        SymbolAnnotationBase::SerializeContent(child);
        child->EndContent();
      }
    }
    return true;
  } catch (...) {
    return false;  // memory ran short: nothing handed over
  }
}

void SymbolAnnotation::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  if (!element) {
    return;
  }
  try {
    SymbolAnnotationBase::SerializeContent(element);

    // Without a shape (the host may ask directly) the stored placement stands in.
    const geo::Location placement = shapeInstance ? shapeInstance->GetLocation() : symbolLocation;
    geo::DPoint3D position;
    geo::Quaternion<float> orientation;
    float scale = 1.0f;
    placement.Get(position, orientation, scale);

    // The live shape's look is saved, not the record's: the user may have changed it.
    util::SmartPtr<oxg::Appearance> appearance;
    const bool hasOverride = shapeInstance && shapeInstance->GetAppearanceOverride(appearance);
    if (hasOverride) {
      util::SmartPtr<oxg::Material> material;
      if (appearance->GetMaterial(material)) {
        element->AddProperty(symbolkeys::appAmbient, Value(material->GetAmbient()));
        element->AddProperty(symbolkeys::appSpecular, Value(material->GetSpecular()));
        element->AddProperty(symbolkeys::appDiffuse, Value(material->GetDiffuse()));
        element->AddProperty(symbolkeys::appEmissive, Value(material->GetEmissive()));
        element->AddProperty(symbolkeys::appShininess, Value(material->GetShininess()));
        element->AddProperty(symbolkeys::appTransp, Value(shapeInstance->GetTransparency()));
        element->AddProperty(symbolkeys::appHasOverride, Value(true));
      }
    } else {
      element->AddProperty(symbolkeys::appHasOverride, Value(false));
    }

    element->AddProperty(symbolkeys::locPosition, Value(position));
    element->AddProperty(symbolkeys::locOrientation, Value(orientation));
    element->AddProperty(symbolkeys::locScale, Value(scale));
    element->AddProperty(symbolkeys::isAnnotationSymbol, Value(annotationSymbol));
    element->AddProperty(symbolkeys::symbolCsysLocation, Value(partCsys));
    element->AddProperty(symbolkeys::symbolInitLocation, Value(initLocation));

    for (const ConnectedPartInfo& part : CopyParts()) {  // no content without its parts
      util::SmartPtr<oxk::SerializedContentElement> child = element->StartContent(symbolkeys::attachedToPart);
      if (!child) {
        continue;
      }
      child->AddProperty(symbolkeys::attachedToPartId, Value(part.partId));
      if (!part.assemblyPartId.empty()) {
        child->AddProperty(symbolkeys::attachedToAssemblyPartId, Value(part.assemblyPartId));
      }
      child->AddProperty(symbolkeys::attachedToPartLastPos, Value(part.lastPos));
      child->AddProperty(symbolkeys::attachedToPartOffset, Value(part.offset));
      child->EndContent();
    }

    oxcommon::WriteSequencerTags(element, sequencerTags);
  } catch (...) {
    // Memory ran short: the content stays incomplete rather than the host failing.
  }
}

}  // namespace oxannotations
