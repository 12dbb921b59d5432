// Orders a host may call a 2D symbol in while its image loads on the loader's thread:
// the caller's event may go at any time, a detach during the hand-over of the image
// leaves nothing behind, and nothing the loader's thread touches is shared unguarded
// (the stress test is meant to run under ThreadSanitizer too).
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <vector>

#include "oxk/ContentFile.h"
#include "oxk/illustration2d/Scene2D.h"
#include "support/LoaderGate.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "symbol2d/Symbol2DTestSupport.h"

namespace {

using namespace symbol2dtest;
using oxannotations::Symbol2DInfo;
using testsupport::LoaderGate;
using util::SmartPtr;

// Counts its completions in a place that outlives it, and notes when it goes.
class WatchedEvent : public oxk::AsyncEvent {
 public:
  WatchedEvent(std::atomic<int>* completed, std::atomic<bool>* gone) : m_completed(completed), m_gone(gone) {}

 protected:
  ~WatchedEvent() override { *m_gone = true; }
  void OnComplete(int /*status*/) override { ++*m_completed; }

 private:
  std::atomic<int>* m_completed;
  std::atomic<bool>* m_gone;
};

// A scene that runs a step of the test on the loader's thread just before it takes a
// symbol's markup.
class HandOverScene : public oxk::Scene {
 public:
  std::function<void()> beforeAdd;

  bool AddMarkup(const SmartPtr<oxk::Markup>& markup) override {
    if (std::function<void()> step = std::exchange(beforeAdd, nullptr)) {
      step();
    }
    return oxk::Scene::AddMarkup(markup);
  }
};

class Symbol2DFault : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(testsupport::WriteTestPng(folder.File("wide.png"), 4, 2)); }
  SmartPtr<TestSymbol> NewSymbol() const {
    Symbol2DInfo record;
    record.width = 30;
    record.height = 30;
    SmartPtr<TestSymbol> symbol(new TestSymbol(record));
    symbol->InitImageInfo(util::Symbol(folder.File("wide.png")), util::Symbol("wide"), util::Symbol("wide.png"), 1,
                          true);
    return symbol;
  }

  ScopedWorld world;
  testsupport::TempFolder folder;
};

TEST_F(Symbol2DFault, FaultTheCallersEventMayGoWhileTheImageLoads) {
  ScopedScene<oxk::Scene> scene;
  const SmartPtr<TestSymbol> symbol = NewSymbol();
  std::atomic<int> completed{0};
  std::atomic<bool> gone{false};
  {
    LoaderGate gate;
    SmartPtr<oxk::AsyncEvent> caller(new WatchedEvent(&completed, &gone));
    symbol->CompleteAnnotation2D(scene.Get(), caller);
    caller.Reset();  // the host's last reference
    EXPECT_FALSE(gone);
  }
  ASSERT_TRUE(WaitForLoader());
  EXPECT_EQ(completed, 1);
  EXPECT_TRUE(gone);

  // The same for the event handed over before attaching and replaced during the load.
  completed = 0;
  gone = false;
  {
    LoaderGate gate;
    SmartPtr<oxk::AsyncEvent> caller(new WatchedEvent(&completed, &gone));
    symbol->SetEvent(caller);
    ASSERT_TRUE(symbol->AttachScene(scene.Get()));
    symbol->SetEvent({});
    caller.Reset();
    EXPECT_FALSE(gone);
  }
  ASSERT_TRUE(WaitForLoader());
  EXPECT_EQ(completed, 1);
  EXPECT_TRUE(gone);
}

TEST_F(Symbol2DFault, FaultADetachDuringTheHandOverOfTheImageLeavesNothingInTheScene) {
  SmartPtr<HandOverScene> scene(new HandOverScene());
  const SmartPtr<TestSymbol> symbol = NewSymbol();
  std::promise<void> handingOver;
  std::promise<void> detached;
  std::future<void> detachedFuture = detached.get_future();
  scene->beforeAdd = [&] {
    handingOver.set_value();
    // Gives the host's thread the time to detach. A symbol that hands its image over in
    // one step with a detach keeps the host waiting meanwhile: the wait then runs out.
    (void)detachedFuture.wait_for(300ms);
  };
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  ASSERT_EQ(handingOver.get_future().wait_for(10s), std::future_status::ready);
  EXPECT_TRUE(symbol->DetachScene());
  detached.set_value();
  ASSERT_TRUE(WaitForLoader());

  EXPECT_TRUE(symbol->GetScenes().empty());
  EXPECT_TRUE(scene->GetMarkups().empty());
  EXPECT_FALSE(symbol->GetScene());
  scene->DetachAll();
}

TEST_F(Symbol2DFault, FaultALoadThatEndsAfterADetachChangesNothingButTheImage) {
  ScopedScene<oxk::Scene> scene;
  const SmartPtr<TestSymbol> symbol = NewSymbol();
  SmartPtr<RecordingObserver> observer(new RecordingObserver());
  ASSERT_TRUE(symbol->RegisterObserver(observer));
  SmartPtr<oxk::AsyncEvent> caller(new RecordingEvent());
  symbol->SetEvent(caller);
  {
    LoaderGate gate;
    ASSERT_TRUE(symbol->AttachScene(scene.Get()));
    EXPECT_TRUE(symbol->DetachScene());
  }
  ASSERT_TRUE(WaitForLoader());
  EXPECT_TRUE(caller->IsComplete());  // the caller is still told
  EXPECT_EQ(observer->Count(), 0u);   // but nobody is told the stamp shows
  EXPECT_EQ(symbol->GetTransparency(), 0.5f);
  EXPECT_FALSE(symbol->GetMarkup()->IsVisible());
  EXPECT_FALSE(symbol->GetMarkup()->GetImage());
  EXPECT_EQ(symbol->GetImageWidth(), 4);  // the image itself is in
  EXPECT_TRUE(scene->GetMarkups().empty());
  EXPECT_TRUE(symbol->UnregisterObserver(observer));
}

TEST_F(Symbol2DFault, FaultLoadsEndingWhileTheHostAttachesDetachesAndLetsGoStayConsistent) {
  ScopedScene<oxk::Scene> first;
  ScopedScene<oxk::Scene> second;
  ScopedScene<oxk::illustration2d::Scene2D> page;
  constexpr int kRounds = 2000;
  std::vector<SmartPtr<TestSymbol>> detached;
  size_t inFirst = 0, inSecond = 0;
  for (int round = 0; round < kRounds; ++round) {
    SmartPtr<TestSymbol> symbol = NewSymbol();
    SmartPtr<oxk::AsyncEvent> caller(new RecordingEvent());
    symbol->SetEvent(caller);
    ASSERT_TRUE(symbol->AttachScene(first.Get()));
    switch (round % 5) {
      case 0:  // detached while its image loads
        EXPECT_TRUE(symbol->DetachScene());
        detached.push_back(symbol);
        break;
      case 1:  // moved to another scene while its image loads
        EXPECT_TRUE(symbol->DetachScene());
        ASSERT_TRUE(symbol->AttachScene(second.Get()));
        ++inSecond;
        break;
      case 2: {  // moved to a scene of its own that the host closes and lets go of at once
        EXPECT_TRUE(symbol->DetachScene());
        SmartPtr<oxk::Scene> own(new oxk::Scene());
        ASSERT_TRUE(symbol->AttachScene(own));
        own->DetachAll();
        detached.push_back(symbol);
        break;
      }
      case 3:  // detached, then made an element of a 2D document, which loads the image again
        EXPECT_TRUE(symbol->DetachScene());
        symbol->CreateAnnotation2D(page.Get());
        symbol->CompleteAnnotation2D(page.Get(), caller);
        detached.push_back(symbol);
        break;
      default:  // stays, while the host reads and saves it
        ++inFirst;
        break;
    }
    caller.Reset();
    // Readers of what the loader's thread writes.
    (void)symbol->GetBBox();
    (void)symbol->GetTransparency();
    (void)symbol->IsOriginalSize();
    SmartPtr<oxk::SerializedContentElement> saved(new oxk::SerializedContentElement(util::Symbol("doc")));
    symbol->Visit(saved);
    symbol.Reset();  // the host's last reference; scenes and loads may still hold it
  }
  ASSERT_TRUE(WaitForLoader());

  // Every attached symbol shows its markup once; a detached one is in no scene.
  EXPECT_EQ(first->GetMarkups().size(), inFirst);
  EXPECT_EQ(second->GetMarkups().size(), inSecond);
  for (const SmartPtr<TestSymbol>& symbol : detached) {
    EXPECT_TRUE(symbol->GetScenes().empty());
  }
}

}  // namespace
