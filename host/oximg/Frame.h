// One frame of a decoded image: its size in pixels and its pixels as 8-bit RGBA, rows
// from the top, left to right.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace oximg {

class Frame {
 public:
  Frame() = default;
  // pixels holds width * height * 4 bytes; a shorter buffer makes an empty frame.
  Frame(uint32_t width, uint32_t height, std::vector<uint8_t> pixels) {
    if (pixels.size() == static_cast<size_t>(width) * height * 4) {
      m_width = width;
      m_height = height;
      m_pixels = std::move(pixels);
    }
  }

  [[nodiscard]] uint32_t GetWidth() const { return m_width; }
  [[nodiscard]] uint32_t GetHeight() const { return m_height; }
  [[nodiscard]] const std::vector<uint8_t>& GetPixels() const { return m_pixels; }
  // The RGBA bytes of pixel (x, y); null outside the frame.
  [[nodiscard]] const uint8_t* GetPixel(uint32_t x, uint32_t y) const {
    if (x >= m_width || y >= m_height) {
      return nullptr;
    }
    return &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
  }

 private:
  uint32_t m_width = 0;
  uint32_t m_height = 0;
  std::vector<uint8_t> m_pixels;
};

}  // namespace oximg
