#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "common/IsOldDialogEnabled.h"
#include "component/ComponentEntry.h"
#include "oxannotations/UniversalMeasurementObserver.h"
#include "oxk/ComponentInstance.h"
#include "oxk/ModelFile.h"
#include "oxk/illustration/Limner.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "oxloader/Loader.h"
#include "support/PrimaryRoot.h"
#include "support/TempFolder.h"
#include "symbol3d/SymbolAnnotation.h"

namespace {

using namespace std::chrono_literals;
using oxannotations::SymbolAnnotation;
using oxannotations::SymbolInfo;
using util::SmartPtr;

// Exposes the operations the host does not call directly.
class TestSymbol : public SymbolAnnotation {
 public:
  using SymbolAnnotation::RemoveSymbol;
};

// Listens for the measurement-displayed notification and notes where it ran.
class DisplayedListener : public oxk::ObservableListener {
 public:
  void OnObservableEvent(oxk::Observable& source, const SmartPtr<oxk::ObservableEvent>& event, int) override {
    if (event->GetEventId() != oxannotations::UniversalMeasurementObserver::MeasurementDisplayedEvent::EventId()) {
      return;
    }
    ++count;
    thread = std::this_thread::get_id();
    auto& annotation = dynamic_cast<SymbolAnnotation&>(source);
    writeLockedHere = annotation.GetRWLock().IsWriteLockedByCurrentThread();
  }
  std::atomic<int> count{0};
  std::thread::id thread;
  bool writeLockedHere = true;
};

// The caller's event: counts its completions.
class CallerEvent : public oxk::AsyncEvent {
 public:
  std::atomic<int> completions{0};

 protected:
  void OnComplete(int) override { ++completions; }
};

class SymbolScene : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    folder.Write("wrench.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
    folder.Write("model.xml",
                 "<model><part id=\"1\" name=\"Housing\" shape=\"tri.obj\">"
                 "<part id=\"4\" name=\"Cover\" shape=\"tri.obj\"/></part></model>");
    std::string error;
    ASSERT_TRUE(oxk::ModelFile::Open(folder.File("model.xml"), true, world, scene, &error)) << error;
    oxk::World::SetWorld(world);
    ASSERT_TRUE(WaitForLoads());
    world->GetTree(tree);
    root = testsupport::PrimaryRoot(world);
  }
  void TearDown() override {
    ASSERT_TRUE(WaitForLoads());
    oxk::World::SetWorld({});
  }

  static bool WaitForLoads() { return oxloader::Loader::GetLoader()->WaitUntilIdle(10s); }

  // A symbol from the module's factory, configured as the host would.
  SmartPtr<TestSymbol> NewSymbol(const char* file, const char* id = "") {
    SmartPtr<TestSymbol> symbol(new TestSymbol());
    SymbolInfo record;
    record.fileName = util::Symbol(file);
    record.name = util::Symbol("Wrench");
    record.id = util::Symbol(id);
    symbol->SetSymbolInfo(record);
    return symbol;
  }

  size_t NodeCount() const { return root->GetChildren().size(); }

  testsupport::TempFolder folder;
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  SmartPtr<oxk::Tree> tree;
  SmartPtr<oxk::ComponentNode> root;
};

TEST_F(SymbolScene, FactorySymbolAttachesLoadsSavesDetachesAndComesBack) {
  util::SmartPtr<util::RefCounted> made;
  ASSERT_TRUE(OXDllCreateComponent("create", "annotation", "symbol3d", made));
  SmartPtr<SymbolAnnotation> symbol = util::DynamicCast<SymbolAnnotation>(made);
  ASSERT_TRUE(symbol);
  SymbolInfo record;
  record.fileName = util::Symbol("wrench.obj");
  record.name = util::Symbol("Wrench");
  symbol->SetSymbolInfo(record);
  SmartPtr<DisplayedListener> listener(new DisplayedListener());
  symbol->AddListener(SmartPtr<oxk::ObservableListener>(listener.get()));
  SmartPtr<CallerEvent> caller(new CallerEvent());
  symbol->SetEvent(SmartPtr<oxk::AsyncEvent>(caller.get()));

  const size_t nodesBefore = NodeCount();
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  ASSERT_TRUE(WaitForLoads());
  EXPECT_TRUE(symbol->IsSymbolLoaded());
  EXPECT_EQ(listener->count, 1);
  EXPECT_EQ(listener->thread, oxloader::Loader::GetLoader()->GetCompletionThreadId());
  EXPECT_FALSE(listener->writeLockedHere);
  EXPECT_TRUE(caller->WaitForCompletion(1s));
  EXPECT_EQ(caller->completions, 1);

  // The node: one more under the root, named by a fresh content identifier (the number
  // 1 is the housing's), tagged.
  EXPECT_EQ(NodeCount(), nodesBefore + 1);
  auto node = tree->FindInstance(util::Symbol("/cs2"));
  ASSERT_TRUE(node);
  EXPECT_EQ(node->GetUserData(SymbolAnnotation::GetUserDataId()), symbol.get());
  auto shape = symbol->GetShapeInstance();
  ASSERT_TRUE(shape);
  EXPECT_TRUE(shape->GetShape()->HasGeometry());
  EXPECT_EQ(scene->GetObserverCount(), 1u);

  SmartPtr<oxk::SerializedContentElement> document(new oxk::SerializedContentElement(util::Symbol("doc")));
  symbol->Visit(document);
  const auto saved = document->GetChildren(util::Symbol("symbol3d"));
  ASSERT_EQ(saved.size(), 1u);
  const auto* savedId = saved[0]->FindProperty(util::Symbol("ID"));
  ASSERT_NE(savedId, nullptr);
  EXPECT_TRUE(std::get<util::Symbol>(*savedId) == "cs2");

  EXPECT_TRUE(symbol->DetachScene());
  SmartPtr<oxk::ShapeScene> none;
  EXPECT_FALSE(shape->GetShapeScene(none));
  EXPECT_EQ(scene->GetObserverCount(), 0u);
  EXPECT_EQ(symbol->GetShapeInstance().get(), shape.get());

  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  EXPECT_EQ(symbol->GetShapeInstance().get(), shape.get());  // put back, not made anew
  SmartPtr<oxk::ShapeScene> back;
  EXPECT_TRUE(shape->GetShapeScene(back));
  EXPECT_EQ(NodeCount(), nodesBefore + 1);
  EXPECT_EQ(scene->GetObserverCount(), 1u);
  symbol->DetachScene();
}

TEST_F(SymbolScene, AttachingTwiceToTheSameSceneDoesNothingMore) {
  auto symbol = NewSymbol("wrench.obj");
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  const size_t nodes = NodeCount();
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  EXPECT_EQ(NodeCount(), nodes);
  EXPECT_EQ(scene->GetObserverCount(), 1u);
  EXPECT_EQ(symbol->GetScenes().size(), 1u);
  symbol->DetachScene();
}

TEST_F(SymbolScene, FailedLoadDetachesAndStillCompletesTheCallerOnce) {
  auto symbol = NewSymbol("missing.obj");
  SmartPtr<CallerEvent> caller(new CallerEvent());
  symbol->SetEvent(SmartPtr<oxk::AsyncEvent>(caller.get()));
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  ASSERT_TRUE(WaitForLoads());
  ASSERT_TRUE(caller->WaitForCompletion(1s));
  EXPECT_EQ(caller->completions, 1);
  EXPECT_NE(caller->GetStatus(), 0);
  EXPECT_FALSE(symbol->IsSymbolLoaded());
  EXPECT_EQ(scene->GetObserverCount(), 0u);
  SmartPtr<oxk::ShapeScene> none;
  ASSERT_TRUE(symbol->GetShapeInstance());
  EXPECT_FALSE(symbol->GetShapeInstance()->GetShapeScene(none));
  EXPECT_TRUE(symbol->GetScenes().empty());
}

TEST_F(SymbolScene, IdNamingAnExistingNodeReusesIt) {
  auto symbol = NewSymbol("wrench.obj", "1/4");
  const size_t nodes = NodeCount();
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  EXPECT_EQ(NodeCount(), nodes);
  SmartPtr<oxk::Instance> instance;
  symbol->GetInstance(instance);
  ASSERT_TRUE(instance);
  EXPECT_TRUE(instance->GetIdPath() == "/1/4");
  symbol->DetachScene();
}

TEST_F(SymbolScene, RemovalEmptiesTheIdEvenWhenAnotherSceneStillShowsTheNode) {
  auto symbol = NewSymbol("wrench.obj");
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  ASSERT_TRUE(WaitForLoads());
  SmartPtr<oxk::Instance> node;
  symbol->GetInstance(node);
  ASSERT_TRUE(node);

  SmartPtr<oxk::ShapeScene> other(new oxk::ShapeScene());
  world->AddScene(SmartPtr<oxk::Scene>(other.get()));
  ASSERT_TRUE(other->CreateShapeInstance(node, true, util::Symbol()));
  EXPECT_TRUE(symbol->RemoveSymbol());
  EXPECT_FALSE(symbol->GetShapeInstance());
  EXPECT_TRUE(tree->FindInstance(node->GetIdPath()));  // still shown elsewhere: kept

  SmartPtr<oxk::SerializedContentElement> document(new oxk::SerializedContentElement(util::Symbol("doc")));
  symbol->Visit(document);
  EXPECT_TRUE(document->GetEntries().empty());  // no shape, no content

  // The identifier was dropped: attaching again makes a node of its own.
  symbol->DetachScene();
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  SmartPtr<oxk::Instance> renewed;
  symbol->GetInstance(renewed);
  ASSERT_TRUE(renewed);
  EXPECT_FALSE(renewed->GetIdPath() == node->GetIdPath());

  auto second = NewSymbol("wrench.obj");
  ASSERT_TRUE(second->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  SmartPtr<oxk::Instance> secondNode;
  second->GetInstance(secondNode);
  ASSERT_TRUE(secondNode);
  second->DetachScene();
  EXPECT_TRUE(second->RemoveSymbol());
  EXPECT_FALSE(tree->FindInstance(secondNode->GetIdPath()));  // shown nowhere: removed
  symbol->DetachScene();
}

TEST_F(SymbolScene, AdditionalInitPreparesTheShapeOutsideTheScene) {
  auto symbol = NewSymbol("wrench.obj");
  symbol->AdditionalInit(SmartPtr<oxk::Scene>(scene.get()));
  const auto shape = symbol->GetShapeInstance();
  ASSERT_TRUE(shape);
  SmartPtr<oxk::ShapeScene> in;
  EXPECT_FALSE(shape->GetShapeScene(in));
  const size_t nodes = NodeCount();
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  EXPECT_EQ(symbol->GetShapeInstance().get(), shape.get());
  EXPECT_TRUE(shape->GetShapeScene(in));
  EXPECT_EQ(NodeCount(), nodes);
  symbol->DetachScene();
}

TEST_F(SymbolScene, EmptyFileNameOrNonShapeSceneMakesNoShape) {
  auto symbol = NewSymbol("");
  const size_t nodes = NodeCount();
  EXPECT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  EXPECT_EQ(scene->GetObserverCount(), 1u);
  EXPECT_EQ(NodeCount(), nodes);
  EXPECT_FALSE(symbol->GetShapeInstance());

  class PlainScene : public oxk::Scene {};
  EXPECT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(new PlainScene())));
  EXPECT_EQ(scene->GetObserverCount(), 0u);  // the old observer was dropped, none registered
}

TEST_F(SymbolScene, ShowAndHideFollowTheShape) {
  auto symbol = NewSymbol("wrench.obj");
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  EXPECT_TRUE(symbol->IsVisible());
  symbol->Hide(false, {}, false);
  EXPECT_FALSE(symbol->GetShapeInstance()->IsVisible());
  EXPECT_FALSE(symbol->IsVisible());
  symbol->Show(false, {});
  EXPECT_TRUE(symbol->IsVisible());
  symbol->DetachScene();
}

TEST_F(SymbolScene, InsideTheAuthoringAppTheFileComesFromItsTemporaryFolder) {
  oxk::illustration::SetRunningLimner(true);
  oxkapp::illustration::OrbisApp::GetOrbisApp()->SetTemporaryDirectory(util::Symbol(folder.Path()));
  folder.Write("Symbols/wrench.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  auto symbol = NewSymbol("wrench.obj");
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
  ASSERT_TRUE(WaitForLoads());
  oxk::illustration::SetRunningLimner(false);
  oxkapp::illustration::OrbisApp::GetOrbisApp()->SetTemporaryDirectory(util::Symbol());
  EXPECT_TRUE(symbol->IsSymbolLoaded());
  symbol->DetachScene();
}

TEST_F(SymbolScene, PreviewIsOneFaintShapeAtTheIdentityScaledBySymbolScale) {
  auto symbol = NewSymbol("wrench.obj");
  symbol->SetSymbolScale(2.0);
  symbol->CreatePreview(scene);
  symbol->CreatePreview(scene);
  const auto preview = symbol->GetPreviewShapeInstance();
  ASSERT_TRUE(preview);
  SmartPtr<oxk::Instance> node;
  preview->GetInstance(node);
  size_t previews = 0;
  for (const auto& each : scene->GetShapeInstances()) {
    SmartPtr<oxk::Instance> of;
    previews += each->GetInstance(of) && of.get() == node.get() ? 1 : 0;
  }
  EXPECT_EQ(previews, 1u);
  EXPECT_FLOAT_EQ(preview->GetTransparency(), 0.1f);
  EXPECT_FALSE(preview->IsHighlighted());
  EXPECT_NEAR(preview->GetLocation().GetMat().GetUniformScale(), 2.0f, 1e-5f);
  EXPECT_EQ(preview->GetLocation().GetPos(), geo::DPoint3D::ORIGIN);
  ASSERT_TRUE(WaitForLoads());
  EXPECT_TRUE(preview->GetShape()->HasGeometry());
  EXPECT_FALSE(symbol->IsSymbolLoaded());  // the preview's load is not the symbol's

  symbol->RemovePreview({});
  EXPECT_TRUE(symbol->GetPreviewShapeInstance());
  symbol->RemovePreview(scene);
  EXPECT_FALSE(symbol->GetPreviewShapeInstance());
}

TEST(OldDialogSetting, OnlyALeadingNonZeroNumberTurnsItOn) {
  EXPECT_FALSE(oxcommon::ParseOldDialogSetting(""));
  EXPECT_FALSE(oxcommon::ParseOldDialogSetting("0"));
  EXPECT_FALSE(oxcommon::ParseOldDialogSetting("abc"));
  EXPECT_TRUE(oxcommon::ParseOldDialogSetting("2"));
  EXPECT_TRUE(oxcommon::ParseOldDialogSetting("12abc"));
  EXPECT_TRUE(oxcommon::ParseOldDialogSetting(" -1"));
  EXPECT_TRUE(oxcommon::ParseOldDialogSetting("99999999999999999999"));
}

}  // namespace
