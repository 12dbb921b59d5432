// The flattened form of a 3D symbol: what a 3D symbol becomes when its view is flattened
// into a 2D illustration. It keeps the symbol's texts, names and identifier and a 2D
// placement (xform), and makes the symbol's annotation element in the 2D document once.
#pragma once

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/geo/FMat33.h"
#include "orrinsymbols/symbol3d/SymbolAnnotationBase.h"
#include "orrinsymbols/symbol3d/SymbolInfoFlattened.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxannotations {

class OXSYMBOLS_EXPORT SymbolAnnotationFlattened : public SymbolAnnotationBase {
 public:
  SymbolAnnotationFlattened();
  SymbolAnnotationFlattened(const SymbolAnnotationFlattened& other);

  [[nodiscard]] static util::Symbol GetClassStatic();

  // Under the write lock: the common texts and names, and xform.
  void SetSymbolInfo(const SymbolInfoFlattened& record);
  // Under the read lock.
  [[nodiscard]] geo::FMat33 GetXform() const;
  // The identifier path of the 3D symbol's node, under the read lock.
  [[nodiscard]] util::Symbol GetInstancePathId() const;

  // Under the read lock: a copy, marked as created from file.
  [[nodiscard]] util::SmartPtr<oxk::Annotation> Clone() const override;
  // Attaches through the host base and hands the annotation to the scene.
  bool AttachScene(const util::SmartPtr<oxk::Scene>& scene) override;
  bool InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                       const util::SmartPtr<objm::ManagedObject>& owner,
                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) override;
  bool InitializeFromSerializedContent(const util::SmartPtr<oxk::SerializedContentElement>& element,
                                       const util::SmartPtr<oxk::AnnoIdPathMapper>& mapper) override;
  [[nodiscard]] bool IsVisible() const override;
  // The symbol's annotation element in the scene's 2D document, unless the document has
  // it already; nothing for a hidden symbol or a scene without a 2D document.
  void CreateAnnotation2D(const util::SmartPtr<oxk::Scene>& scene) override;
  // The common content, then "xform".
  void SerializeContent(const util::SmartPtr<oxk::SerializedContentElement>& element) override;
  // False: a flattened symbol is not saved with the document (Visit writes nothing).
  [[nodiscard]] bool HasContent() const override;

 protected:
  ~SymbolAnnotationFlattened() override;

  geo::FMat33 xform = geo::FMat33::IDENTITY;
};

}  // namespace oxannotations
