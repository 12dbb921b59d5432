// The loader's PNG decoder, on libpng's simplified interface.
#include <png.h>

#include <cstring>
#include <vector>

#include "oxloader/Loader.h"
#include "util/FileSystem.h"

namespace oxloader {

int Loader::ReadPng(const std::string& path, oxk::Image& image) {
  if (!util::FileSystem::FileExists(path)) {
    return kMissing;
  }
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    return kMalformed;
  }
  png.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return kMalformed;
  }
  image.SetImageData(png.width, png.height, std::move(pixels));
  return kOk;
}

}  // namespace oxloader
