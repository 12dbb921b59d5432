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
  MarkerCompleter(const std::vector<util::SmartPtr<SymbolAnnotationFlattened>>& symbols,
                  const std::vector<LineArt2D>& arts) {
    for (size_t i = 0; i < symbols.size(); ++i) {
      m_byPath[symbols[i]->GetIDPath()] = {symbols[i].get(), i < arts.size() ? &arts[i] : nullptr};
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
    const auto& [symbol, art] = found->second;
    marker->SetLabel(symbol->GetTitle());
    marker->SetTransform(symbol->GetXform());
    if (art) {
      marker->SetArt(*art);
    }
    ++completed;
  }

  size_t completed = 0;

 private:
  std::unordered_map<util::Symbol, std::pair<const SymbolAnnotationFlattened*, const LineArt2D*>> m_byPath;
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

size_t Page2D::CompleteMarkers(const std::vector<util::SmartPtr<SymbolAnnotationFlattened>>& symbols,
                               const std::vector<LineArt2D>& arts) const {
  MarkerCompleter completer(symbols, arts);
  m_scene->GetDocument2D()->Accept(completer);
  return completer.completed;
}

}  // namespace symbols_tool
