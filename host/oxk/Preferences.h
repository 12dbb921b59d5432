// A set of user preferences: a base URL (folder) and integer UI values by key.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "orrinsymbols/geo/Color.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class Preferences : public util::RefCounted {
 public:
  Preferences() = default;

  [[nodiscard]] util::Symbol GetBaseURL() const;
  void SetBaseURL(util::Symbol url);

  void SetIntUI(const std::string& key, int32_t value);
  // False (value untouched) when the key is not set.
  bool GetIntUI(const std::string& key, int32_t& value) const;
  // The integer read as 0xRRGGBBAA, each byte scaled to [0, 1]; false when not set.
  bool GetIntUIAsColor(const std::string& key, geo::Color& color) const;

 private:
  mutable std::mutex m_mutex;
  util::Symbol m_baseURL;
  std::unordered_map<std::string, int32_t> m_ints;
};

}  // namespace oxk
