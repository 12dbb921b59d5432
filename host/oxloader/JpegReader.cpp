// The loader's JPEG decoder, on libjpeg-turbo's TurboJPEG interface.
#include <turbojpeg.h>

#include <algorithm>
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

// Reads the header; kOk when it is one the loader decodes, with its size in pixels.
int ReadHeader(const Decompressor& decompressor, const uint8_t* bytes, size_t size, int& width, int& height) {
  if (bytes == nullptr || size == 0 || size > ULONG_MAX || decompressor.Get() == nullptr) {
    return Loader::kMalformed;
  }
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(decompressor.Get(), bytes, static_cast<unsigned long>(size), &width, &height, &subsampling,
                          &colorspace) != 0) {
    return Loader::kMalformed;
  }
  if (width <= 0 || height <= 0) {
    return Loader::kMalformed;
  }
  // The header alone decides the allocation: refuse sizes no symbol image needs.
  if (!Loader::WithinLimits(static_cast<uint64_t>(width), static_cast<uint64_t>(height))) {
    return Loader::kTooLarge;
  }
  return Loader::kOk;
}

}  // namespace

int Loader::InspectJpeg(const uint8_t* bytes, size_t size, uint32_t& width, uint32_t& height) {
  const Decompressor decompressor;
  int w = 0;
  int h = 0;
  const int status = ReadHeader(decompressor, bytes, size, w, h);
  width = static_cast<uint32_t>(std::max(w, 0));
  height = static_cast<uint32_t>(std::max(h, 0));
  return status;
}

int Loader::DecodeJpeg(const uint8_t* bytes, size_t size, oxk::Image& image, ImageBudget* budget) {
  const Decompressor decompressor;
  int width = 0;
  int height = 0;
  if (const int status = ReadHeader(decompressor, bytes, size, width, height); status != kOk) {
    return status;
  }
  const uint64_t byteCount = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
  if (budget != nullptr && !budget->Charge(byteCount)) {
    return kOverBudget;
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
