// A raster image named by url. The loader decodes it into image data (frames of 8-bit
// RGBA pixels); the data can be replaced as a whole (turned copies, reloads).
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "orrinsymbols/oximg/Image.h"
#include "orrinsymbols/oxk/Object.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxk {

class Image : public Object {
 public:
  Image() = default;
  explicit Image(const util::Symbol& url) : m_url(url) {}

  void SetURL(const util::Symbol& url);
  [[nodiscard]] util::Symbol GetURL() const;

  // Null until the image has been decoded.
  [[nodiscard]] util::SmartPtr<oximg::Image> GetImageData() const;
  void SetImageData(const util::SmartPtr<oximg::Image>& data);
  // One frame of rgba pixels as the image data.
  void SetImageData(uint32_t width, uint32_t height, std::vector<uint8_t> rgba);
  [[nodiscard]] bool HasImageData() const;
  // The url the image data was decoded from; empty when the data came from elsewhere.
  // Data changed in place (a turned copy) keeps it.
  [[nodiscard]] util::Symbol GetDecodedURL() const;
  void SetDecodedURL(const util::Symbol& url);

  // Frame 0's size; false without image data.
  bool GetSize(uint32_t& width, uint32_t& height) const;
  // Frame 0's pixels; empty without image data.
  [[nodiscard]] std::vector<uint8_t> GetPixels() const;

 protected:
  ~Image() override = default;

 private:
  mutable std::mutex m_mutex;
  util::Symbol m_url;
  util::SmartPtr<oximg::Image> m_data;
  util::Symbol m_decodedURL;
};

}  // namespace oxk
