// The host's annotation: an object attached to scenes that the host creates through
// component modules, shows, hides, selects, saves and restores.
//
// The base keeps the class name, preselection cursor, visibility and the scenes it is
// attached to, and saves its own visibility into content (key "oxkAnnotationVisible").
// Derived classes add their own state and content.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "orrinsymbols/geo/DBox.h"
#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/objm/ManagedObject.h"
#include "orrinsymbols/oxk/AsyncEvent.h"
#include "orrinsymbols/oxk/MarkupController.h"
#include "orrinsymbols/oxk/MemoryPoolAllocated.h"
#include "orrinsymbols/oxk/ObjectWithRWLock.h"
#include "orrinsymbols/oxk/Observable.h"
#include "orrinsymbols/oxk/OperationStep.h"
#include "orrinsymbols/oxk/Scene.h"
#include "orrinsymbols/oxk/SerializedContentElement.h"
#include "orrinsymbols/oxk/SerializedContentVisitorInterface.h"
#include "orrinsymbols/oxk/ShapeInstance.h"
#include "orrinsymbols/oxk/View.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class AnnoSet;
class Pipeline;

// Maps identifier paths of a saved document to those of the document being loaded.
// Counted: the host hands one mapper to every annotation of a document it loads.
class AnnoIdPathMapper : public Object {
 public:
  // The path in the document being loaded; path itself when nothing maps it.
  [[nodiscard]] virtual util::Symbol Map(const util::Symbol& path) const { return path; }

 protected:
  ~AnnoIdPathMapper() override = default;
};

// Tells a flattening pass whether an instance takes part in it.
class FlattenInstanceCheck {
 public:
  virtual ~FlattenInstanceCheck() = default;
  [[nodiscard]] virtual bool IsIncluded(const util::Symbol& path) const = 0;
};

class Annotation : public ObjectWithRWLock, public MarkupController, public Observable, public MemoryPoolAllocated {
 public:
  // Walks saved content into an annotation: handles the base's own keys and records
  // every other key it is handed, so derived visitors can pass on what they do not own.
  class SerializedContentVisitor : public SerializedContentVisitorInterface {
   public:
    explicit SerializedContentVisitor(const util::SmartPtr<Annotation>& annotation) : m_annotation(annotation) {}

    bool StartElement(const util::Symbol& name) override;
    void VisitSymbol(const util::Symbol& key, const util::Symbol& value) override;
    void VisitBool(const util::Symbol& key, bool value) override;
    void VisitInt(const util::Symbol& key, int32_t value) override;
    void VisitFloat(const util::Symbol& key, float value) override;
    void VisitColor(const util::Symbol& key, const geo::Color& value) override;
    void VisitPoint(const util::Symbol& key, const geo::DPoint3D& value) override;
    void VisitVector(const util::Symbol& key, const geo::DVec3& value) override;
    void VisitQuaternion(const util::Symbol& key, const geo::Quaternion<float>& value) override;
    void VisitLocation(const util::Symbol& key, const geo::Location& value) override;

    [[nodiscard]] const util::SmartPtr<Annotation>& GetAnnotation() const { return m_annotation; }
    // Keys that reached the base without being the base's own, in order.
    [[nodiscard]] const std::vector<util::Symbol>& GetUnhandledKeys() const { return m_unhandled; }

   private:
    util::SmartPtr<Annotation> m_annotation;
    std::vector<util::Symbol> m_unhandled;
  };

  // Frozen: the manipulation handles the host offers for an annotation's markups.
  enum ManipulationType : int32_t {
    kMoveInScreen = 1,
    kMoveInSpace = 2,
    kScaleInScreen = 4,
    kScaleInSpace = 8,
    kRotateInScreen = 16,
    kRotateInSpace = 32,
  };

  explicit Annotation(int32_t annotationType);
  Annotation(const Annotation& other);
  Annotation& operator=(const Annotation&) = delete;

  // The identifier path the host gave the annotation in its document (not copied).
  [[nodiscard]] util::Symbol GetIDPath() const;
  void SetIDPath(const util::Symbol& path);

  [[nodiscard]] int32_t GetAnnotationType() const { return m_type; }
  void SetClass(const util::Symbol& name) { m_class = name; }
  [[nodiscard]] const util::Symbol& GetClass() const { return m_class; }
  void SetPreselectionCursor(const util::Symbol& cursor) { m_cursor = cursor; }
  [[nodiscard]] const util::Symbol& GetPreselectionCursor() const { return m_cursor; }
  void SetCreatedFromFile(bool created) { m_createdFromFile = created; }
  [[nodiscard]] bool CreatedFromFile() const { return m_createdFromFile; }

  [[nodiscard]] virtual util::SmartPtr<Annotation> Clone() const = 0;
  // Base: remembers the scene (once). Returns true.
  virtual bool AttachScene(const util::SmartPtr<Scene>& scene);
  // Base: forgets every scene. Returns true.
  virtual bool DetachScene();
  [[nodiscard]] const std::vector<util::SmartPtr<Scene>>& GetScenes() const { return m_scenes; }
  // Base: applies the base's own keys; returns true.
  virtual bool InitializeFromSerializedContent(const util::SmartPtr<SerializedContentElement>& element,
                                               const util::SmartPtr<AnnoIdPathMapper>& mapper);
  // The form the host uses when it restores content on behalf of an owner object.
  // Base: the two-argument form, through the virtual call.
  virtual bool InitializeFromSerializedContent(const util::SmartPtr<SerializedContentElement>& element,
                                               const util::SmartPtr<objm::ManagedObject>& owner,
                                               const util::SmartPtr<AnnoIdPathMapper>& mapper);
  [[nodiscard]] virtual bool IsEqual(const util::SmartPtr<Annotation>& other) const;
  [[nodiscard]] virtual bool CanAnimate(const util::SmartPtr<OperationStep>& step) const;
  // Base: the annotation's own visibility flag.
  [[nodiscard]] virtual bool IsVisible() const;
  [[nodiscard]] virtual bool Flatten(const util::SmartPtr<SerializedContentElement>& element,
                                     const std::map<util::Symbol, geo::Location>& transforms,
                                     const FlattenInstanceCheck* instanceCheck, Pipeline* pipeline);
  [[nodiscard]] virtual util::SmartPtr<ShapeInstance> GetShapeInstance() const;
  virtual void AdditionalInit(const util::SmartPtr<Scene>& scene);
  virtual void SetEvent(const util::SmartPtr<AsyncEvent>& event);
  virtual void OnSetSelected(bool selected, const util::SmartPtr<View>& view);
  // Annotations placed relative to model parts. Base: no position, no part, nothing to
  // move.
  virtual void SetCsysPos(geo::DPoint3D& position, bool keepRotation);
  virtual bool GetConnectedPartShapeInstance(util::SmartPtr<ShapeInstance>& out) const;
  virtual void UpdateAnnotationLocation();

  // Markup answers of annotations that draw with markups. Base: nothing to draw.
  [[nodiscard]] std::string GetMarkupName(int32_t index) const override;
  virtual void MarkupSelected(const util::SmartPtr<Markup>& markup, bool selected);
  // The shadow of the annotation's markup; false (out emptied) when there is none.
  virtual bool GetMarkupShadow(util::SmartPtr<Markup>& out) const;
  virtual void GetMarkupSize(int32_t index, geo::DVec3& size) const;
  virtual void SetMarkupSize(int32_t index, const geo::DVec3& size);
  [[nodiscard]] virtual int32_t GetPageNum() const;
  virtual void SetPageNum(int32_t page);
  // ManipulationType bits; base: none.
  [[nodiscard]] virtual int32_t GetManipulationTypes() const;
  // Base: the empty box.
  [[nodiscard]] virtual geo::DBox GetBBox() const;
  [[nodiscard]] virtual bool IsZoomable() const;
  // Makes the annotation's element in the 2D document of scene (a 2D illustration
  // scene), and completes it once the annotation's data is in place; event (may be
  // empty) completes then. Base: nothing to make; event is left alone.
  virtual void CreateAnnotation2D(const util::SmartPtr<Scene>& scene);
  virtual void CompleteAnnotation2D(const util::SmartPtr<Scene>& scene, const util::SmartPtr<AsyncEvent>& event);

  // Sets the visibility flag, lets the derived class show or hide its drawing, and
  // with notify posts a visibility event to listeners.
  void Show(bool notify, const util::SmartPtr<OperationStep>& operation);
  void Hide(bool notify, const util::SmartPtr<OperationStep>& operation, bool keepSelection);
  // The event kind posted by Show and Hide.
  [[nodiscard]] static int32_t GetVisibilityChangedEventId();

  // Writes the annotation's content into element. Base: the base's own properties.
  virtual void Visit(const util::SmartPtr<SerializedContentElement>& element);
  virtual void SerializeContent(const util::SmartPtr<SerializedContentElement>& element);
  [[nodiscard]] virtual bool HasContent() const;
  [[nodiscard]] virtual util::Symbol GetIconName() const;

  // The annotation set this annotation belongs to; false (out emptied) when none.
  bool GetAnnoSet(util::SmartPtr<AnnoSet>& out) const;

  // Frozen: the base's own content key.
  [[nodiscard]] static util::Symbol VisibleKey();

 protected:
  ~Annotation() override;
  virtual void ShowAnnotation() {}
  virtual void HideAnnotation() {}
  void SetVisibleFlag(bool visible) { m_visible = visible; }

 private:
  friend class AnnoSet;
  void SetAnnoSet(AnnoSet* set);

  int32_t m_type;
  util::Symbol m_class;
  util::Symbol m_cursor;
  bool m_createdFromFile = false;
  bool m_visible = true;
  util::Symbol m_idPath;
  std::vector<util::SmartPtr<Scene>> m_scenes;
  std::atomic<AnnoSet*> m_annoSet{nullptr};  // plain: the set holds the annotation
};

}  // namespace oxk
