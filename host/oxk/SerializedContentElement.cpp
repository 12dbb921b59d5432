#include "oxk/SerializedContentElement.h"

namespace oxk {

SerializedContentElement::SerializedContentElement(util::Symbol name) : m_name(name) {}

util::SmartPtr<SerializedContentElement> SerializedContentElement::StartContent(const util::Symbol& name) {
  if (m_closed || m_depth + 1 >= kMaxDepth) {
    return {};
  }
  util::SmartPtr<SerializedContentElement> child(new SerializedContentElement(name));
  child->m_depth = m_depth + 1;
  m_entries.push_back(Entry{name, Value(), child});
  return child;
}

bool SerializedContentElement::EndContent() {
  if (m_closed) {
    return false;
  }
  m_closed = true;
  return true;
}

bool SerializedContentElement::AddProperty(const util::Symbol& key, const Value& value) {
  if (m_closed) {
    return false;
  }
  m_entries.push_back(Entry{key, value, {}});
  return true;
}

void SerializedContentElement::Visit(SerializedContentVisitorInterface& visitor, bool recursive) const {
  for (const Entry& entry : m_entries) {
    if (entry.child) {
      if (visitor.StartElement(entry.key) && recursive) {
        entry.child->Visit(visitor, true);
      }
      visitor.EndElement(entry.key);
      continue;
    }
    const util::Symbol& key = entry.key;
    std::visit(
        [&](const auto& v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, util::Symbol>) {
            visitor.VisitSymbol(key, v);
          } else if constexpr (std::is_same_v<T, bool>) {
            visitor.VisitBool(key, v);
          } else if constexpr (std::is_same_v<T, int32_t>) {
            visitor.VisitInt(key, v);
          } else if constexpr (std::is_same_v<T, float>) {
            visitor.VisitFloat(key, v);
          } else if constexpr (std::is_same_v<T, geo::Color>) {
            visitor.VisitColor(key, v);
          } else if constexpr (std::is_same_v<T, geo::DPoint3D>) {
            visitor.VisitPoint(key, v);
          } else if constexpr (std::is_same_v<T, geo::DVec3>) {
            visitor.VisitVector(key, v);
          } else if constexpr (std::is_same_v<T, geo::Quaternion<float>>) {
            visitor.VisitQuaternion(key, v);
          } else {
            visitor.VisitLocation(key, v);
          }
        },
        entry.value);
  }
}

const SerializedContentElement::Value* SerializedContentElement::FindProperty(const util::Symbol& key) const {
  for (const Entry& entry : m_entries) {
    if (!entry.child && entry.key == key) {
      return &entry.value;
    }
  }
  return nullptr;
}

std::vector<util::SmartPtr<SerializedContentElement>> SerializedContentElement::GetChildren(
    const util::Symbol& name) const {
  std::vector<util::SmartPtr<SerializedContentElement>> children;
  for (const Entry& entry : m_entries) {
    if (entry.child && entry.key == name) {
      children.push_back(entry.child);
    }
  }
  return children;
}

}  // namespace oxk
