// The loader's PNG decoder, on libpng's simplified interface.
#include <png.h>

#include <cstring>
#include <new>
#include <vector>

#include "oxloader/Loader.h"
#include "util/FileSystem.h"

namespace oxloader {

int Loader::ReadPng(const std::string& path, oxk::Image& image) {
  std::string bytes;
  if (!util::FileSystem::FileExists(path) || !util::FileSystem::ReadFile(path, bytes)) {
    return kMissing;
  }
  return DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image);
}

int Loader::DecodePng(const uint8_t* bytes, size_t size, oxk::Image& image) {
  if (bytes == nullptr || size == 0) {
    return kMalformed;
  }
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bytes, size)) {
    return kMalformed;
  }
  // The header alone decides the allocation below: refuse sizes no symbol image needs.
  if (!WithinLimits(png.width, png.height)) {
    png_image_free(&png);
    return kTooLarge;
  }
  png.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels;
  try {
    pixels.resize(PNG_IMAGE_SIZE(png));
  } catch (const std::bad_alloc&) {
    png_image_free(&png);
    return kTooLarge;
  }
  if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return kMalformed;
  }
  image.SetImageData(png.width, png.height, std::move(pixels));
  return kOk;
}

}  // namespace oxloader
