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

std::vector<Frame> Turned(const std::vector<Frame>& frames, uint32_t quarterTurns) {
  std::vector<Frame> turned;
  turned.reserve(frames.size());
  for (const Frame& frame : frames) {
    Frame once = TurnClockwise(frame);
    for (uint32_t i = 1; i < quarterTurns; ++i) {
      once = TurnClockwise(once);
    }
    turned.push_back(std::move(once));
  }
  return turned;
}

}  // namespace

Image::Image(std::vector<Frame> frames, const Image* source, uint32_t turns)
    : m_frames(std::move(frames)), m_source(source), m_turns(turns) {}

Image::~Image() {
  if (m_source) {
    // The source looks its variants up under this lock, adding a reference only to one
    // that still has some: this one is not handed out any more.
    std::lock_guard<std::mutex> guard(m_source->m_turnedMutex);
    Image*& slot = m_source->m_turned[m_turns - 1];
    if (slot == this) {
      slot = nullptr;
    }
  }
  if (ImageRegistry* registry = m_registry.load(std::memory_order_acquire)) {
    registry->Forget(this);
  }
}

size_t Image::GetPixelBytes() const {
  size_t bytes = 0;
  for (const Frame& frame : m_frames) {
    bytes += frame.GetPixels().size();
  }
  return bytes;
}

util::SmartPtr<Image> Image::CreateCWRotated(uint32_t quarterTurns) const {
  if (m_source) {
    // Turning a variant turns what it was turned from: one variant per distinct turn.
    return m_source->CreateCWRotated((m_turns + quarterTurns % 4) % 4);
  }
  const uint32_t turns = quarterTurns % 4;
  if (turns == 0) {
    // Images never change: the same pixels need no copy.
    return util::SmartPtr<Image>(const_cast<Image*>(this));
  }
  try {
    std::lock_guard<std::mutex> guard(m_turnedMutex);
    Image*& slot = m_turned[turns - 1];
    if (slot != nullptr && slot->TryAddReference(this)) {
      util::SmartPtr<Image> shared(slot);
      slot->RemoveReference(this);  // the smart pointer holds one of its own
      return shared;
    }
    // Turned under the lock: a second user of the same turn waits for this one instead of
    // turning the pixels again.
    util::SmartPtr<Image> made(new Image(Turned(m_frames, turns), this, turns));
    slot = made.get();
    return made;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

void Image::SetRegistry(ImageRegistry* registry) {
  ImageRegistry* none = nullptr;
  (void)m_registry.compare_exchange_strong(none, registry, std::memory_order_acq_rel);
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
