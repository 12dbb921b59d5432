#include "symbol3d/SymbolAnnotationFlattened.h"

#include <new>
#include <vector>

#include "common/Illustration2DTarget.h"
#include "conc/ReadGuard.h"
#include "conc/WriteGuard.h"
#include "oxannotations/ConstStrings.h"
#include "oxk/illustration2d/BaseKernelFactory.h"
#include "oxk/illustration2d/Document2D.h"
#include "oxservices/illustration2d/FindElementsFromIdentities.h"
#include "symbol3d/FlattenedSerializedContentVisitor.h"
#include "symbol3d/SymbolContentKeys.h"

namespace oxannotations {

SymbolAnnotationFlattened::SymbolAnnotationFlattened() {
  SetClass(ConstStrings::oxSymbol3DFlattened);
}

SymbolAnnotationFlattened::SymbolAnnotationFlattened(const SymbolAnnotationFlattened& other)
    : util::RefCounted(other), SymbolAnnotationBase(other), xform(other.xform) {
  SetClass(ConstStrings::oxSymbol3DFlattened);
}

SymbolAnnotationFlattened::~SymbolAnnotationFlattened() = default;

util::Symbol SymbolAnnotationFlattened::GetClassStatic() {
  return ConstStrings::oxSymbol3DFlattened;
}

void SymbolAnnotationFlattened::SetSymbolInfo(const SymbolInfoFlattened& record) {
  conc::WriteGuard guard(GetRWLock());
  // Symbols copy without allocating: keeping the old ones lets a failure halfway undo.
  const util::Symbol oldTitle = title, oldDescription = description, oldFileName = fileName, oldName = name, oldId = id;
  const bool oldShowTitle = showTooltipTitle, oldShowDescription = showTooltipDescription;
  try {
    _SetSymbolInfo(record);
    xform = record.xform;
  } catch (...) {
    // Memory ran short: the symbol stays as it was.
    title = oldTitle, description = oldDescription, fileName = oldFileName, name = oldName, id = oldId;
    showTooltipTitle = oldShowTitle, showTooltipDescription = oldShowDescription;
  }
}

// Taking the lock for reading may need memory; when it runs short the symbol answers
// as a new one would.

geo::FMat33 SymbolAnnotationFlattened::GetXform() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    return xform;
  } catch (...) {
    return geo::FMat33::IDENTITY;
  }
}

util::Symbol SymbolAnnotationFlattened::GetInstancePathId() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    return id;
  } catch (...) {
    return {};
  }
}

util::SmartPtr<oxk::Annotation> SymbolAnnotationFlattened::Clone() const {
  try {
    conc::ReadGuard guard(GetRWLock());
    util::SmartPtr<SymbolAnnotationFlattened> copy(new (std::nothrow) SymbolAnnotationFlattened(*this));
    if (copy) {
      copy->SetCreatedFromFile(true);
    }
    return copy;
  } catch (...) {
    return {};
  }
}

bool SymbolAnnotationFlattened::AttachScene(const util::SmartPtr<oxk::Scene>& scene) {
  try {
    // The scene takes the symbol first: when it cannot, the symbol is not attached.
    if (scene) {
      scene->AddAnnotation(util::SmartPtr<oxk::Annotation>(this));
    }
    try {
      return oxk::Annotation::AttachScene(scene);
    } catch (...) {
      if (scene) {
        scene->RemoveAnnotation(util::SmartPtr<oxk::Annotation>(this));
      }
      throw;
    }
  } catch (...) {
    return false;
  }
}

bool SymbolAnnotationFlattened::InitializeFromSerializedContent(
    const util::SmartPtr<oxk::SerializedContentElement>& element, const util::SmartPtr<objm::ManagedObject>& /*owner*/,
    const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) {
  return InitializeFromSerializedContent(element, mapper);
}

bool SymbolAnnotationFlattened::InitializeFromSerializedContent(
    const util::SmartPtr<oxk::SerializedContentElement>& element,
    const util::SmartPtr<oxk::AnnoIdPathMapper>& /*mapper*/) {
  try {
    conc::WriteGuard guard(GetRWLock());
    FlattenedSerializedContentVisitor visitor{util::SmartPtr<oxk::Annotation>(this)};
    if (element) {
      element->Visit(visitor, true);
    }
    SetSymbolInfo(visitor.GetInfo());
  } catch (...) {
    // Memory ran short while reading: what was read so far is not applied.
  }
  return true;
}

bool SymbolAnnotationFlattened::IsVisible() const {
  return oxk::Annotation::IsVisible();
}

void SymbolAnnotationFlattened::CreateAnnotation2D(const util::SmartPtr<oxk::Scene>& scene) {
  try {
    if (!IsVisible()) {
      return;
    }
    using namespace oxk::illustration2d;
    oxcommon::Illustration2DTarget found2D;
    if (!oxcommon::Illustration2DTarget::Find(scene, found2D)) {
      return;
    }
    const util::SmartPtr<BaseKernelFactory>& factory = found2D.factory;
    const util::SmartPtr<Document2D>& document = found2D.document;

    Identity2D identity(Element2D::SymbolTypeBit);
    identity.SetAnnoIDPath(GetIDPath());
    oxservices::illustration2d::FindElementsFromIdentities search(
        {identity}, oxservices::illustration2d::Identity2DEqualityPredicate(),
        Element2D::SbomInstanceTypeBit & Element2D::RootTypeBit);
    document->Accept(search);
    std::vector<util::SmartPtr<Element2D>> found;
    search.TakeElements(found);
    if (!found.empty()) {
      return;  // the document has this symbol's element already
    }

    const util::SmartPtr<Annotation2D> element = factory->CreateAnnotation2D();
    if (!element) {
      return;
    }
    element->SetIDPath(GetIDPath());
    element->SetLayer(document->FindLayer(util::Symbol(Document2D::kAnnotationLayer)));
    document->GetTree()->AppendChild(util::SmartPtr<Node2D>(element.get()));
  } catch (...) {
    // Memory ran short: no element.
  }
}

void SymbolAnnotationFlattened::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  if (!element) {
    return;
  }
  try {
    SymbolAnnotationBase::SerializeContent(element);
    element->AddProperty(symbolkeys::xform,
                         oxk::SerializedContentElement::Value(geo::Location(xform, geo::DPoint3D::BAD)));
  } catch (...) {
    // Memory ran short: the content stays incomplete rather than the host failing.
  }
}

bool SymbolAnnotationFlattened::HasContent() const {
  return false;
}

}  // namespace oxannotations
