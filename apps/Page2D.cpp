#include "Page2D.h"

#include <unordered_map>

#include "oxk/illustration2d/Annotation2D.h"
#include "oxk/illustration2d/Visitor2D.h"

namespace symbols_tool {

namespace {

using namespace oxk::illustration2d;
using oxannotations::SymbolAnnotationFlattened;

// Finds the markers by the identity the symbols gave them (their identifier path, the
// symbol type bit), as a search by identities would, but for all symbols in one walk.
class MarkerCompleter : public Visitor2D {
 public:
  explicit MarkerCompleter(const std::vector<util::SmartPtr<SymbolAnnotationFlattened>>& symbols) {
    for (const auto& symbol : symbols) {
      m_byPath[symbol->GetIDPath()] = symbol.get();
    }
  }

  void VisitElement(const util::SmartPtr<Element2D>& element) override {
    const auto marker = util::DynamicCast<Annotation2D>(element);
    if (!marker) {
      return;
    }
    const Identity2D identity = marker->GetIdentity();
    const auto found = m_byPath.find(identity.GetAnnoIDPath());
    if ((identity.GetType() & Element2D::SymbolTypeBit) == 0 || found == m_byPath.end()) {
      return;
    }
    marker->SetLabel(found->second->GetTitle());
    marker->SetTransform(found->second->GetXform());
    ++completed;
  }

  size_t completed = 0;

 private:
  std::unordered_map<util::Symbol, const SymbolAnnotationFlattened*> m_byPath;
};

}  // namespace

Page2D::Page2D() : m_scene(new Scene2D()) {}

Page2D::~Page2D() {
  for (const auto& annotation : m_detachOnClose) {
    (void)annotation->DetachScene();
  }
  m_scene->DetachAll();
}

void Page2D::DetachOnClose(const util::SmartPtr<oxk::Annotation>& annotation) {
  m_detachOnClose.push_back(annotation);
}

size_t Page2D::CompleteMarkers(const std::vector<util::SmartPtr<SymbolAnnotationFlattened>>& symbols) const {
  MarkerCompleter completer(symbols);
  m_scene->GetDocument2D()->Accept(completer);
  return completer.completed;
}

}  // namespace symbols_tool
