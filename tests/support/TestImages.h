// PNG and JPEG files for tests: every pixel tells where it is, so that turned and flipped
// copies can be told apart.
#pragma once

#include <png.h>
#include <turbojpeg.h>

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

// The test image as JPEG bytes (quality 100, no chroma subsampling), or grey when gray;
// empty when the encoder refuses.
inline std::string TestJpeg(uint32_t width, uint32_t height, bool gray = false) {
  tjhandle encoder = tjInitCompress();
  if (encoder == nullptr) {
    return std::string();
  }
  const std::vector<uint8_t> pixels = TestPixels(width, height);
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int result = tjCompress2(encoder, pixels.data(), static_cast<int>(width), 0, static_cast<int>(height),
                                 TJPF_RGBA, &jpeg, &size, gray ? TJSAMP_GRAY : TJSAMP_444, 100, 0);
  std::string bytes;
  if (result == 0 && jpeg != nullptr) {
    bytes.assign(reinterpret_cast<const char*>(jpeg), size);
  }
  tjFree(jpeg);
  tjDestroy(encoder);
  return bytes;
}

}  // namespace testsupport
