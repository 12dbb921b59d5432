// PNG files for tests: every pixel tells where it is, so that turned and flipped copies
// can be told apart.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

// The pixel test images carry at (x, y).
inline std::vector<uint8_t> PixelAt(uint32_t x, uint32_t y) {
  return {static_cast<uint8_t>(10 + x * 20), static_cast<uint8_t>(10 + y * 20), 200, 255};
}

inline std::vector<uint8_t> TestPixels(uint32_t width, uint32_t height) {
  std::vector<uint8_t> pixels;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const auto pixel = PixelAt(x, y);
      pixels.insert(pixels.end(), pixel.begin(), pixel.end());
    }
  }
  return pixels;
}

// Writes a width by height test image; false when libpng refuses.
inline bool WriteTestPng(const std::string& path, uint32_t width, uint32_t height) {
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  png.width = width;
  png.height = height;
  png.format = PNG_FORMAT_RGBA;
  const std::vector<uint8_t> pixels = TestPixels(width, height);
  return png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), 0, nullptr) != 0;
}

}  // namespace testsupport
