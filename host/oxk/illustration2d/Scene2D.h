// A 2D illustration scene: the scene that shows a 2D document's page. Annotations
// attached to it make their elements in that document.
#pragma once

#include "orrinsymbols/oxk/Scene.h"
#include "orrinsymbols/oxk/illustration2d/Document2D.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oxk::illustration2d {

class Scene2D : public oxk::Scene {
 public:
  // A scene over a new, empty document.
  Scene2D();
  explicit Scene2D(const util::SmartPtr<Document2D>& document) : m_document(document) {}

  [[nodiscard]] util::SmartPtr<Document2D> GetDocument2D() const { return m_document; }

 protected:
  ~Scene2D() override = default;

 private:
  const util::SmartPtr<Document2D> m_document;
};

}  // namespace oxk::illustration2d
