// The loader's image reading: a file's format told by its first bytes, then the decoder
// of that format.
#include <cstring>

#include "oxloader/Loader.h"
#include "util/FileSystem.h"

namespace oxloader {

namespace {

// Frozen: the signatures of the formats the loader decodes.
constexpr uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr uint8_t kJpegSignature[] = {0xff, 0xd8, 0xff};

}  // namespace

Loader::ImageFormat Loader::FormatOf(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr) {
    return ImageFormat::kUnknown;
  }
  if (size >= sizeof(kPngSignature) && std::memcmp(bytes, kPngSignature, sizeof(kPngSignature)) == 0) {
    return ImageFormat::kPng;
  }
  if (size >= sizeof(kJpegSignature) && std::memcmp(bytes, kJpegSignature, sizeof(kJpegSignature)) == 0) {
    return ImageFormat::kJpeg;
  }
  return ImageFormat::kUnknown;
}

bool Loader::WithinLimits(uint64_t width, uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

int Loader::DecodeImage(const uint8_t* bytes, size_t size, oxk::Image& image, ImageBudget* budget) {
  switch (FormatOf(bytes, size)) {
    case ImageFormat::kPng:
      return DecodePng(bytes, size, image, budget);
    case ImageFormat::kJpeg:
      return DecodeJpeg(bytes, size, image, budget);
    case ImageFormat::kUnknown:
      return kMalformed;
  }
  return kMalformed;
}

int Loader::InspectImage(const uint8_t* bytes, size_t size, uint32_t& width, uint32_t& height) {
  width = 0;
  height = 0;
  switch (FormatOf(bytes, size)) {
    case ImageFormat::kPng:
      return InspectPng(bytes, size, width, height);
    case ImageFormat::kJpeg:
      return InspectJpeg(bytes, size, width, height);
    case ImageFormat::kUnknown:
      return kMalformed;
  }
  return kMalformed;
}

int Loader::ReadImage(const std::string& path, oxk::Image& image, ImageBudget* budget) {
  std::string bytes;
  if (!util::FileSystem::FileExists(path) || !util::FileSystem::ReadFile(path, bytes)) {
    return kMissing;
  }
  return DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, budget);
}

}  // namespace oxloader
