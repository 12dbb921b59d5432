// A raster image named by url, decoded by the loader into 8-bit RGBA pixels.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "oxk/Object.h"
#include "util/Symbol.h"

namespace oxk {

class Image : public Object {
 public:
  Image() = default;
  explicit Image(const util::Symbol& url) : m_url(url) {}

  void SetURL(const util::Symbol& url);
  [[nodiscard]] util::Symbol GetURL() const;
  // False until the image has been decoded.
  bool GetSize(uint32_t& width, uint32_t& height) const;
  [[nodiscard]] std::vector<uint8_t> GetPixels() const;
  void SetImageData(uint32_t width, uint32_t height, std::vector<uint8_t> rgba);
  [[nodiscard]] bool HasImageData() const;

 protected:
  ~Image() override = default;

 private:
  mutable std::mutex m_mutex;
  util::Symbol m_url;
  uint32_t m_width = 0;
  uint32_t m_height = 0;
  std::vector<uint8_t> m_pixels;
};

}  // namespace oxk
