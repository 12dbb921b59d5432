// What identifies an element of a 2D document across flattenings: its element type
// bits and the identifier path of the annotation it was made for.
#pragma once

#include <cstdint>

#include "orrinsymbols/util/Symbol.h"

namespace oxk::illustration2d {

class Identity2D {
 public:
  Identity2D() = default;
  explicit Identity2D(uint32_t type) : m_type(type) {}

  [[nodiscard]] uint32_t GetType() const { return m_type; }
  void SetType(uint32_t type) { m_type = type; }
  [[nodiscard]] const util::Symbol& GetAnnoIDPath() const { return m_annoIDPath; }
  void SetAnnoIDPath(const util::Symbol& path) { m_annoIDPath = path; }

  bool operator==(const Identity2D&) const = default;

 private:
  uint32_t m_type = 0;
  util::Symbol m_annoIDPath;
};

}  // namespace oxk::illustration2d
