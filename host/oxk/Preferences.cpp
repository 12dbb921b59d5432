#include "oxk/Preferences.h"

namespace oxk {

util::Symbol Preferences::GetBaseURL() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_baseURL;
}

void Preferences::SetBaseURL(util::Symbol url) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_baseURL = url;
}

void Preferences::SetIntUI(const std::string& key, int32_t value) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_ints[key] = value;
}

bool Preferences::GetIntUI(const std::string& key, int32_t& value) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  auto found = m_ints.find(key);
  if (found == m_ints.end()) {
    return false;
  }
  value = found->second;
  return true;
}

bool Preferences::GetIntUIAsColor(const std::string& key, geo::Color& color) const {
  int32_t value = 0;
  if (!GetIntUI(key, value)) {
    return false;
  }
  const auto bits = static_cast<uint32_t>(value);
  color = geo::Color(static_cast<float>((bits >> 24) & 0xFF) / 255.0f, static_cast<float>((bits >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((bits >> 8) & 0xFF) / 255.0f, static_cast<float>(bits & 0xFF) / 255.0f);
  return true;
}

}  // namespace oxk
