#include "oximg/Image.h"

#include <png.h>

#include <cstring>
#include <new>

namespace oximg {
namespace {

// One clockwise quarter turn: the left column becomes the top row.
Frame TurnClockwise(const Frame& frame) {
  const uint32_t width = frame.GetWidth(), height = frame.GetHeight();
  const std::vector<uint8_t>& pixels = frame.GetPixels();
  std::vector<uint8_t> turned(pixels.size());
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      // (x, y) goes to column height - 1 - y of row x in a frame height pixels wide.
      const size_t from = (static_cast<size_t>(y) * width + x) * 4;
      const size_t to = (static_cast<size_t>(x) * height + (height - 1 - y)) * 4;
      std::memcpy(&turned[to], &pixels[from], 4);
    }
  }
  return Frame(height, width, std::move(turned));
}

}  // namespace

util::SmartPtr<Image> Image::CreateCWRotated(uint32_t quarterTurns) const {
  try {
    std::vector<Frame> frames;
    frames.reserve(m_frames.size());
    for (const Frame& frame : m_frames) {
      Frame turned = frame;
      for (uint32_t i = 0; i < quarterTurns % 4; ++i) {
        turned = TurnClockwise(turned);
      }
      frames.push_back(std::move(turned));
    }
    return util::SmartPtr<Image>(new Image(std::move(frames)));
  } catch (const std::bad_alloc&) {
    return {};
  }
}

bool Image::EncodePng(std::string& out) const {
  const Frame* frame = GetFrame(0);
  if (frame == nullptr || frame->GetWidth() == 0) {
    return false;
  }
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  png.width = frame->GetWidth();
  png.height = frame->GetHeight();
  png.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, frame->GetPixels().data(), 0, nullptr)) {
    return false;
  }
  out.resize(size);
  if (!png_image_write_to_memory(&png, out.data(), &size, 0, frame->GetPixels().data(), 0, nullptr)) {
    out.clear();
    return false;
  }
  out.resize(size);
  return true;
}

}  // namespace oximg
