// Decoded images: quarter turns, PNG encoding and decoding, the loader's limit on what
// a PNG header may claim, and one decoded copy per file and turn shared by every image.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "oximg/Image.h"
#include "oxk/Image.h"
#include "oxloader/ImageLoaderEvent.h"
#include "oxloader/Loader.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"

namespace {

using namespace std::chrono_literals;
using oxloader::Loader;

util::SmartPtr<oximg::Image> TestImage(uint32_t width, uint32_t height) {
  std::vector<oximg::Frame> frames;
  frames.emplace_back(width, height, testsupport::TestPixels(width, height));
  return util::SmartPtr<oximg::Image>(new oximg::Image(std::move(frames)));
}

bool PixelIs(const oximg::Frame& frame, uint32_t x, uint32_t y, uint32_t fromX, uint32_t fromY) {
  const size_t at = (static_cast<size_t>(y) * frame.GetWidth() + x) * 4;
  return at + 4 <= frame.GetPixels().size() &&
         std::memcmp(&frame.GetPixels()[at], testsupport::PixelAt(fromX, fromY).data(), 4) == 0;
}

// The start of a PNG file claiming width by height pixels: the signature, the header
// chunk and an empty data chunk, so that the header is read and the data is not there.
std::string PngHeader(uint32_t width, uint32_t height) {
  const auto be32 = [](std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      out += static_cast<char>((value >> shift) & 0xFF);
    }
  };
  const auto chunk = [&](std::string& out, const std::string& typeAndData) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : typeAndData) {
      crc ^= static_cast<unsigned char>(c);
      for (int k = 0; k < 8; ++k) {
        crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
      }
    }
    be32(out, static_cast<uint32_t>(typeAndData.size() - 4));
    out += typeAndData;
    be32(out, crc ^ 0xFFFFFFFFu);
  };
  std::string bytes("\x89PNG\r\n\x1a\n", 8);
  std::string header = "IHDR";
  be32(header, width);
  be32(header, height);
  header += std::string("\x08\x06\x00\x00\x00", 5);
  chunk(bytes, header);
  chunk(bytes, "IDAT");
  return bytes;
}

TEST(ImageData, QuarterTurnsMoveEveryPixel) {
  const auto image = TestImage(3, 2);
  const auto once = image->CreateCWRotated(1);
  const oximg::Frame& turned = *once->GetFrame(0);
  ASSERT_EQ(turned.GetWidth(), 2u);
  ASSERT_EQ(turned.GetHeight(), 3u);
  EXPECT_TRUE(PixelIs(turned, 0, 0, 0, 1));
  EXPECT_TRUE(PixelIs(turned, 1, 0, 0, 0));
  EXPECT_TRUE(PixelIs(turned, 0, 2, 2, 1));
  const auto around = image->CreateCWRotated(4);
  EXPECT_EQ(around->GetFrame(0)->GetPixels(), image->GetFrame(0)->GetPixels());
  const auto back = once->CreateCWRotated(3);
  EXPECT_EQ(back->GetFrame(0)->GetPixels(), image->GetFrame(0)->GetPixels());
  EXPECT_EQ(image->GetFrame(1), nullptr);
}

TEST(ImageData, EachTurnIsOneSharedVariantThatHoldsItsSource) {
  const auto image = TestImage(3, 2);
  EXPECT_EQ(image->CreateCWRotated(0), image);  // no copy of the same pixels
  EXPECT_EQ(image->CreateCWRotated(8), image);
  const auto once = image->CreateCWRotated(1);
  EXPECT_EQ(image->GetReferenceCount(), 2);  // the variant holds what it was turned from
  EXPECT_EQ(image->CreateCWRotated(1), once);
  EXPECT_EQ(image->CreateCWRotated(5), once);
  EXPECT_EQ(once->CreateCWRotated(3), image);  // a turn of a turn is a turn of the source
  const auto twice = once->CreateCWRotated(1);
  EXPECT_EQ(twice, image->CreateCWRotated(2));
  EXPECT_NE(twice, once);
  EXPECT_EQ(twice->GetTurnedFrom(), image);
  EXPECT_EQ(twice->GetQuarterTurns(), 2u);
  EXPECT_TRUE(PixelIs(*twice->GetFrame(0), 0, 0, 2, 1));
  EXPECT_EQ(image->CreateCWRotated(static_cast<uint32_t>(-1))->GetFrame(0)->GetPixels(),
            image->CreateCWRotated(3)->GetFrame(0)->GetPixels());
}

TEST(ImageData, EncodedPngDecodesToTheSamePixels) {
  std::string png;
  ASSERT_TRUE(TestImage(5, 3)->EncodePng(png));
  util::SmartPtr<oxk::Image> image(new oxk::Image());
  ASSERT_EQ(Loader::DecodePng(reinterpret_cast<const uint8_t*>(png.data()), png.size(), *image), Loader::kOk);
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(image->GetSize(width, height));
  EXPECT_EQ(width, 5u);
  EXPECT_EQ(height, 3u);
  EXPECT_EQ(image->GetPixels(), testsupport::TestPixels(5, 3));
}

TEST(ImageData, AHeaderClaimingTooManyPixelsIsRefusedBeforeAnythingIsAllocated) {
  util::SmartPtr<oxk::Image> image(new oxk::Image());
  for (const auto& [width, height] :
       {std::pair<uint32_t, uint32_t>{100000, 100000}, {Loader::kMaxImageSide + 1, 1}, {4097, 4096}}) {
    const std::string header = PngHeader(width, height);
    EXPECT_EQ(Loader::DecodePng(reinterpret_cast<const uint8_t*>(header.data()), header.size(), *image),
              Loader::kTooLarge)
        << width << "x" << height;
  }
  // Within the limit the same header is a truncated file.
  const std::string small = PngHeader(16, 16);
  EXPECT_EQ(Loader::DecodePng(reinterpret_cast<const uint8_t*>(small.data()), small.size(), *image),
            Loader::kMalformed);
  EXPECT_FALSE(image->HasImageData());
}

class CountingImageEvent : public oxloader::ImageLoaderEvent {
 public:
  void OnLoadNotify(int /*status*/) override { notifiedFirst = completions == 0; }
  void OnLoadComplete(int status) override {
    ++completions;
    lastStatus = status;
  }
  std::atomic<int> completions{0};
  std::atomic<int> lastStatus{-1};
  bool notifiedFirst = false;
};

TEST(ImageData, EveryImageLoadCompletesItsEventOnce) {
  testsupport::TempFolder folder;
  ASSERT_TRUE(testsupport::WriteTestPng(folder.File("a.png"), 2, 1));
  const std::string huge = folder.Write("huge.png", PngHeader(100000, 100000));
  struct Case {
    util::Symbol url;
    util::Symbol source;
    int status;
  };
  for (const Case& c : {Case{util::Symbol(folder.File("a.png")), {}, Loader::kOk},
                        Case{util::Symbol("nowhere.png"), util::Symbol("file://" + folder.File("a.png")), Loader::kOk},
                        Case{util::Symbol(folder.File("missing.png")), {}, Loader::kMissing},
                        Case{util::Symbol(folder.Write("bad.png", "not a png")), {}, Loader::kMalformed},
                        Case{util::Symbol(huge), {}, Loader::kTooLarge}}) {
    util::SmartPtr<oxk::Image> image(new oxk::Image(c.url));
    util::SmartPtr<CountingImageEvent> event(new CountingImageEvent());
    Loader::GetLoader()->LoadImage(image, util::SmartPtr<oxk::AsyncEvent>(event.get()), c.source);
    ASSERT_TRUE(event->WaitForCompletion(10s));
    ASSERT_TRUE(Loader::GetLoader()->WaitUntilIdle(10s));
    EXPECT_EQ(event->completions, 1) << c.url.str();
    EXPECT_EQ(event->lastStatus, c.status) << c.url.str();
    EXPECT_TRUE(event->notifiedFirst);
    EXPECT_EQ(image->HasImageData(), c.status == Loader::kOk);
  }
}

// Loads url into a new image on the loader's thread and waits for it.
util::SmartPtr<oxk::Image> Loaded(const std::string& path, int* status = nullptr) {
  util::SmartPtr<oxk::Image> image(new oxk::Image(util::Symbol(path)));
  util::SmartPtr<CountingImageEvent> event(new CountingImageEvent());
  Loader::GetLoader()->LoadImage(image, util::SmartPtr<oxk::AsyncEvent>(event.get()), util::Symbol());
  EXPECT_TRUE(event->WaitForCompletion(10s));
  if (status != nullptr) {
    *status = event->lastStatus;
  }
  return image;
}

TEST(ImageData, ImagesOfOneFileShareOneDecodedCopyUntilTheLastLetsGo) {
  testsupport::TempFolder folder;
  ASSERT_TRUE(testsupport::WriteTestPng(folder.File("a.png"), 3, 2));
  ASSERT_TRUE(testsupport::WriteTestPng(folder.File("b.png"), 3, 2));
  const oxloader::DecodedImageCache& cache = Loader::GetLoader()->GetDecodedImages();
  const size_t before = cache.GetCount();
  {
    auto first = Loaded(folder.File("a.png"));
    auto second = Loaded(folder.File("a.png"));
    auto other = Loaded(folder.File("b.png"));  // the same pixels, but another file
    ASSERT_TRUE(first->HasImageData());
    EXPECT_EQ(first->GetImageData(), second->GetImageData());
    EXPECT_NE(first->GetImageData(), other->GetImageData());
    EXPECT_EQ(second->GetPixels(), testsupport::TestPixels(3, 2));
    EXPECT_EQ(cache.GetCount(), before + 2);
    // Kept while any image holds it, turned or not.
    const auto turned = first->GetImageData()->CreateCWRotated(1);
    first->SetImageData(turned);
    second.Reset();
    auto third = Loaded(folder.File("a.png"));
    EXPECT_EQ(third->GetImageData(), turned->GetTurnedFrom());
    EXPECT_EQ(third->GetImageData()->CreateCWRotated(1), turned);
  }
  ASSERT_TRUE(Loader::GetLoader()->WaitUntilIdle(10s));  // the loader let go of its jobs too
  EXPECT_EQ(cache.GetCount(), before);                   // every image let go: the copies are gone
  int status = 0;
  (void)Loaded(folder.Write("bad.png", "not a png"), &status);
  EXPECT_EQ(status, Loader::kMalformed);
  (void)Loaded(folder.File("missing.png"), &status);
  EXPECT_EQ(status, Loader::kMissing);
  EXPECT_EQ(cache.GetCount(), before);
}

TEST(ImageData, ASharedPictureIsChargedToTheBudgetOnceWhenItIsDecoded) {
  testsupport::TempFolder folder;
  ASSERT_TRUE(testsupport::WriteTestPng(folder.File("a.png"), 16, 16));
  const uint64_t one = 16 * 16 * 4;
  const util::SmartPtr<oxloader::ImageBudget> budget(new oxloader::ImageBudget(one * 5 / 2));
  Loader::GetLoader()->SetImageBudget(budget);
  int status = 0;
  {
    // As many stamps of the picture as there are: one copy, charged once.
    std::vector<util::SmartPtr<oxk::Image>> stamps;
    for (int i = 0; i < 5; ++i) {
      stamps.push_back(Loaded(folder.File("a.png"), &status));
      EXPECT_EQ(status, Loader::kOk) << i;
    }
    EXPECT_EQ(budget->GetUsed(), one);
  }
  ASSERT_TRUE(Loader::GetLoader()->WaitUntilIdle(10s));
  // Let go of by all, it is decoded afresh next time, and charged afresh.
  const auto again = Loaded(folder.File("a.png"), &status);
  Loader::GetLoader()->SetImageBudget({});
  EXPECT_EQ(status, Loader::kOk);
  EXPECT_EQ(budget->GetUsed(), 2 * one);
}

TEST(ImageData, AFileChangedOnDiskIsDecodedAgain) {
  testsupport::TempFolder folder;
  const std::string path = folder.File("a.png");
  ASSERT_TRUE(testsupport::WriteTestPng(path, 3, 2));
  const auto old = Loaded(path);
  // Replaced by another file of the same size (a new inode, as a crash-safe writer does).
  std::vector<oximg::Frame> frames;
  std::vector<uint8_t> pixels = testsupport::TestPixels(3, 2);
  pixels[0] ^= 0xff;
  frames.emplace_back(3, 2, pixels);
  std::string png;
  ASSERT_TRUE(util::SmartPtr<oximg::Image>(new oximg::Image(std::move(frames)))->EncodePng(png));
  folder.Write("next.png", png);
  ASSERT_EQ(std::rename(folder.File("next.png").c_str(), path.c_str()), 0);
  const auto replaced = Loaded(path);
  EXPECT_EQ(replaced->GetPixels(), pixels);
  EXPECT_EQ(old->GetPixels(), testsupport::TestPixels(3, 2));  // what it showed stays
  // Rewritten in place with another size.
  ASSERT_TRUE(testsupport::WriteTestPng(path, 4, 2));
  EXPECT_EQ(Loaded(path)->GetPixels(), testsupport::TestPixels(4, 2));
}

TEST(ImageData, ImagesOfOneFileComeAndGoOnTwoThreads) {
  // The loader hands out the shared copy while this thread lets go of the last images
  // that held it: never a freed one (ThreadSanitizer and AddressSanitizer watch).
  testsupport::TempFolder folder;
  ASSERT_TRUE(testsupport::WriteTestPng(folder.File("a.png"), 8, 8));
  std::vector<util::SmartPtr<oxk::Image>> images;
  std::vector<util::SmartPtr<CountingImageEvent>> events;
  for (int i = 0; i < 200; ++i) {
    images.emplace_back(new oxk::Image(util::Symbol(folder.File("a.png"))));
    events.emplace_back(new CountingImageEvent());
    Loader::GetLoader()->LoadImage(images.back(), util::SmartPtr<oxk::AsyncEvent>(events.back().get()), util::Symbol());
    if (i % 3 == 0) {
      images.front().Reset();  // the oldest may be the last holder by now
      images.erase(images.begin());
    }
  }
  for (const auto& event : events) {
    ASSERT_TRUE(event->WaitForCompletion(10s));
    EXPECT_EQ(event->lastStatus, Loader::kOk);
  }
  for (const auto& image : images) {
    EXPECT_EQ(image->GetPixels(), testsupport::TestPixels(8, 8));
  }
}

}  // namespace
