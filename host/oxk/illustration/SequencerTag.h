// A sequencer tag: a typed note (tool, part, torque...) with a description, a name,
// units and a quantity, carried by catalogue entries and by symbols.
#pragma once

#include <string>

#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk::illustration {

class SequencerTag : public util::RefCounted {
 public:
  // Frozen: the names of these values are stored in library files and documents.
  enum Type {
    kUnknown = 0,
    kTool = 1,
    kPart = 2,
    kConsumable = 3,
    kTorque = 4,
    kSafety = 5,
    kNote = 6,
  };

  SequencerTag() = default;

  [[nodiscard]] Type GetType() const { return m_type; }
  void SetType(Type type) { m_type = type; }
  [[nodiscard]] const std::string& GetDescription() const { return m_description; }
  void SetDescription(const std::string& text) { m_description = text; }
  [[nodiscard]] const std::string& GetName() const { return m_name; }
  void SetName(const std::string& text) { m_name = text; }
  [[nodiscard]] const std::string& GetUnits() const { return m_units; }
  void SetUnits(const std::string& text) { m_units = text; }
  [[nodiscard]] const std::string& GetQuantityString() const { return m_quantity; }
  void SetQuantityString(const std::string& text) { m_quantity = text; }

  // The stored name of a type ("unknown", "tool", "part", "consumable", "torque",
  // "safety", "note") and back; an unrecognised name gives kUnknown.
  [[nodiscard]] static util::Symbol GetSymbolForType(Type type);
  [[nodiscard]] static Type GetTypeForSymbol(const util::Symbol& name);

 protected:
  ~SequencerTag() override = default;

 private:
  Type m_type = kUnknown;
  std::string m_description;
  std::string m_name;
  std::string m_units;
  std::string m_quantity;
};

}  // namespace oxk::illustration
