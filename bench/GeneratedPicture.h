// Pictures for generated documents: 256 x 256, striped, distinct for each index.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "oximg/Image.h"
#include "util/SmartPtr.h"

namespace benchsupport {

class GeneratedPicture {
 public:
  // A picture of its own for each index: a 256 x 256 pattern, as PNG bytes; false when
  // it cannot be encoded.
  [[nodiscard]] static bool Png(int index, std::string& png) {
    constexpr uint32_t kSide = 256;
    std::vector<uint8_t> pixels(kSide * kSide * 4);
    for (uint32_t y = 0; y < kSide; ++y) {
      for (uint32_t x = 0; x < kSide; ++x) {
        uint8_t* pixel = &pixels[(y * kSide + x) * 4];
        const bool stripe = ((x + y * static_cast<uint32_t>(index)) / 16) % 2 == 0;
        pixel[0] = static_cast<uint8_t>(stripe ? 40 * index : 255);
        pixel[1] = static_cast<uint8_t>(stripe ? 200 : 13 * index);
        pixel[2] = static_cast<uint8_t>((x * index) & 0xff);
        pixel[3] = 255;
      }
    }
    std::vector<oximg::Frame> frames;
    frames.emplace_back(kSide, kSide, std::move(pixels));
    const util::SmartPtr<oximg::Image> image(new oximg::Image(std::move(frames)));
    return image->EncodePng(png);
  }
};

}  // namespace benchsupport
