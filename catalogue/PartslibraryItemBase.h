// The part every catalogue entry shares: an identifier, a display name and the library
// (shared, standard or the user's own) the entry was read from.
#pragma once

#include <string>
#include <utility>

#include "orrinsymbols/common/Export.h"
#include "orrinsymbols/util/RefCounted.h"

namespace oxsymbols {

class OXSYMBOLS_EXPORT PartslibraryItemBase : public util::RefCounted {
 public:
  ~PartslibraryItemBase() override = default;

  [[nodiscard]] int GetID() const { return m_id; }
  void SetID(int id) { m_id = id; }
  [[nodiscard]] const std::string& GetName() const { return m_name; }
  void SetName(std::string name) { m_name = std::move(name); }
  // Which library file the entry came from; both false for the user's own library.
  [[nodiscard]] bool IsShared() const { return m_isShared; }
  [[nodiscard]] bool IsStandard() const { return m_isStandard; }

 protected:
  PartslibraryItemBase(bool isShared, bool isStandard) : m_isShared(isShared), m_isStandard(isStandard) {}
  PartslibraryItemBase(const PartslibraryItemBase&) = default;
  PartslibraryItemBase(PartslibraryItemBase&&) = default;
  PartslibraryItemBase& operator=(const PartslibraryItemBase&) = default;
  PartslibraryItemBase& operator=(PartslibraryItemBase&&) = default;

 private:
  int m_id = 0;
  std::string m_name;
  bool m_isShared = false;
  bool m_isStandard = false;
};

}  // namespace oxsymbols
