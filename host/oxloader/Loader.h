// Loads shapes (Wavefront OBJ text: vertices and faces) and images (PNG and JPEG) on the
// loader's own completion thread. LoadShape and LoadImage return at once; the event
// completes later with a status: 0 success, kMissing for a file that cannot be read,
// kMalformed for one that does not parse, kTooLarge for an image whose header claims
// more pixels than the loader decodes, kOverBudget for an image whose pixels would take
// the image budget in force (SetImageBudget) past its limit; both are decided from the
// header, before anything is allocated.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "orrinsymbols/oxk/Anchor.h"
#include "orrinsymbols/oxk/AsyncEvent.h"
#include "orrinsymbols/oxk/Image.h"
#include "orrinsymbols/oxk/Shape.h"
#include "orrinsymbols/oxloader/DecodedImageCache.h"
#include "orrinsymbols/oxloader/ImageBudget.h"
#include "orrinsymbols/util/RefCounted.h"
#include "orrinsymbols/util/SmartPtr.h"
#include "orrinsymbols/util/Symbol.h"

namespace oxloader {

class Loader : public util::RefCounted {
 public:
  // Frozen load statuses.
  static constexpr int kOk = 0;
  static constexpr int kMissing = 1;
  static constexpr int kMalformed = 2;
  static constexpr int kNothingToLoad = 3;
  static constexpr int kTooLarge = 4;
  static constexpr int kOverBudget = 5;

  // The largest image the loader decodes: no side above kMaxImageSide pixels and no more
  // than kMaxImagePixels in all, so a hostile header cannot make it allocate gigabytes.
  static constexpr uint32_t kMaxImageSide = 16384;
  static constexpr uint64_t kMaxImagePixels = 4096ull * 4096ull;

  [[nodiscard]] static util::SmartPtr<Loader> GetLoader();

  // Reads the shape's file unless its geometry is loaded already; completes event (may be
  // empty) with the status. flags and anchor are accepted for the host's callers.
  void LoadShape(const util::SmartPtr<oxk::Shape>& shape, int32_t flags, const util::SmartPtr<oxk::AsyncEvent>& event,
                 const util::SmartPtr<oxk::Anchor>& anchor);
  void LoadImage(const util::SmartPtr<oxk::Image>& image, int32_t flags, const util::SmartPtr<oxk::AsyncEvent>& event);
  // Decodes the image's url (or source, when not empty) into the image's data, unless
  // its data was decoded from that url already; completes event (may be empty) once with
  // the status, also when the file is missing or broken. Images of one unchanged file
  // share one decoded copy while any of them holds it (GetDecodedImages), charged to the
  // budget once, by the load that decodes it.
  void LoadImage(const util::SmartPtr<oxk::Image>& image, const util::SmartPtr<oxk::AsyncEvent>& event,
                 const util::Symbol& source);

  // The budget that images asked for from now on are decoded against (empty: none), as
  // a host gives each opened document its own; loads already asked for keep theirs.
  void SetImageBudget(const util::SmartPtr<ImageBudget>& budget);
  [[nodiscard]] util::SmartPtr<ImageBudget> GetImageBudget();

  // Waits until no load is queued or running; false when the timeout passed first.
  bool WaitUntilIdle(std::chrono::milliseconds timeout);
  // The id of the completion thread.
  [[nodiscard]] std::thread::id GetCompletionThreadId() const { return m_thread.get_id(); }
  // The decoded files that images loaded here share.
  [[nodiscard]] const DecodedImageCache& GetDecodedImages() const { return m_decodedImages; }

  // The image formats the loader decodes, told by their first bytes.
  enum class ImageFormat { kUnknown, kPng, kJpeg };
  // Frozen: how messages name the formats the loader decodes.
  static constexpr const char* kDecodedFormats = "PNG or JPEG";

  // The readers, usable without the thread (the model file reader shares them).
  [[nodiscard]] static int ReadObj(const std::string& path, oxk::Shape& shape);
  // The OBJ reader on text in memory.
  [[nodiscard]] static int DecodeObj(std::string_view text, oxk::Shape& shape);
  [[nodiscard]] static int ReadPng(const std::string& path, oxk::Image& image, ImageBudget* budget = nullptr);
  // Reads a PNG or JPEG file, told apart by its first bytes; kMalformed for any other.
  [[nodiscard]] static int ReadImage(const std::string& path, oxk::Image& image, ImageBudget* budget = nullptr);
  // The format of an image file from its first bytes (eight are enough).
  [[nodiscard]] static ImageFormat FormatOf(const uint8_t* bytes, size_t size);
  // The decoders on bytes in memory; the image is untouched unless the status is kOk.
  // With a budget, the decoded pixels are charged to it before they are allocated.
  [[nodiscard]] static int DecodeImage(const uint8_t* bytes, size_t size, oxk::Image& image,
                                       ImageBudget* budget = nullptr);
  [[nodiscard]] static int DecodePng(const uint8_t* bytes, size_t size, oxk::Image& image,
                                     ImageBudget* budget = nullptr);
  [[nodiscard]] static int DecodeJpeg(const uint8_t* bytes, size_t size, oxk::Image& image,
                                      ImageBudget* budget = nullptr);
  // Reads a PNG's or JPEG's header only: kOk when it is one the loader would decode
  // (within the size bounds), with its size in pixels.
  [[nodiscard]] static int InspectImage(const uint8_t* bytes, size_t size, uint32_t& width, uint32_t& height);
  [[nodiscard]] static int InspectPng(const uint8_t* bytes, size_t size, uint32_t& width, uint32_t& height);
  [[nodiscard]] static int InspectJpeg(const uint8_t* bytes, size_t size, uint32_t& width, uint32_t& height);
  // True when an image of that size may be decoded (the limits above).
  [[nodiscard]] static bool WithinLimits(uint64_t width, uint64_t height);

 protected:
  ~Loader() override;

 private:
  Loader();
  void Post(std::function<void()> job);
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::condition_variable m_idle;
  std::deque<std::function<void()>> m_jobs;
  DecodedImageCache m_decodedImages;
  util::SmartPtr<ImageBudget> m_imageBudget;
  bool m_busy = false;
  bool m_stop = false;
  std::thread m_thread;
};

}  // namespace oxloader
