// Decoded image data: one or more frames. An image does not change once made, so
// threads share it freely: every stamp that shows one file can show one image.
//
// Turning an image makes a variant that is shared too: each image keeps (as plain
// pointers) the variants turned from it, one per number of quarter turns, and hands out
// the one that is still in use instead of turning the pixels again. A variant holds the
// image it was turned from, so that the next user of that image finds the variant; turning
// a variant turns its source by the sum of both turns.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "orrinsymbols/oximg/Frame.h"
#include "orrinsymbols/oximg/ImageRegistry.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"

namespace oximg {

class Image : public util::RefCounted {
 public:
  explicit Image(std::vector<Frame> frames) : m_frames(std::move(frames)) {}
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  [[nodiscard]] size_t GetFrameCount() const { return m_frames.size(); }
  // The frame at index; null when there is none.
  [[nodiscard]] const Frame* GetFrame(size_t index) const {
    return index < m_frames.size() ? &m_frames[index] : nullptr;
  }
  // The bytes the frames' pixels take.
  [[nodiscard]] size_t GetPixelBytes() const;

  // This image turned clockwise by quarterTurns quarter turns (taken modulo 4, so a
  // negative count passed as unsigned turns anticlockwise): this image itself for a whole
  // number of turns, else the variant of that turn, made when none is in use. Empty when
  // memory runs out.
  [[nodiscard]] util::SmartPtr<Image> CreateCWRotated(uint32_t quarterTurns) const;
  // The image this one was turned from, and by how many quarter turns; empty and 0 for an
  // image made from frames.
  [[nodiscard]] util::SmartPtr<const Image> GetTurnedFrom() const { return m_source; }
  [[nodiscard]] uint32_t GetQuarterTurns() const { return m_turns; }

  // Frame 0 as a PNG file's bytes; false when there is no frame or encoding fails.
  bool EncodePng(std::string& out) const;

  // Tells registry (at most one; later calls are ignored) when this image goes. For the
  // one who made the image, before it hands it to anyone.
  void SetRegistry(ImageRegistry* registry);

 protected:
  ~Image() override;

 private:
  // A variant: frames turned by turns quarter turns from source.
  Image(std::vector<Frame> frames, const Image* source, uint32_t turns);

  std::vector<Frame> m_frames;
  // The variants turned from this image by 1, 2 and 3 quarter turns, while they are in
  // use; each clears its own slot as it goes.
  mutable std::mutex m_turnedMutex;
  mutable Image* m_turned[3] = {nullptr, nullptr, nullptr};
  // For a variant: the image it was turned from, held so that it outlives the variant.
  const util::SmartPtr<const Image> m_source;
  const uint32_t m_turns = 0;
  std::atomic<ImageRegistry*> m_registry{nullptr};
};

}  // namespace oximg
