// Feeds arbitrary bytes to the loader's PNG decoding; what decodes is then handled as a
// 2D symbol handles its image: turned, and encoded again for a page.
//
// The decoder's library is not instrumented, so coverage cannot lead the search into
// it. The mutator therefore keeps mutated files well-formed at the chunk level: after
// each mutation every chunk gets the checksum it needs, so hostile sizes, formats and
// compressed data reach the decoding instead of failing the checksum test.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "oxk/Image.h"
#include "oxloader/Loader.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

uint32_t ReadBigEndian(const uint8_t* bytes) {
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

// Rewrites the checksum of every complete chunk after the 8-byte signature.
void FixChunkChecksums(uint8_t* data, size_t size) {
  size_t at = 8;
  while (at + 12 <= size) {
    const uint32_t length = ReadBigEndian(data + at);
    if (length > size - at - 12) {
      return;
    }
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), data + at + 4, static_cast<uInt>(length + 4));
    uint8_t* field = data + at + 8 + length;
    field[0] = static_cast<uint8_t>(crc >> 24);
    field[1] = static_cast<uint8_t>(crc >> 16);
    field[2] = static_cast<uint8_t>(crc >> 8);
    field[3] = static_cast<uint8_t>(crc);
    at += 12 + length;
  }
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int /*seed*/) {
  const size_t mutated = LLVMFuzzerMutate(data, size, maxSize);
  FixChunkChecksums(data, mutated);
  return mutated;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const util::SmartPtr<oxk::Image> image(new oxk::Image());
  if (oxloader::Loader::DecodePng(data, size, *image) != oxloader::Loader::kOk) {
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
