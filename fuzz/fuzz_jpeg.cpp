// Feeds arbitrary bytes to the loader's JPEG decoding; what decodes is then handled as a
// 2D symbol handles its image: turned, and encoded again for a page. The seeds are small
// files of each kind the encoder makes (colour, grey, subsampled, progressive), written
// into corpus_jpeg when the target is built.
#include <cstddef>
#include <cstdint>
#include <string>

#include "oximg/Image.h"
#include "oxk/Image.h"
#include "oxloader/Loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const util::SmartPtr<oxk::Image> image(new oxk::Image());
  if (oxloader::Loader::DecodeJpeg(data, size, *image) != oxloader::Loader::kOk) {
    return 0;
  }
  const util::SmartPtr<oximg::Image> decoded = image->GetImageData();
  const oximg::Frame* frame = decoded ? decoded->GetFrame(0) : nullptr;
  if (frame == nullptr || static_cast<uint64_t>(frame->GetWidth()) * frame->GetHeight() > 512 * 512) {
    return 0;  // turning and encoding large images only slows the search down
  }
  const util::SmartPtr<oximg::Image> turned = decoded->CreateCWRotated(static_cast<uint32_t>(size));
  std::string png;
  if (turned) {
    (void)turned->EncodePng(png);
  }
  return 0;
}
