// A 2D illustration page the tool builds (the page command and flattening): a scene with
// its document, closed however the command ends so that annotations and scene let go of
// each other, and the host's part of flattened symbols: completing their markers.
#pragma once

#include <vector>

#include "oxk/Annotation.h"
#include "oxk/illustration2d/LineArt2D.h"
#include "oxk/illustration2d/Scene2D.h"
#include "symbol3d/SymbolAnnotationFlattened.h"
#include "util/SmartPtr.h"

namespace symbols_tool {

class Page2D {
 public:
  Page2D();
  Page2D(const Page2D&) = delete;
  Page2D& operator=(const Page2D&) = delete;
  ~Page2D();

  [[nodiscard]] const util::SmartPtr<oxk::illustration2d::Scene2D>& Scene() const { return m_scene; }
  [[nodiscard]] oxk::illustration2d::Document2D& Document() const { return *m_scene->GetDocument2D(); }

  // Detaches the annotation from its scene when the page closes.
  void DetachOnClose(const util::SmartPtr<oxk::Annotation>& annotation);

  // Completes, in one walk of the page, the marker each of the symbols made: the symbol's
  // title as its label, its placement as its transform and, when arts has an entry for
  // it (the same index), the line art of its shape. Returns how many were completed.
  size_t CompleteMarkers(const std::vector<util::SmartPtr<oxannotations::SymbolAnnotationFlattened>>& symbols,
                         const std::vector<oxk::illustration2d::LineArt2D>& arts = {}) const;

 private:
  util::SmartPtr<oxk::illustration2d::Scene2D> m_scene;
  std::vector<util::SmartPtr<oxk::Annotation>> m_detachOnClose;
};

}  // namespace symbols_tool
