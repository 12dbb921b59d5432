// One element of a document's saved content: a name, and in order, typed properties
// and child elements. Writers open children with StartContent and close them with
// EndContent; a closed element takes no more properties or children. Readers walk the
// tree with Visit.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/geo/DPoint3D.h"
#include "orrinsymbols/geo/DVec3.h"
#include "orrinsymbols/geo/Location.h"
#include "orrinsymbols/geo/Quaternion.h"
#include "orrinsymbols/oxk/SerializedContentVisitorInterface.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class SerializedContentElement : public virtual util::RefCounted {
 public:
  // Frozen: the order of the alternatives is the type tag of saved documents.
  using Value = std::variant<util::Symbol, bool, int32_t, float, geo::Color, geo::DPoint3D, geo::DVec3,
                             geo::Quaternion<float>, geo::Location>;

  struct Entry {
    util::Symbol key;  // the property key, or the child's name
    Value value;
    util::SmartPtr<SerializedContentElement> child;  // set for a child element
  };

  // Children deeper than this are refused, so hostile documents cannot exhaust the stack.
  static constexpr int kMaxDepth = 64;

  explicit SerializedContentElement(util::Symbol name);

  [[nodiscard]] const util::Symbol& GetName() const { return m_name; }

  // A new open child, or empty when this element is closed or the tree is too deep.
  [[nodiscard]] util::SmartPtr<SerializedContentElement> StartContent(const util::Symbol& name);
  // Closes this element. Returns false when it was closed already.
  bool EndContent();
  [[nodiscard]] bool IsClosed() const { return m_closed; }

  // False (nothing added) when the element is closed.
  bool AddProperty(const util::Symbol& key, const Value& value);
  bool AddProperty(const util::Symbol& key, const char* value) { return AddProperty(key, Value(util::Symbol(value))); }

  // Calls visitor for each property and child in order; with recursive, walks into the
  // children the visitor accepts.
  void Visit(SerializedContentVisitorInterface& visitor, bool recursive) const;

  [[nodiscard]] const std::vector<Entry>& GetEntries() const { return m_entries; }
  // The first property with key; null when none.
  [[nodiscard]] const Value* FindProperty(const util::Symbol& key) const;
  // The children named name, in order.
  [[nodiscard]] std::vector<util::SmartPtr<SerializedContentElement>> GetChildren(const util::Symbol& name) const;

 protected:
  ~SerializedContentElement() override = default;

 private:
  util::Symbol m_name;
  std::vector<Entry> m_entries;
  int m_depth = 0;
  bool m_closed = false;
};

}  // namespace oxk
