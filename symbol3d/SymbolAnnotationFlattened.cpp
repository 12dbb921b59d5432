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
  _SetSymbolInfo(record);
  xform = record.xform;
}

geo::FMat33 SymbolAnnotationFlattened::GetXform() const {
  conc::ReadGuard guard(GetRWLock());
  return xform;
}

util::Symbol SymbolAnnotationFlattened::GetInstancePathId() const {
  conc::ReadGuard guard(GetRWLock());
  return id;
}

util::SmartPtr<oxk::Annotation> SymbolAnnotationFlattened::Clone() const {
  conc::ReadGuard guard(GetRWLock());
  util::SmartPtr<SymbolAnnotationFlattened> copy(new (std::nothrow) SymbolAnnotationFlattened(*this));
  if (copy) {
    copy->SetCreatedFromFile(true);
  }
  return copy;
}

bool SymbolAnnotationFlattened::AttachScene(const util::SmartPtr<oxk::Scene>& scene) {
  if (!oxk::Annotation::AttachScene(scene)) {
    return false;
  }
  if (scene) {
    scene->AddAnnotation(util::SmartPtr<oxk::Annotation>(this));
  }
  return true;
}

bool SymbolAnnotationFlattened::InitializeFromSerializedContent(
    const util::SmartPtr<oxk::SerializedContentElement>& element, const util::SmartPtr<objm::ManagedObject>& /*owner*/,
    const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) {
  return InitializeFromSerializedContent(element, mapper);
}

bool SymbolAnnotationFlattened::InitializeFromSerializedContent(
    const util::SmartPtr<oxk::SerializedContentElement>& element,
    const util::SmartPtr<oxk::AnnoIdPathMapper>& /*mapper*/) {
  conc::WriteGuard guard(GetRWLock());
  FlattenedSerializedContentVisitor visitor{util::SmartPtr<oxk::Annotation>(this)};
  if (element) {
    element->Visit(visitor, true);
  }
  SetSymbolInfo(visitor.GetInfo());
  return true;
}

bool SymbolAnnotationFlattened::IsVisible() const {
  return oxk::Annotation::IsVisible();
}

void SymbolAnnotationFlattened::CreateAnnotation2D(const util::SmartPtr<oxk::Scene>& scene) {
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
}

void SymbolAnnotationFlattened::SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) {
  SymbolAnnotationBase::SerializeContent(element);
  element->AddProperty(symbolkeys::xform,
                       oxk::SerializedContentElement::Value(geo::Location(xform, geo::DPoint3D::BAD)));
}

bool SymbolAnnotationFlattened::HasContent() const {
  return false;
}

}  // namespace oxannotations
