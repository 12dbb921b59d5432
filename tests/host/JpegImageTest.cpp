// JPEG images through the loader: decoded pixels, grey files, the limit on what a header
// may claim, the picture budget, broken files, and files told apart from PNG by their
// first bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "oxk/AsyncEvent.h"
#include "oxk/Image.h"
#include "oxloader/Loader.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "util/FileSystem.h"

namespace {

using namespace std::chrono_literals;
using oxloader::Loader;

int Decode(const std::string& bytes, oxk::Image& image) {
  return Loader::DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), image);
}

// The JPEG with the frame header's height and width replaced.
std::string WithSize(std::string jpeg, uint16_t width, uint16_t height) {
  const size_t frame = jpeg.find("\xff\xc0", 2);
  if (frame == std::string::npos || frame + 9 > jpeg.size()) {
    return std::string();
  }
  jpeg[frame + 5] = static_cast<char>(height >> 8);
  jpeg[frame + 6] = static_cast<char>(height & 0xFF);
  jpeg[frame + 7] = static_cast<char>(width >> 8);
  jpeg[frame + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

TEST(JpegImage, DecodesColourAndGreyFilesToOpaquePixels) {
  const std::string jpeg = testsupport::TestJpeg(6, 4);
  ASSERT_FALSE(jpeg.empty());
  util::SmartPtr<oxk::Image> image(new oxk::Image());
  ASSERT_EQ(Decode(jpeg, *image), Loader::kOk);
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(image->GetSize(width, height));
  EXPECT_EQ(width, 6u);
  EXPECT_EQ(height, 4u);
  // Lossy, but at quality 100 each pixel stays near what it was, in place.
  const std::vector<uint8_t> expected = testsupport::TestPixels(6, 4);
  const std::vector<uint8_t>& pixels = image->GetPixels();
  ASSERT_EQ(pixels.size(), expected.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    EXPECT_LE(std::abs(int{pixels[i]} - int{expected[i]}), 6) << "byte " << i;
  }

  util::SmartPtr<oxk::Image> grey(new oxk::Image());
  ASSERT_EQ(Decode(testsupport::TestJpeg(3, 3, true), *grey), Loader::kOk);
  const std::vector<uint8_t>& greyPixels = grey->GetPixels();
  ASSERT_EQ(greyPixels.size(), 3u * 3u * 4u);
  for (size_t at = 0; at < greyPixels.size(); at += 4) {
    EXPECT_EQ(greyPixels[at], greyPixels[at + 1]);
    EXPECT_EQ(greyPixels[at], greyPixels[at + 2]);
    EXPECT_EQ(greyPixels[at + 3], 255);
  }
}

TEST(JpegImage, AHeaderClaimingTooManyPixelsIsRefusedAndBrokenFilesAreMalformed) {
  const std::string jpeg = testsupport::TestJpeg(8, 8);
  util::SmartPtr<oxk::Image> image(new oxk::Image());
  for (const auto& [width, height] : {std::pair<uint16_t, uint16_t>{65000, 65000}, {16385, 1}, {4097, 4096}}) {
    const std::string claimed = WithSize(jpeg, width, height);
    ASSERT_FALSE(claimed.empty());
    EXPECT_EQ(Decode(claimed, *image), Loader::kTooLarge) << width << "x" << height;
  }
  EXPECT_EQ(Decode(WithSize(jpeg, 0, 8), *image), Loader::kMalformed);
  EXPECT_EQ(Decode(std::string("\xff\xd8\xff\xe0 not really", 15), *image), Loader::kMalformed);
  EXPECT_EQ(Decode(jpeg.substr(0, 20), *image), Loader::kMalformed);
  EXPECT_EQ(Decode(std::string(), *image), Loader::kMalformed);
  EXPECT_FALSE(image->HasImageData());
}

// A JPEG is charged to a document's picture budget as a PNG is: from its header, before
// its pixels are allocated, whichever decoder or thread reads it.
TEST(JpegImage, IsChargedToThePictureBudgetAsAPngIs) {
  testsupport::TempFolder folder;
  const std::string jpegPath = folder.Write("photo.jpg", testsupport::TestJpeg(16, 16));
  const std::string pngPath = folder.File("drawing.png");
  ASSERT_TRUE(testsupport::WriteTestPng(pngPath, 16, 16));
  std::string jpeg;
  std::string png;
  ASSERT_TRUE(util::FileSystem::ReadFile(jpegPath, jpeg));
  ASSERT_TRUE(util::FileSystem::ReadFile(pngPath, png));
  const uint64_t one = 16 * 16 * 4;
  const auto decode = [](const std::string& bytes, oxloader::ImageBudget& budget) {
    util::SmartPtr<oxk::Image> image(new oxk::Image());
    const int status =
        Loader::DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), *image, &budget);
    EXPECT_EQ(image->HasImageData(), status == Loader::kOk);
    return status;
  };
  // Either picture first, the other past the budget: refused alike, nothing charged.
  for (const auto& [first, second] : {std::pair{&jpeg, &png}, std::pair{&png, &jpeg}}) {
    const util::SmartPtr<oxloader::ImageBudget> budget(new oxloader::ImageBudget(one + one / 2));
    EXPECT_EQ(decode(*first, *budget), Loader::kOk);
    EXPECT_EQ(decode(*second, *budget), Loader::kOverBudget);
    EXPECT_EQ(decode(*first, *budget), Loader::kOverBudget);
    EXPECT_EQ(budget->GetUsed(), one);
  }

  // Through the loader's thread, under the budget in force when the load was asked for.
  const util::SmartPtr<oxloader::ImageBudget> budget(new oxloader::ImageBudget(one + one / 2));
  Loader::GetLoader()->SetImageBudget(budget);
  std::vector<util::SmartPtr<oxk::AsyncEvent>> events;
  for (const std::string& path : {jpegPath, jpegPath}) {
    util::SmartPtr<oxk::Image> image(new oxk::Image(util::Symbol(path)));
    events.emplace_back(new oxk::AsyncEvent());
    Loader::GetLoader()->LoadImage(image, 0, events.back());
  }
  Loader::GetLoader()->SetImageBudget({});
  for (const auto& event : events) {
    ASSERT_TRUE(event->WaitForCompletion(10s));
  }
  EXPECT_EQ(events[0]->GetStatus(), Loader::kOk);
  EXPECT_EQ(events[1]->GetStatus(), Loader::kOverBudget);
  EXPECT_EQ(budget->GetUsed(), one);
}

TEST(JpegImage, TheLoaderTellsFormatsByTheirFirstBytes) {
  testsupport::TempFolder folder;
  // A JPEG named .png and a PNG named .jpg: the bytes decide, not the name.
  const std::string jpeg = folder.Write("photo.png", testsupport::TestJpeg(5, 2));
  ASSERT_TRUE(testsupport::WriteTestPng(folder.File("drawing.jpg"), 2, 5));
  const std::string gif = folder.Write("anim.gif", "GIF89a\x01\x00\x01\x00");
  struct Case {
    std::string path;
    int status;
    uint32_t width;
  };
  for (const Case& c : {Case{jpeg, Loader::kOk, 5}, Case{folder.File("drawing.jpg"), Loader::kOk, 2},
                        Case{gif, Loader::kMalformed, 0}}) {
    util::SmartPtr<oxk::Image> image(new oxk::Image(util::Symbol(c.path)));
    util::SmartPtr<oxk::AsyncEvent> event(new oxk::AsyncEvent());
    Loader::GetLoader()->LoadImage(image, 0, event);
    ASSERT_TRUE(event->WaitForCompletion(10s));
    EXPECT_EQ(event->GetStatus(), c.status) << c.path;
    uint32_t width = 0, height = 0;
    EXPECT_EQ(image->GetSize(width, height), c.status == Loader::kOk) << c.path;
    EXPECT_EQ(width, c.width) << c.path;
  }
  const auto format = [](const std::string& bytes) {
    return Loader::FormatOf(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  };
  EXPECT_EQ(format(testsupport::TestJpeg(1, 1)), Loader::ImageFormat::kJpeg);
  EXPECT_EQ(format(std::string("\x89PNG\r\n\x1a\n", 8)), Loader::ImageFormat::kPng);
  EXPECT_EQ(format(std::string("\x89PNG\r\n", 6)), Loader::ImageFormat::kUnknown);
  EXPECT_EQ(format("BM"), Loader::ImageFormat::kUnknown);
}

}  // namespace
