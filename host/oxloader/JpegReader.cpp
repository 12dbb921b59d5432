// The loader's JPEG decoder, on libjpeg-turbo's TurboJPEG interface.
#include <turbojpeg.h>

#include <climits>
#include <new>
#include <vector>

#include "oxloader/Loader.h"

namespace oxloader {

namespace {

// Frees the decompressor however the decoding ends.
class Decompressor {
 public:
  Decompressor() : m_handle(tjInitDecompress()) {}
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;
  ~Decompressor() {
    if (m_handle != nullptr) {
      tjDestroy(m_handle);
    }
  }
  [[nodiscard]] tjhandle Get() const { return m_handle; }

 private:
  tjhandle m_handle;
};

}  // namespace

int Loader::DecodeJpeg(const uint8_t* bytes, size_t size, oxk::Image& image) {
  if (bytes == nullptr || size == 0 || size > ULONG_MAX) {
    return kMalformed;
  }
  const Decompressor decompressor;
  if (decompressor.Get() == nullptr) {
    return kMalformed;
  }
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(decompressor.Get(), bytes, static_cast<unsigned long>(size), &width, &height, &subsampling,
                          &colorspace) != 0) {
    return kMalformed;
  }
  if (width <= 0 || height <= 0) {
    return kMalformed;
  }
  // The header alone decides the allocation below: refuse sizes no symbol image needs.
  if (!WithinLimits(static_cast<uint64_t>(width), static_cast<uint64_t>(height))) {
    return kTooLarge;
  }
  std::vector<uint8_t> pixels;
  try {
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  } catch (const std::bad_alloc&) {
    return kTooLarge;
  }
  // A progressive file may claim any number of scans; past a few hundred it is hostile.
  const int flags = TJFLAG_LIMITSCANS;
  if (tjDecompress2(decompressor.Get(), bytes, static_cast<unsigned long>(size), pixels.data(), width, 0, height,
                    TJPF_RGBA, flags) != 0 &&
      tjGetErrorCode(decompressor.Get()) != TJERR_WARNING) {
    return kMalformed;
  }
  image.SetImageData(static_cast<uint32_t>(width), static_cast<uint32_t>(height), std::move(pixels));
  return kOk;
}

}  // namespace oxloader
