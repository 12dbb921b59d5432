#include <gtest/gtest.h>
#include <png.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "oxk/AsyncEventSet.h"
#include "oxk/Image.h"
#include "oxk/Kernel.h"
#include "oxk/ShapeSource.h"
#include "oxloader/ImageLoaderEvent.h"
#include "oxloader/Loader.h"
#include "oxloader/ShapeLoaderEvent.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "util/FileSystem.h"

namespace {

using namespace std::chrono_literals;
using oxloader::Loader;

// Records how often and where its completion ran.
class RecordingEvent : public oxloader::ShapeLoaderEvent {
 public:
  void OnLoadComplete(int status) override {
    ++calls;
    lastStatus = status;
    thread = std::this_thread::get_id();
  }
  std::atomic<int> calls{0};
  std::atomic<int> lastStatus{-1};
  std::thread::id thread;
};

class ImageEvent : public oxloader::ImageLoaderEvent {
 public:
  void OnLoadComplete(int status) override { lastStatus = status; }
  std::atomic<int> lastStatus{-1};
};

util::SmartPtr<oxk::Shape> ShapeOf(const std::string& path) {
  util::SmartPtr<oxk::ShapeSource> source;
  oxk::ShapeSource::Create(source, util::Symbol("file://" + path), geo::FBox(), 0);
  return source->GetShape();
}

int Load(const util::SmartPtr<oxk::Shape>& shape, util::SmartPtr<RecordingEvent>& event) {
  event = util::SmartPtr<RecordingEvent>(new RecordingEvent());
  Loader::GetLoader()->LoadShape(shape, 4, util::SmartPtr<oxk::AsyncEvent>(event.get()), {});
  EXPECT_TRUE(event->WaitForCompletion(10s));
  EXPECT_TRUE(Loader::GetLoader()->WaitUntilIdle(10s));
  return event->lastStatus;
}

TEST(Loader, ReadsObjOnItsOwnThreadAndCompletesOnce) {
  testsupport::TempFolder folder;
  const std::string path =
      folder.Write("quad.obj", "# quad\nv 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 -3\nvn 0 0 1\nf 1//1 2//1 3//1 4//1\n");
  auto shape = ShapeOf(path);
  util::SmartPtr<RecordingEvent> event;
  EXPECT_EQ(Load(shape, event), Loader::kOk);
  EXPECT_EQ(event->calls, 1);
  EXPECT_EQ(event->thread, Loader::GetLoader()->GetCompletionThreadId());
  EXPECT_NE(event->thread, std::this_thread::get_id());
  int32_t status = 0;
  shape->GetDataStatus(4, status);
  EXPECT_EQ(status, oxk::Shape::kDataLoaded);
  EXPECT_EQ(shape->GetTriangleCount(), 2u);
  const geo::FBox box = shape->GetModelBox();
  EXPECT_FLOAT_EQ(box.max[0], 2.0f);
  EXPECT_FLOAT_EQ(box.min[2], -3.0f);
  EXPECT_FALSE(event->Complete(5));  // a second completion is refused
  EXPECT_EQ(event->calls, 1);
}

TEST(Loader, MissingOrMalformedFilesCompleteWithAStatus) {
  testsupport::TempFolder folder;
  util::SmartPtr<RecordingEvent> event;
  EXPECT_EQ(Load(ShapeOf(folder.File("nope.obj")), event), Loader::kMissing);
  EXPECT_EQ(Load(ShapeOf(folder.Write("a.obj", "v 0 0\nf 1 1 1\n")), event), Loader::kMalformed);
  EXPECT_EQ(Load(ShapeOf(folder.Write("b.obj", "v 0 0 0\nv 1 0 0\nf 1 2 9\n")), event), Loader::kMalformed);
  EXPECT_EQ(Load(ShapeOf(folder.Write("c.obj", "# no vertex at all\nf 1 2 3\n")), event), Loader::kMalformed);
  EXPECT_EQ(Load(ShapeOf(folder.Write("d.obj", "not an OBJ file\n")), event), Loader::kMalformed);
  EXPECT_EQ(Load(util::SmartPtr<oxk::Shape>(), event), Loader::kNothingToLoad);
}

TEST(Loader, DecodesPngImages) {
  testsupport::TempFolder folder;
  const std::string path = folder.File("dot.png");
  png_image png;
  std::memset(&png, 0, sizeof(png));
  png.version = PNG_IMAGE_VERSION;
  png.width = 3;
  png.height = 2;
  png.format = PNG_FORMAT_RGBA;
  const uint8_t pixels[3 * 2 * 4] = {255, 0, 0, 255};
  ASSERT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, pixels, 0, nullptr));

  util::SmartPtr<oxk::Image> image(new oxk::Image(util::Symbol(path)));
  util::SmartPtr<ImageEvent> event(new ImageEvent());
  Loader::GetLoader()->LoadImage(image, 0, util::SmartPtr<oxk::AsyncEvent>(event.get()));
  ASSERT_TRUE(event->WaitForCompletion(10s));
  EXPECT_EQ(event->lastStatus, Loader::kOk);
  uint32_t width = 0;
  uint32_t height = 0;
  ASSERT_TRUE(image->GetSize(width, height));
  EXPECT_EQ(width, 3u);
  EXPECT_EQ(height, 2u);
  EXPECT_EQ(image->GetPixels()[0], 255);

  util::SmartPtr<oxk::Image> broken(new oxk::Image(util::Symbol(folder.Write("bad.png", "not a png"))));
  util::SmartPtr<ImageEvent> failed(new ImageEvent());
  Loader::GetLoader()->LoadImage(broken, 0, util::SmartPtr<oxk::AsyncEvent>(failed.get()));
  ASSERT_TRUE(failed->WaitForCompletion(10s));
  EXPECT_EQ(failed->lastStatus, Loader::kMalformed);
}

// A document's pictures share a budget: a picture that would take it past its limit is
// refused from its header, before its pixels are allocated, and loads asked for under
// a budget keep it even when another is set meanwhile.
TEST(Loader, DecodesPicturesWithinTheBudgetInForce) {
  testsupport::TempFolder folder;
  const std::string path = folder.File("square.png");
  ASSERT_TRUE(testsupport::WriteTestPng(path, 16, 16));
  const uint64_t one = 16 * 16 * 4;
  const util::SmartPtr<oxloader::ImageBudget> budget(new oxloader::ImageBudget(one + one / 2));
  const auto load = [&] {
    util::SmartPtr<oxk::Image> image(new oxk::Image(util::Symbol(path)));
    util::SmartPtr<ImageEvent> event(new ImageEvent());
    Loader::GetLoader()->LoadImage(image, 0, util::SmartPtr<oxk::AsyncEvent>(event.get()));
    return event;
  };
  Loader::GetLoader()->SetImageBudget(budget);
  const auto first = load();
  const auto second = load();
  Loader::GetLoader()->SetImageBudget({});
  const auto unbounded = load();
  for (const auto& event : {first, second, unbounded}) {
    ASSERT_TRUE(event->WaitForCompletion(10s));
  }
  EXPECT_EQ(first->lastStatus, Loader::kOk);
  EXPECT_EQ(second->lastStatus, Loader::kOverBudget);
  EXPECT_EQ(unbounded->lastStatus, Loader::kOk);
  EXPECT_EQ(budget->GetUsed(), one);

  // The header alone tells whether the loader would decode a picture.
  std::string bytes;
  ASSERT_TRUE(util::FileSystem::ReadFile(path, bytes));
  uint32_t width = 0;
  uint32_t height = 0;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_EQ(Loader::InspectPng(data, bytes.size(), width, height), Loader::kOk);
  EXPECT_EQ(width, 16u);
  EXPECT_EQ(Loader::InspectPng(data, 20, width, height), Loader::kMalformed);
  const util::SmartPtr<oxk::Shape> shape(new oxk::Shape());
  EXPECT_EQ(Loader::DecodeObj("root:x:0:0:root:/root:/bin/bash\n", *shape), Loader::kMalformed);
  EXPECT_EQ(Loader::DecodeObj("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", *shape), Loader::kOk);
}

TEST(Kernel, KeepsHandedOverEventsAliveUntilTheyComplete) {
  bool destroyed = false;
  class Watched : public oxk::AsyncEvent {
   public:
    explicit Watched(bool& flag) : m_flag(flag) {}
    ~Watched() override { m_flag = true; }

   private:
    bool& m_flag;
  };
  auto kernel = oxk::Kernel::GetKernel();
  oxk::AsyncEvent* raw = nullptr;
  {
    util::SmartPtr<oxk::AsyncEvent> event(new Watched(destroyed));
    raw = event.get();
    kernel->ManageObject(util::SmartPtr<objm::ManagedObject>(event.get()));
  }
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(kernel->IsManaging(raw));
  raw->Complete(0);
  EXPECT_TRUE(destroyed);
}

TEST(AsyncEventSet, CompletesWhenEveryAddedMemberHas) {
  util::SmartPtr<oxk::AsyncEventSet> set(new oxk::AsyncEventSet());
  auto guard = set->CreateNewEvent();
  auto first = set->CreateNewEvent();
  auto second = set->CreateNewEvent();
  auto stray = set->CreateNewEvent();  // made, never added: not waited for
  ASSERT_TRUE(set->AddEvent(guard));
  EXPECT_FALSE(set->AddEvent(guard));  // once only
  ASSERT_TRUE(set->AddEvent(first));
  ASSERT_TRUE(set->AddEvent(second));
  util::SmartPtr<oxk::AsyncEventSet> other(new oxk::AsyncEventSet());
  EXPECT_FALSE(other->AddEvent(first));  // not one of its members
  first->Complete(0);
  std::thread loader([&] { second->Complete(7); });
  loader.join();
  EXPECT_FALSE(set->IsComplete());  // the guard still holds it
  EXPECT_EQ(set->GetPendingCount(), 1);
  guard->Complete(0);
  EXPECT_TRUE(set->IsComplete());
  EXPECT_EQ(set->GetStatus(), 7);
  auto late = set->CreateNewEvent();
  EXPECT_FALSE(set->AddEvent(late));
  stray->Complete(0);
}

TEST(AsyncEventSet, AMemberDoneBeforeItIsAddedIsNotWaitedFor) {
  util::SmartPtr<oxk::AsyncEventSet> set(new oxk::AsyncEventSet());
  auto early = set->CreateNewEvent();
  early->Complete(3);
  EXPECT_FALSE(set->AddEvent(early));
  auto member = set->CreateNewEvent();
  ASSERT_TRUE(set->AddEvent(member));
  member->Complete(0);
  EXPECT_TRUE(set->IsComplete());
  EXPECT_EQ(set->GetStatus(), 0);  // the early member's failure is not the set's
}

}  // namespace
