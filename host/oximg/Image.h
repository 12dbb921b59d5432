// Decoded image data: one or more frames. An image does not change once made, so
// threads share it freely; turning it makes a new image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orrinsymbols/oximg/Frame.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oximg {

class Image : public util::RefCounted {
 public:
  explicit Image(std::vector<Frame> frames) : m_frames(std::move(frames)) {}

  [[nodiscard]] size_t GetFrameCount() const { return m_frames.size(); }
  // The frame at index; null when there is none.
  [[nodiscard]] const Frame* GetFrame(size_t index) const {
    return index < m_frames.size() ? &m_frames[index] : nullptr;
  }

  // A new image with every frame turned clockwise by quarterTurns quarter turns (taken
  // modulo 4, so a negative count passed as unsigned turns anticlockwise). Empty when
  // memory runs out.
  [[nodiscard]] util::SmartPtr<Image> CreateCWRotated(uint32_t quarterTurns) const;

  // Frame 0 as a PNG file's bytes; false when there is no frame or encoding fails.
  bool EncodePng(std::string& out) const;

 protected:
  ~Image() override = default;

 private:
  std::vector<Frame> m_frames;
};

}  // namespace oximg
