// A 2D illustration document: one page of a given size (page units, y upwards from the
// bottom-left corner), a tree of elements under a root element, and named layers. A new
// document has the layers "Drawing" and "Annotation".
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "orrinsymbols/oxk/illustration2d/Element2D.h"
#include "orrinsymbols/oxk/illustration2d/Layer2D.h"
#include "orrinsymbols/oxk/illustration2d/Visitor2D.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk::illustration2d {

class Document2D : public util::RefCounted {
 public:
  // Frozen: layer names that documents and annotation modules rely on.
  static constexpr const char* kDrawingLayer = "Drawing";
  static constexpr const char* kAnnotationLayer = "Annotation";

  Document2D();

  // The root element (root and group type bits).
  [[nodiscard]] util::SmartPtr<Element2D> GetTree() const { return m_root; }
  // Empty when no layer has that name.
  [[nodiscard]] util::SmartPtr<Layer2D> FindLayer(const util::Symbol& name) const;
  // The layer of that name, made when there is none.
  util::SmartPtr<Layer2D> AddLayer(const util::Symbol& name);
  [[nodiscard]] std::vector<util::SmartPtr<Layer2D>> GetLayers() const;

  [[nodiscard]] double GetPageWidth() const;
  [[nodiscard]] double GetPageHeight() const;
  void SetPageSize(double width, double height);

  // Calls visitor for the root and every element below it, parents first, children in
  // drawing order.
  void Accept(Visitor2D& visitor) const;

 protected:
  ~Document2D() override = default;

 private:
  const util::SmartPtr<Element2D> m_root;
  mutable std::mutex m_mutex;
  std::vector<util::SmartPtr<Layer2D>> m_layers;
  double m_pageWidth = 842.0;  // A4 landscape in points
  double m_pageHeight = 595.0;
};

}  // namespace oxk::illustration2d
