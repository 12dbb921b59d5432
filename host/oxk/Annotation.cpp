#include "oxk/Annotation.h"

#include <algorithm>

#include "oxk/AnnoSet.h"

namespace oxk {

util::Symbol Annotation::VisibleKey() {
  static const util::Symbol key("oxkAnnotationVisible");
  return key;
}

int32_t Annotation::GetVisibilityChangedEventId() {
  static const int32_t id = Observable::GetNextEventId();
  return id;
}

Annotation::Annotation(int32_t annotationType) : m_type(annotationType) {}

Annotation::Annotation(const Annotation& other)
    : util::RefCounted(other),
      ObjectWithRWLock(other),
      MarkupController(other),
      Observable(other),
      MemoryPoolAllocated(other),
      m_type(other.m_type),
      m_class(other.m_class),
      m_cursor(other.m_cursor),
      m_createdFromFile(other.m_createdFromFile),
      m_visible(other.m_visible) {}

Annotation::~Annotation() = default;

bool Annotation::GetAnnoSet(util::SmartPtr<AnnoSet>& out) const {
  out = util::SmartPtr<AnnoSet>(m_annoSet.load());
  return static_cast<bool>(out);
}

void Annotation::SetAnnoSet(AnnoSet* set) {
  m_annoSet.store(set);
}

bool Annotation::AttachScene(const util::SmartPtr<Scene>& scene) {
  if (scene && std::find(m_scenes.begin(), m_scenes.end(), scene) == m_scenes.end()) {
    m_scenes.push_back(scene);
  }
  return true;
}

bool Annotation::DetachScene() {
  m_scenes.clear();
  return true;
}

bool Annotation::InitializeFromSerializedContent(const util::SmartPtr<SerializedContentElement>& element,
                                                 const util::SmartPtr<objm::ManagedObject>& /*owner*/,
                                                 const util::SmartPtr<AnnoIdPathMapper>& mapper) {
  return InitializeFromSerializedContent(element, mapper);
}

bool Annotation::InitializeFromSerializedContent(const util::SmartPtr<SerializedContentElement>& element,
                                                 const util::SmartPtr<AnnoIdPathMapper>& /*mapper*/) {
  if (!element) {
    return true;
  }
  SerializedContentVisitor visitor(util::SmartPtr<Annotation>(this));
  element->Visit(visitor, true);
  return true;
}

bool Annotation::IsEqual(const util::SmartPtr<Annotation>& other) const {
  return other.get() == this;
}

bool Annotation::CanAnimate(const util::SmartPtr<OperationStep>& /*step*/) const {
  return false;
}

bool Annotation::IsVisible() const {
  return m_visible;
}

bool Annotation::Flatten(const util::SmartPtr<SerializedContentElement>& /*element*/,
                         const std::map<util::Symbol, geo::Location>& /*transforms*/,
                         const FlattenInstanceCheck* /*instanceCheck*/, Pipeline* /*pipeline*/) {
  return false;
}

util::SmartPtr<ShapeInstance> Annotation::GetShapeInstance() const {
  return {};
}

void Annotation::AdditionalInit(const util::SmartPtr<Scene>& /*scene*/) {}

void Annotation::SetEvent(const util::SmartPtr<AsyncEvent>& /*event*/) {}

void Annotation::OnSetSelected(bool /*selected*/, const util::SmartPtr<View>& /*view*/) {}

util::Symbol Annotation::GetIDPath() const {
  return m_idPath;
}

void Annotation::SetIDPath(const util::Symbol& path) {
  m_idPath = path;
}

std::string Annotation::GetMarkupName(int32_t /*index*/) const {
  return m_class.str();
}

void Annotation::MarkupSelected(const util::SmartPtr<Markup>& /*markup*/, bool /*selected*/) {}

bool Annotation::GetMarkupShadow(util::SmartPtr<Markup>& out) const {
  out.Reset();
  return false;
}

void Annotation::SetCsysPos(geo::DPoint3D& /*position*/, bool /*keepRotation*/) {}

bool Annotation::GetConnectedPartShapeInstance(util::SmartPtr<ShapeInstance>& out) const {
  out.Reset();
  return false;
}

void Annotation::GetMarkupSize(int32_t /*index*/, geo::DVec3& /*size*/) const {}

void Annotation::SetMarkupSize(int32_t /*index*/, const geo::DVec3& /*size*/) {}

int32_t Annotation::GetPageNum() const {
  return 0;
}

void Annotation::SetPageNum(int32_t /*page*/) {}

int32_t Annotation::GetManipulationTypes() const {
  return 0;
}

geo::DBox Annotation::GetBBox() const {
  return geo::DBox::EMPTY;
}

bool Annotation::IsZoomable() const {
  return false;
}

void Annotation::CreateAnnotation2D(const util::SmartPtr<Scene>& /*scene*/) {}

void Annotation::CompleteAnnotation2D(const util::SmartPtr<Scene>& /*scene*/,
                                      const util::SmartPtr<AsyncEvent>& /*event*/) {}

void Annotation::UpdateAnnotationLocation() {}

void Annotation::Show(bool notify, const util::SmartPtr<OperationStep>& /*operation*/) {
  m_visible = true;
  ShowAnnotation();
  if (notify) {
    PostObservableEvent(util::SmartPtr<ObservableEvent>(new ObservableEvent(GetVisibilityChangedEventId())), 0);
  }
}

void Annotation::Hide(bool notify, const util::SmartPtr<OperationStep>& /*operation*/, bool /*keepSelection*/) {
  m_visible = false;
  HideAnnotation();
  if (notify) {
    PostObservableEvent(util::SmartPtr<ObservableEvent>(new ObservableEvent(GetVisibilityChangedEventId())), 0);
  }
}

void Annotation::Visit(const util::SmartPtr<SerializedContentElement>& element) {
  if (!element) {
    return;
  }
  element->AddProperty(VisibleKey(), SerializedContentElement::Value(m_visible));
}

void Annotation::SerializeContent(const util::SmartPtr<SerializedContentElement>& element) {
  Annotation::Visit(element);
}

bool Annotation::HasContent() const {
  return true;
}

util::Symbol Annotation::GetIconName() const {
  return {};
}

bool Annotation::SerializedContentVisitor::StartElement(const util::Symbol& /*name*/) {
  return true;
}

void Annotation::SerializedContentVisitor::VisitSymbol(const util::Symbol& key, const util::Symbol&) {
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitBool(const util::Symbol& key, bool value) {
  if (key == VisibleKey() && m_annotation) {
    m_annotation->SetVisibleFlag(value);
    return;
  }
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitInt(const util::Symbol& key, int32_t) {
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitFloat(const util::Symbol& key, float) {
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitColor(const util::Symbol& key, const geo::Color&) {
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitPoint(const util::Symbol& key, const geo::DPoint3D&) {
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitVector(const util::Symbol& key, const geo::DVec3&) {
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitQuaternion(const util::Symbol& key, const geo::Quaternion<float>&) {
  m_unhandled.push_back(key);
}

void Annotation::SerializedContentVisitor::VisitLocation(const util::Symbol& key, const geo::Location&) {
  m_unhandled.push_back(key);
}

}  // namespace oxk
