#include "oxk/Image.h"

namespace oxk {

void Image::SetURL(const util::Symbol& url) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_url = url;
}

util::Symbol Image::GetURL() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_url;
}

bool Image::GetSize(uint32_t& width, uint32_t& height) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  if (m_pixels.empty()) {
    return false;
  }
  width = m_width;
  height = m_height;
  return true;
}

std::vector<uint8_t> Image::GetPixels() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_pixels;
}

void Image::SetImageData(uint32_t width, uint32_t height, std::vector<uint8_t> rgba) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_width = width;
  m_height = height;
  m_pixels = std::move(rgba);
}

bool Image::HasImageData() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return !m_pixels.empty();
}

}  // namespace oxk
