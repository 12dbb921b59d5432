// The loader's PNG decoder, on libpng's simplified interface.
#include <png.h>

#include <cstring>
#include <new>
#include <vector>

#include "oxloader/Loader.h"
#include "util/FileSystem.h"

namespace oxloader {

namespace {

// Reads the header into png; kOk when it is one the loader decodes. png must be freed
// (png_image_free) whatever the status.
int BeginRead(const uint8_t* bytes, size_t size, png_image& png) {
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  if (bytes == nullptr || size == 0 || !png_image_begin_read_from_memory(&png, bytes, size)) {
    return Loader::kMalformed;
  }
  // The header alone decides the allocation: refuse sizes no symbol image needs.
  if (!Loader::WithinLimits(png.width, png.height)) {
    return Loader::kTooLarge;
  }
  return Loader::kOk;
}

}  // namespace

int Loader::ReadPng(const std::string& path, oxk::Image& image, ImageBudget* budget) {
  std::string bytes;
  if (!util::FileSystem::FileExists(path) || !util::FileSystem::ReadFile(path, bytes)) {
    return kMissing;
  }
  return DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image, budget);
}

int Loader::InspectPng(const uint8_t* bytes, size_t size, uint32_t& width, uint32_t& height) {
  png_image png;
  const int status = BeginRead(bytes, size, png);
  width = png.width;
  height = png.height;
  png_image_free(&png);
  return status;
}

int Loader::DecodePng(const uint8_t* bytes, size_t size, oxk::Image& image, ImageBudget* budget) {
  png_image png;
  if (const int status = BeginRead(bytes, size, png); status != kOk) {
    png_image_free(&png);
    return status;
  }
  png.format = PNG_FORMAT_RGBA;
  if (budget != nullptr && !budget->Charge(PNG_IMAGE_SIZE(png))) {
    png_image_free(&png);
    return kOverBudget;
  }
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
