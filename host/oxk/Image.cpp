#include "oxk/Image.h"

namespace oxk {

void Image::SetURL(const util::Symbol& url) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_url = url;
}

util::Symbol Image::GetURL() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_url;
}

util::SmartPtr<oximg::Image> Image::GetImageData() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_data;
}

void Image::SetImageData(const util::SmartPtr<oximg::Image>& data) {
  util::SmartPtr<oximg::Image> previous;
  std::lock_guard<std::mutex> guard(m_mutex);
  previous = m_data;  // released after the lock, with the guard gone first
  m_data = data;
}

void Image::SetImageData(uint32_t width, uint32_t height, std::vector<uint8_t> rgba) {
  std::vector<oximg::Frame> frames;
  frames.emplace_back(width, height, std::move(rgba));
  SetImageData(util::SmartPtr<oximg::Image>(new oximg::Image(std::move(frames))));
}

util::Symbol Image::GetDecodedURL() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_decodedURL;
}

void Image::SetDecodedURL(const util::Symbol& url) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_decodedURL = url;
}

bool Image::HasImageData() const {
  return static_cast<bool>(GetImageData());
}

bool Image::GetSize(uint32_t& width, uint32_t& height) const {
  const util::SmartPtr<oximg::Image> data = GetImageData();
  const oximg::Frame* frame = data ? data->GetFrame(0) : nullptr;
  if (frame == nullptr) {
    return false;
  }
  width = frame->GetWidth();
  height = frame->GetHeight();
  return true;
}

std::vector<uint8_t> Image::GetPixels() const {
  const util::SmartPtr<oximg::Image> data = GetImageData();
  const oximg::Frame* frame = data ? data->GetFrame(0) : nullptr;
  return frame != nullptr ? frame->GetPixels() : std::vector<uint8_t>();
}

}  // namespace oxk
