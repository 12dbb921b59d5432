// One selected thing in a scene's selection, typed by a category symbol.
#pragma once

#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

namespace mcad_selection {
// Frozen: selection categories.
extern const util::Symbol Annotation;
extern const util::Symbol Part;
}  // namespace mcad_selection

class SelectionItem : public Object {
 public:
  [[nodiscard]] virtual util::Symbol GetTypeSymbol() const = 0;

 protected:
  ~SelectionItem() override = default;
};

// A selected object (an annotation, a part instance) of a given category.
class ObjectSelectionItem : public SelectionItem {
 public:
  ObjectSelectionItem(const util::Symbol& type, const util::SmartPtr<Object>& object)
      : m_type(type), m_object(object) {}

  [[nodiscard]] util::Symbol GetTypeSymbol() const override { return m_type; }
  [[nodiscard]] const util::SmartPtr<Object>& GetObject() const { return m_object; }

 protected:
  ~ObjectSelectionItem() override = default;

 private:
  util::Symbol m_type;
  util::SmartPtr<Object> m_object;
};

}  // namespace oxk
