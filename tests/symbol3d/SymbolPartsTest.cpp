#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "conc/ReadGuard.h"
#include "oxk/AnnoSet.h"
#include "oxk/ComponentInstance.h"
#include "oxk/ContentFile.h"
#include "oxk/Kernel.h"
#include "oxk/MemoryPool.h"
#include "oxk/ModelFile.h"
#include "oxk/ShapeView.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxkapp/OxkApp.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "oxloader/Loader.h"
#include "support/LoaderGate.h"
#include "support/PrimaryRoot.h"
#include "support/TempFolder.h"
#include "symbol3d/MyLoadEvent.h"
#include "symbol3d/SymbolAnnotation.h"

namespace {

using namespace std::chrono_literals;
using oxannotations::ConnectedPartInfo;
using oxannotations::SymbolAnnotation;
using oxannotations::SymbolInfo;
using util::SmartPtr;

// Exposes what the host does not call directly.
class TestSymbol : public SymbolAnnotation {
 public:
  using SymbolAnnotation::CalculateSymbolLocation;
  using SymbolAnnotation::GetInstanceByPath;
  SmartPtr<oxannotations::ShapeSceneObserver> Observer() const {
    conc::ReadGuard guard(GetRWLock());
    return sceneObserver;
  }
  // Where to note that the symbol went, and whether its own lock was held then.
  std::atomic<bool>* gone = nullptr;
  std::atomic<bool>* goneLocked = nullptr;

 protected:
  ~TestSymbol() override {
    if (gone != nullptr) {
      *gone = true;
      *goneLocked = GetRWLock().IsReadLockedByCurrentThread() || GetRWLock().IsWriteLockedByCurrentThread();
    }
  }
};

using testsupport::LoaderGate;

// Counts the visibility events an annotation posts.
class VisibilityListener : public oxk::ObservableListener {
 public:
  void OnObservableEvent(oxk::Observable&, const SmartPtr<oxk::ObservableEvent>& e, int) override {
    count += e->GetEventId() == oxk::Annotation::GetVisibilityChangedEventId() ? 1 : 0;
  }
  std::atomic<int> count{0};
};

// Counts the moves of one shape instance.
class MoveCounter : public oxk::ShapeSceneObserver {
 public:
  explicit MoveCounter(const SmartPtr<oxk::ShapeInstance>& shape) : watched(shape) {}
  void OnShapeInstanceLocation(const SmartPtr<oxk::ShapeInstance>& s) override { moves += s == watched ? 1 : 0; }
  SmartPtr<oxk::ShapeInstance> watched;
  std::atomic<int> moves{0};
};

// A completion the test can see; notes its own destruction.
class CallerEvent : public oxk::AsyncEvent {
 public:
  explicit CallerEvent(std::atomic<bool>* gone = nullptr) : destroyed(gone) {}
  std::atomic<bool>* destroyed;

 protected:
  ~CallerEvent() override {
    if (destroyed != nullptr) {
      *destroyed = true;
    }
  }
};

constexpr const char* kCube = "v -1 -1 -1\nv 1 -1 -1\nv 1 1 1\nv -1 1 1\nf 1 2 3 4\n";

// Parts are unit cubes around their placements; /1 is an SBOM part, /2 and /3 are
// welded, /5 is a wire without surface.
class SymbolParts : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("cube.obj", kCube);
    folder.Write("slow.obj", kCube);
    folder.Write("wire.obj", "v 0 0 0\nv 1 1 1\nl 1 2\n");
    folder.Write("wrench.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    folder.Write("model.xml",
                 "<model><part id=\"1\" name=\"Housing\" shape=\"cube.obj\" position=\"10 0 0\"/>"
                 "<part id=\"2\" name=\"Bracket\" shape=\"cube.obj\" position=\"0 10 0\"/>"
                 "<part id=\"3\" name=\"Plate\" shape=\"cube.obj\" position=\"0 0 10\"/>"
                 "<part id=\"5\" name=\"Wire\" shape=\"wire.obj\"/>"
                 "<sbom><item id=\"H\" part=\"/1\"/>"
                 "<weld id=\"W\"><item id=\"B\" part=\"/2\"/><item id=\"P\" part=\"/3\"/></weld></sbom></model>");
    Open();
  }
  void TearDown() override {
    ASSERT_TRUE(WaitForLoads());
    oxkapp::illustration::OrbisApp::GetOrbisApp()->SetSbomTree({});
    oxk::World::SetWorld({});
  }
  void Open() {
    std::string error;
    ASSERT_TRUE(oxk::ModelFile::Open(folder.File("model.xml"), true, world, scene, &error)) << error;
    oxk::World::SetWorld(world);
    ASSERT_TRUE(WaitForLoads());
    world->GetTree(tree);
  }
  static bool WaitForLoads() { return oxloader::Loader::GetLoader()->WaitUntilIdle(10s); }

  SmartPtr<TestSymbol> NewSymbol(bool fromRecord = true) {
    SmartPtr<TestSymbol> symbol(new TestSymbol());
    if (!fromRecord) {  // configured piece by piece: placed from the coordinate systems
      symbol->SetName(util::Symbol("wrench.obj"), util::Symbol("Wrench"));
      symbol->SetAnnotationSymbol(true);
      return symbol;
    }
    SymbolInfo record;
    record.fileName = util::Symbol("wrench.obj");
    record.name = util::Symbol("Wrench");
    record.isAnnotationSymbol = true;
    symbol->SetSymbolInfo(record);
    return symbol;
  }
  SmartPtr<oxk::Instance> Part(const char* path) const { return tree->FindInstance(util::Symbol(path)); }
  SmartPtr<oxk::ShapeInstance> ShapeOf(const char* path) const {
    SmartPtr<oxk::ShapeInstance> shape;
    scene->GetShapeInstance(Part(path), shape);
    return shape;
  }
  void MovePart(const char* path, double dx, double dy, double dz) const {
    SmartPtr<oxk::ComponentInstance> component;
    Part(path)->GetComponentInstance(component);
    geo::Location location = component->GetLocation();
    location.SetPos(location.GetPos() + geo::DVec3(dx, dy, dz));
    component->SetLocation(location, true);
  }
  static geo::DPoint3D Pos(const SmartPtr<TestSymbol>& symbol) {
    return symbol->GetShapeInstance()->GetLocation().GetPos();
  }
  bool Attach(const SmartPtr<TestSymbol>& symbol) const {
    return symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())) && WaitForLoads();
  }
  SmartPtr<oxk::illustration::SbomTree> Sbom() const {
    return util::DynamicCast<oxk::illustration::Illustration3dScene>(scene)->GetSbomTree();
  }

  testsupport::TempFolder folder;
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  SmartPtr<oxk::Tree> tree;
};

void ExpectNear(const geo::DPoint3D& a, const geo::DPoint3D& b) {
  EXPECT_NEAR(a.x, b.x, 1e-5);
  EXPECT_NEAR(a.y, b.y, 1e-5);
  EXPECT_NEAR(a.z, b.z, 1e-5);
}

TEST_F(SymbolParts, PickedPartsAreConnectedOnceAtTheirGeometryCentre) {
  auto symbol = NewSymbol();
  symbol->AddSelectedPart(ShapeOf("/1"), scene, {}, geo::DPoint3D(9, 1, 1));
  symbol->AddSelectedPart({}, scene, Part("/1"), geo::DPoint3D(9, 1, 1));  // the same part again
  symbol->AddSelectedPart({}, scene, Part("/5"), geo::DPoint3D(3, 3, 3));  // no shape handed in
  auto parts = symbol->GetConnectedParts();
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_TRUE(parts[0].partId == "/H");  // named in the SBOM
  EXPECT_TRUE(parts[0].assemblyPartId.empty());
  ExpectNear(parts[0].lastPos, geo::DPoint3D(10, 0, 0));
  EXPECT_TRUE(parts[1].partId == "/5");
  EXPECT_EQ(parts[1].lastPos, geo::DPoint3D(3, 3, 3));
  EXPECT_TRUE(symbol->isConnectedPart(ShapeOf("/1")));
  EXPECT_FALSE(symbol->isConnectedPart(ShapeOf("/2")));

  auto plain = NewSymbol();
  plain->SetAnnotationSymbol(false);
  plain->AddSelectedPart(ShapeOf("/1"), scene, {}, geo::DPoint3D());
  EXPECT_TRUE(plain->GetConnectedParts().empty());
}

TEST_F(SymbolParts, FollowsItsPartAndRecordsOffsetsWhenMovedItself) {
  auto symbol = NewSymbol();
  symbol->AddSelectedPart(ShapeOf("/1"), scene, {}, geo::DPoint3D(9, 1, 1));
  ASSERT_TRUE(Attach(symbol));
  ExpectNear(Pos(symbol), geo::DPoint3D(10, 0, 0));  // at its offset (none yet) from the part

  geo::Location moved = symbol->GetShapeInstance()->GetLocation();
  moved.SetPos(geo::DPoint3D(12, 3, 4));
  symbol->GetShapeInstance()->SetLocation(moved, true);  // the user drags the symbol
  ExpectNear(Pos(symbol), geo::DPoint3D(12, 3, 4));
  EXPECT_EQ(symbol->GetConnectedParts()[0].offset, geo::DVec3(2, 3, 4));

  scene->BeginUpdate();
  MovePart("/1", 0, 0, 5);
  MovePart("/2", 0, 0, 5);  // not connected
  scene->EndUpdate();
  ExpectNear(Pos(symbol), geo::DPoint3D(12, 3, 9));
  ExpectNear(symbol->GetConnectedParts()[0].lastPos, geo::DPoint3D(10, 0, 5));

  SmartPtr<oxk::ShapeInstance> first;
  ASSERT_TRUE(symbol->GetConnectedPartShapeInstance(first));
  EXPECT_EQ(first.get(), ShapeOf("/1").get());
  geo::DPoint3D inPart;
  symbol->SetPartCsys(geo::Location(geo::FMat33::IDENTITY, geo::DPoint3D(-12, 0, 0)));
  symbol->SetCsysPos(inPart, false);
  ExpectNear(inPart, geo::DPoint3D(0, 3, 9));
  symbol->DetachScene();
}

TEST_F(SymbolParts, RestoredSymbolsLandAtTheirOffsetsAndSaveTheSamePlacement) {
  SymbolInfo record;
  record.fileName = util::Symbol("wrench.obj");
  record.name = util::Symbol("Wrench");
  record.id = util::Symbol("cs1");
  record.isAnnotationSymbol = true;
  record.locPosition = geo::DPoint3D(10, 20, 30);
  record.locOrientation = geo::Quaternion<float>::FromAxisAngle(0, 0, 1, 0.5f);
  record.locScale = 2.0f;
  // The last position is stale: the offset from the part's reference places the symbol.
  record.connectedParts.push_back({util::Symbol("/H"), {}, geo::DPoint3D(100, 100, 100), geo::DVec3(1, 2, 3)});
  record.connectedParts.push_back({util::Symbol("/gone"), {}, geo::DPoint3D(), geo::DVec3()});
  SmartPtr<TestSymbol> symbol(new TestSymbol());
  symbol->SetSymbolInfo(record);
  ASSERT_EQ(symbol->GetConnectedParts().size(), 2u);  // not attached: kept for now
  ASSERT_TRUE(Attach(symbol));
  ASSERT_EQ(symbol->GetConnectedParts().size(), 1u);  // the part that does not resolve is dropped
  ExpectNear(Pos(symbol), geo::DPoint3D(11, 2, 3));
  EXPECT_NEAR(symbol->GetShapeInstance()->GetLocation().GetMat().GetUniformScale(), 2.0f, 1e-5f);
  EXPECT_FALSE(symbol->IsLegacySymbol());

  auto save = [](const SmartPtr<TestSymbol>& s) {
    SmartPtr<oxk::SerializedContentElement> document(new oxk::SerializedContentElement(util::Symbol("doc")));
    s->Visit(document);
    return oxk::ContentFile::ToText(*document);
  };
  const std::string first = save(symbol);
  symbol->DetachScene();
  symbol.Reset();

  Open();  // the document again, from its files
  SmartPtr<TestSymbol> reopened(new TestSymbol());
  const auto content = oxk::ContentFile::FromText(first)->GetChildren(util::Symbol("symbol3d")).at(0);
  reopened->InitializeFromSerializedContent(content, nullptr);
  ASSERT_TRUE(Attach(reopened));
  ExpectNear(Pos(reopened), geo::DPoint3D(11, 2, 3));
  EXPECT_EQ(save(reopened), first);

  // A symbol placed next gets a node of its own.
  auto next = NewSymbol();
  ASSERT_TRUE(Attach(next));
  SmartPtr<oxk::Instance> a;
  SmartPtr<oxk::Instance> b;
  reopened->GetInstance(a);
  next->GetInstance(b);
  EXPECT_NE(a.get(), b.get());
  reopened->DetachScene();
  next->DetachScene();
}

TEST_F(SymbolParts, WeldsConnectThroughTheirFirstShownMemberAndFollowTheWeldsCentre) {
  oxkapp::illustration::OrbisApp::GetOrbisApp()->SetSbomTree(Sbom());  // as in the authoring application
  const auto weld = Sbom()->FindInstance(util::Symbol("/W"))->GetEbomInstance();
  auto symbol = NewSymbol();
  symbol->AddSelectedPart({}, scene, weld, geo::DPoint3D());
  auto parts = symbol->GetConnectedParts();
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_TRUE(parts[0].partId == "/W/B");
  EXPECT_TRUE(parts[0].assemblyPartId == "/W");
  ExpectNear(parts[0].lastPos, geo::DPoint3D(0, 5, 5));  // the centre of both welded cubes

  ShapeOf("/2")->SetVisibility(false, true);
  auto second = NewSymbol();
  second->AddSelectedPart({}, scene, weld, geo::DPoint3D());
  ASSERT_EQ(second->GetConnectedParts().size(), 1u);
  EXPECT_TRUE(second->GetConnectedParts()[0].partId == "/W/P");
  ShapeOf("/3")->SetVisibility(false, true);
  auto none = NewSymbol();
  none->AddSelectedPart({}, scene, weld, geo::DPoint3D());
  EXPECT_TRUE(none->GetConnectedParts().empty());
  ShapeOf("/2")->SetVisibility(true, true);
  ShapeOf("/3")->SetVisibility(true, true);

  ASSERT_TRUE(Attach(symbol));
  const geo::DPoint3D before = Pos(symbol);
  MovePart("/2", 0, 0, 4);  // the weld's box now spans z 3..11
  ExpectNear(Pos(symbol), before + geo::DVec3(0, 0, 2));
  SmartPtr<oxk::Instance> member = Part("/2");
  SmartPtr<oxk::Instance> resolved;
  symbol->GetInstanceByPath(resolved, util::Symbol("/W/B"));
  EXPECT_EQ(resolved.get(), member.get());
  symbol->DetachScene();
}

TEST_F(SymbolParts, WaitsForEveryMembersGeometryThenMovesOnce) {
  // An assembly whose own shape is still loading, with a loaded child.
  const SmartPtr<oxk::ComponentNode> root = testsupport::PrimaryRoot(world);
  auto makeNode = [&](const char* file) {
    SmartPtr<oxk::ComponentNode> node(new oxk::ComponentNode(util::Symbol(file)));
    SmartPtr<oxk::ShapeSource> source;
    oxk::ShapeSource::Create(source, util::Symbol("file://" + folder.File(file)), geo::FBox::EMPTY, 0);
    node->SetShapeSource(source);
    return node;
  };
  SmartPtr<oxk::ComponentInstance> assembly;
  SmartPtr<oxk::ComponentInstance> child;
  ASSERT_TRUE(root->AddChild(makeNode("slow.obj"), util::Symbol("8"), assembly));
  ASSERT_TRUE(assembly->GetNode()->AddChild(makeNode("cube.obj"), util::Symbol("1"), child));
  auto childShape = scene->CreateShapeInstance(SmartPtr<oxk::Instance>(child.get()), true, util::Symbol());
  oxloader::Loader::GetLoader()->LoadShape(childShape->GetShape(), 4, {}, {});
  ASSERT_TRUE(WaitForLoads());

  auto symbol = NewSymbol();
  symbol->AddSelectedPart(util::Symbol("/8"), geo::DPoint3D(0, 0, 0), geo::DVec3(), util::Symbol());
  ASSERT_TRUE(Attach(symbol));
  const geo::DPoint3D start = Pos(symbol);
  SmartPtr<MoveCounter> counter(new MoveCounter(symbol->GetShapeInstance()));
  scene->RegisterObserver(SmartPtr<oxk::ShapeSceneObserver>(counter.get()), 10, true);
  {
    LoaderGate gate;
    auto partShape = scene->CreateShapeInstance(SmartPtr<oxk::Instance>(assembly.get()), true, util::Symbol());
    MovePart("/8", 0, 0, 3);  // moved while its geometry is still on its way
    EXPECT_EQ(Pos(symbol), start);
    EXPECT_EQ(counter->moves, 0);
  }
  ASSERT_TRUE(WaitForLoads());
  EXPECT_EQ(counter->moves, 1);
  ExpectNear(Pos(symbol), start + geo::DVec3(0, 0, 3));  // the child's cube, moved with it
  counter->Unregister();
  symbol->DetachScene();
}

TEST_F(SymbolParts, AGeometryBoxThatStaysEmptyLeavesTheOffsetsAlone) {
  auto symbol = NewSymbol(false);
  symbol->AddSelectedPart(util::Symbol("/5"), geo::DPoint3D(1, 1, 1), geo::DVec3(7, 7, 7), util::Symbol());
  ASSERT_TRUE(Attach(symbol));
  symbol->UpdateOffsetWithConnectedParts();
  ASSERT_TRUE(WaitForLoads());
  EXPECT_EQ(symbol->GetConnectedParts()[0].offset, geo::DVec3(7, 7, 7));
  symbol->DetachScene();
}

TEST_F(SymbolParts, AStandInShownForAPartGivesItsReferencePosition) {
  auto symbol = NewSymbol();
  symbol->AddSelectedPart(ShapeOf("/1"), scene, {}, geo::DPoint3D(9, 1, 1));
  ASSERT_TRUE(Attach(symbol));
  ExpectNear(Pos(symbol), geo::DPoint3D(10, 0, 0));

  // A cube of its own, 5 above the housing and not loaded yet, is shown in its place.
  folder.Write("standin.obj", kCube);
  const SmartPtr<oxk::ComponentNode> root = testsupport::PrimaryRoot(world);
  SmartPtr<oxk::ComponentNode> node(new oxk::ComponentNode(util::Symbol("standin.obj")));
  SmartPtr<oxk::ShapeSource> source;
  oxk::ShapeSource::Create(source, util::Symbol("file://" + folder.File("standin.obj")), geo::FBox::EMPTY, 0);
  node->SetShapeSource(source);
  SmartPtr<oxk::ComponentInstance> standIn;
  ASSERT_TRUE(root->AddChild(node, util::Symbol("7"), standIn));
  standIn->SetLocation(geo::Location(geo::FMat33::IDENTITY, geo::DPoint3D(10, 0, 5)), false);
  const SmartPtr<oxk::Instance> standInInstance(standIn.get());
  ASSERT_TRUE(scene->CreateShapeInstance(standInInstance, true, util::Symbol()));
  scene->SetStandIn(Part("/1"), standInInstance);

  symbol->UpdateAnnotationLocation();  // waits for the stand-in's geometry, then places
  ASSERT_TRUE(WaitForLoads());
  ExpectNear(Pos(symbol), geo::DPoint3D(10, 0, 5));
  ExpectNear(symbol->GetConnectedParts()[0].lastPos, geo::DPoint3D(10, 0, 5));

  // A move of the part is measured on what stands in for it.
  standIn->SetLocation(geo::Location(geo::FMat33::IDENTITY, geo::DPoint3D(10, 0, 8)), true);
  MovePart("/1", 0, 4, 0);
  ExpectNear(Pos(symbol), geo::DPoint3D(10, 0, 8));
  symbol->DetachScene();
}

TEST_F(SymbolParts, PlacementComesFromTheFramesAndTheCameraOfThePreview) {
  auto symbol = NewSymbol(false);
  geo::Location selected;
  selected.Set(geo::DPoint3D(5, 0, 0), geo::Quaternion<float>(), 3.0f);
  symbol->SetSelectedCsys(selected);
  symbol->SetPartCsys(geo::Location(geo::FMat33::IDENTITY, geo::DPoint3D(1, 0, 0)));
  ASSERT_TRUE(Attach(symbol));
  // The selected frame without its scale, seen from the part frame.
  const geo::Location expected(geo::FMat33::IDENTITY, geo::DPoint3D(4, 0, 0));
  EXPECT_TRUE(symbol->GetInitLocation().IsApproximately(expected));
  SmartPtr<oxk::Instance> node;
  symbol->GetInstance(node);
  EXPECT_TRUE(node->GetWorldLocation().IsApproximately(expected));
  EXPECT_TRUE(symbol->GetShapeInstance()->GetLocation().IsApproximately(expected));
  symbol->DetachScene();

  // Keeping the orientation of the preview: turned as the camera turned since.
  geo::Location camera;  // a quarter turn about x
  camera.Set(geo::DPoint3D(0, 0, 50), geo::Quaternion<float>::FromAxisAngle(1, 0, 0, 1.5707964f), 1.0f);
  SmartPtr<oxk::ShapeView> view(new oxk::ShapeView(geo::Camera3D::Perspective(camera, 0.8)));
  SmartPtr<oxkapp::SceneManager> manager;
  ASSERT_TRUE(oxkapp::OxkApp::Get()->GetSceneManager(manager));
  manager->SetActiveView(SmartPtr<oxk::View>(view.get()));
  auto turned = NewSymbol(false);
  turned->SetUseCurrentOrientation(true);
  turned->SetPartCsys(geo::Location(geo::FMat33::IDENTITY, geo::DPoint3D(1, 2, 3)));
  geo::Location out;
  turned->CalculateSymbolLocation(out);
  manager->SetActiveView({});
  const geo::FMat33 expectedTurn = camera.GetMat().Inverse();
  EXPECT_TRUE(turned->GetPartCsys().IsApproximately(geo::Location(expectedTurn, geo::DPoint3D(1, 2, 3))));
  EXPECT_TRUE(out.IsApproximately(turned->GetPartCsys().Inverse()));

  // Part, preview and selected frames each a different quarter turn (about z, about z
  // back, about x back), so a missing factor or one out of place changes the result.
  auto quarter = NewSymbol(false);
  quarter->SetUseCurrentOrientation(true);
  quarter->SetPartCsys(geo::Location(geo::FMat33(0, -1, 0, 1, 0, 0, 0, 0, 1), geo::DPoint3D(1, 2, 3)));
  // The preview's position plays no part.
  quarter->SetCameraPreviewLocation(geo::Location(geo::FMat33(0, 1, 0, -1, 0, 0, 0, 0, 1), geo::DPoint3D(7, 7, 7)));
  quarter->SetSelectedCsys(geo::Location(geo::FMat33(1, 0, 0, 0, 0, 1, 0, -1, 0), geo::DPoint3D(5, 0, 0)));
  manager->SetActiveView(SmartPtr<oxk::View>(view.get()));
  quarter->CalculateSymbolLocation(out);
  manager->SetActiveView({});
  // part * camera^-1 * preview, at the part frame's position.
  EXPECT_TRUE(quarter->GetPartCsys().IsApproximately(
      geo::Location(geo::FMat33(0, 0, -1, 0, 1, 0, 1, 0, 0), geo::DPoint3D(1, 2, 3))));
  // The selected frame seen from that part frame.
  EXPECT_TRUE(out.IsApproximately(geo::Location(geo::FMat33(0, -1, 0, 0, 0, 1, -1, 0, 0), geo::DPoint3D(-3, -2, -4))));
}

TEST_F(SymbolParts, VisibilityFollowsThePartsButNeverShowsAHiddenAnnotation) {
  auto symbol = NewSymbol();
  symbol->AddSelectedPart(ShapeOf("/1"), scene, {}, geo::DPoint3D());
  ASSERT_TRUE(Attach(symbol));
  auto shape = symbol->GetShapeInstance();
  ShapeOf("/1")->SetVisibility(false, true);
  EXPECT_FALSE(shape->IsVisible());
  symbol->Show(false, {});  // a hidden part keeps it hidden
  EXPECT_FALSE(shape->IsVisible());
  ShapeOf("/1")->SetVisibility(true, true);
  EXPECT_TRUE(shape->IsVisible());

  symbol->Hide(false, {}, false);
  ShapeOf("/1")->SetVisibility(false, true);
  ShapeOf("/1")->SetVisibility(true, true);
  EXPECT_FALSE(shape->IsVisible());  // hidden by the user: the part does not show it
  symbol->Show(false, {});
  EXPECT_TRUE(shape->IsVisible());

  // A part that leaves the scene hides the symbol; the symbol's own shape leaving takes
  // it out of its annotation set.
  auto part = ShapeOf("/1");
  scene->RemoveShapeInstance(part, false, true);
  EXPECT_FALSE(shape->IsVisible());
  SmartPtr<oxk::AnnoSet> set(new oxk::AnnoSet());
  set->AddAnnotation(SmartPtr<oxk::Annotation>(symbol.get()));
  scene->RemoveShapeInstance(shape, false, true);
  EXPECT_FALSE(set->Contains(symbol.get()));
  symbol->DetachScene();
}

TEST_F(SymbolParts, AppearanceIsFoldedOncePerUpdateAndSelectionDecidesForConnectedSymbols) {
  auto loose = NewSymbol();
  ASSERT_TRUE(Attach(loose));
  SmartPtr<VisibilityListener> listener(new VisibilityListener());
  loose->AddListener(SmartPtr<oxk::ObservableListener>(listener.get()));
  auto shape = loose->GetShapeInstance();
  scene->BeginUpdate();
  shape->SetVisibility(false, true);
  shape->SetColor(geo::Color(0, 1, 0, 1), true, 1, 0, true);
  shape->SetVisibility(true, true);
  scene->EndUpdate();
  EXPECT_EQ(listener->count, 0);  // one look at the end: nothing changed
  shape->SetVisibility(false, true);
  EXPECT_EQ(listener->count, 1);
  EXPECT_FALSE(loose->oxk::Annotation::IsVisible());
  loose->DetachScene();

  auto connected = NewSymbol();
  connected->AddSelectedPart(ShapeOf("/1"), scene, {}, geo::DPoint3D());
  ASSERT_TRUE(Attach(connected));
  connected->GetShapeInstance()->SetVisibility(false, true);
  EXPECT_TRUE(connected->oxk::Annotation::IsVisible());  // not selected: stays visible
  connected->GetShapeInstance()->SetVisibility(true, true);
  SmartPtr<oxk::SelectionManager> selection;
  scene->GetSelectionManager(selection);
  // Selected as something other than an annotation: not the annotation's selection.
  selection->Select(SmartPtr<oxk::SelectionItem>(
      new oxk::ObjectSelectionItem(oxk::mcad_selection::Part, SmartPtr<oxk::Object>(connected.get()))));
  EXPECT_FALSE(connected->IsSymbolSelected());
  selection->Select(SmartPtr<oxk::SelectionItem>(
      new oxk::ObjectSelectionItem(oxk::mcad_selection::Annotation, SmartPtr<oxk::Object>(connected.get()))));
  EXPECT_TRUE(connected->IsSymbolSelected());
  EXPECT_TRUE(connected->GetShapeInstance()->IsSelected());
  connected->GetShapeInstance()->SetVisibility(false, true);
  EXPECT_FALSE(connected->oxk::Annotation::IsVisible());  // selected: follows its shape
  selection->Clear();
  EXPECT_FALSE(connected->GetShapeInstance()->IsSelected());
  connected->DetachScene();
}

TEST_F(SymbolParts, AnObserverLetGoOfReachesNothing) {
  auto symbol = NewSymbol();
  symbol->AddSelectedPart(ShapeOf("/1"), scene, {}, geo::DPoint3D());
  ASSERT_TRUE(Attach(symbol));
  auto observer = symbol->Observer();
  ASSERT_TRUE(observer);
  symbol->DetachScene();
  const geo::DPoint3D before = Pos(symbol);
  MovePart("/1", 5, 0, 0);
  observer->OnShapeInstanceLocation(ShapeOf("/1"));  // delivered late
  observer->OnShapeInstanceVisibility(ShapeOf("/1"), false);
  EXPECT_EQ(Pos(symbol), before);
  EXPECT_TRUE(symbol->GetShapeInstance()->IsVisible());
}

TEST_F(SymbolParts, PartLoadsAndIgnoredLoadsLeaveTheSymbolsOwnStateAlone) {
  auto symbol = NewSymbol();
  SmartPtr<oxk::ShapeSource> source;
  oxk::ShapeSource::Create(source, util::Symbol("file://" + folder.File("slow.obj")), geo::FBox::EMPTY, 0);
  SmartPtr<oxk::Instance> none;
  SmartPtr<oxk::ShapeInstance> part(new oxk::ShapeInstance(none, source->GetShape()));
  SmartPtr<CallerEvent> caller(new CallerEvent());
  symbol->LoadConnectedPartShapeData(part, SmartPtr<oxk::AsyncEvent>(caller.get()));
  ASSERT_TRUE(caller->WaitForCompletion(10s));
  EXPECT_FALSE(symbol->IsSymbolLoaded());  // a part's geometry, not the symbol's

  SmartPtr<CallerEvent> ignored(new CallerEvent());
  SmartPtr<oxannotations::MyLoadEvent> preview(
      new oxannotations::MyLoadEvent(SmartPtr<SymbolAnnotation>(symbol.get()), ignored.get(), true, false));
  oxk::Kernel::GetKernel()->ManageObject(SmartPtr<objm::ManagedObject>(preview.get()));
  oxloader::Loader::GetLoader()->LoadShape(part->GetShape(), 4, SmartPtr<oxk::AsyncEvent>(preview.get()), {});
  ASSERT_TRUE(WaitForLoads());
  EXPECT_FALSE(ignored->IsComplete());
  EXPECT_FALSE(symbol->IsSymbolLoaded());
}

TEST_F(SymbolParts, TheCallersEventLivesUntilTheLoadCompletesIt) {
  std::atomic<bool> gone{false};
  auto symbol = NewSymbol();
  {
    SmartPtr<CallerEvent> caller(new CallerEvent(&gone));
    symbol->SetEvent(SmartPtr<oxk::AsyncEvent>(caller.get()));
  }
  {
    LoaderGate gate;
    ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get())));
    symbol->SetEvent({});  // the host lets go while the load waits
    EXPECT_FALSE(gone);
  }
  ASSERT_TRUE(WaitForLoads());
  EXPECT_TRUE(gone);  // completed, then let go
  EXPECT_TRUE(symbol->IsSymbolLoaded());
  symbol->DetachScene();
}

TEST_F(SymbolParts, TwoThreadsAttachingAtOnceBothFinish) {
  for (int round = 0; round < 20; ++round) {
    auto symbol = NewSymbol();
    SmartPtr<oxk::ShapeScene> other(new oxk::ShapeScene());
    std::promise<void> go;
    std::shared_future<void> start = go.get_future().share();
    auto attach = [&](const SmartPtr<oxk::ShapeScene>& to) {
      start.wait();
      return symbol->AttachScene(SmartPtr<oxk::Scene>(to.get()));
    };
    auto a = std::async(std::launch::async, attach, scene);
    auto b = std::async(std::launch::async, attach, other);
    go.set_value();
    if (a.wait_for(10s) != std::future_status::ready || b.wait_for(10s) != std::future_status::ready) {
      ADD_FAILURE() << "AttachScene from two threads did not finish";
      std::_Exit(1);  // the threads wait for each other for good
    }
    a.get();
    b.get();
    ASSERT_TRUE(WaitForLoads());
    symbol->DetachScene();
  }
}

TEST_F(SymbolParts, TheColourOverrideReachesTheNewShapeAndShortMemoryChangesNothing) {
  SymbolInfo record;
  record.fileName = util::Symbol("wrench.obj");
  record.title = "Wrench";
  record.appHasOverride = true;
  record.appDiffuse = geo::Color(1, 0, 0, 1);
  SmartPtr<TestSymbol> symbol(new TestSymbol());
  symbol->SetSymbolInfo(record);
  ASSERT_TRUE(Attach(symbol));
  SmartPtr<oxg::Appearance> appearance;
  SmartPtr<oxg::Material> material;
  ASSERT_TRUE(symbol->GetShapeInstance()->GetAppearanceOverride(appearance) && appearance->GetMaterial(material));
  EXPECT_EQ(material->GetDiffuse(), geo::Color(1, 0, 0, 1));
  EXPECT_FALSE(symbol->HasAppearanceOverride());  // applied

  // Without geometry memory the next record is refused whole.
  SymbolInfo other = record;
  other.title = "Other";
  other.isAnnotationSymbol = true;
  other.connectedParts.push_back({util::Symbol("/H"), {}, geo::DPoint3D(), geo::DVec3()});
  auto& pool = oxk::MemoryPool::Geometry();
  pool.SetLimit(pool.GetLiveBytes() + 1);
  symbol->SetSymbolInfo(other);
  pool.SetLimit(0);
  EXPECT_EQ(symbol->GetTitle(), "Wrench");
  EXPECT_FALSE(symbol->IsAnnotationSymbol());
  EXPECT_TRUE(symbol->GetConnectedParts().empty());

  auto& annotations = oxk::MemoryPool::Annotations();
  annotations.SetLimit(annotations.GetLiveBytes() + 1);
  EXPECT_FALSE(symbol->Clone());
  annotations.SetLimit(0);
  EXPECT_TRUE(symbol->Clone());
  symbol->DetachScene();

  // Content of a symbol without a shape: the stored placement, no crash.
  SmartPtr<TestSymbol> bare(new TestSymbol());
  record.locPosition = geo::DPoint3D(1, 2, 3);
  bare->SetSymbolInfo(record);
  SmartPtr<oxk::SerializedContentElement> element(new oxk::SerializedContentElement(util::Symbol("symbol3d")));
  bare->SerializeContent(element);
  const auto* position = element->FindProperty(util::Symbol("locPosition"));
  ASSERT_NE(position, nullptr);
  EXPECT_EQ(std::get<geo::DPoint3D>(*position), geo::DPoint3D(1, 2, 3));
}

// Faults of the order in which a host calls and lets go (test names start with Fault).

TEST_F(SymbolParts, FaultASymbolOnlyItsSetHoldsGoesAfterTheCallThatTakesItOut) {
  std::atomic<bool> gone{false};
  std::atomic<bool> goneLocked{false};
  SmartPtr<oxk::AnnoSet> set(new oxk::AnnoSet());
  // Called by the host through a plain pointer, after it let go of its reference.
  {
    auto symbol = NewSymbol();
    ASSERT_TRUE(Attach(symbol));
    symbol->gone = &gone;
    symbol->goneLocked = &goneLocked;
    ASSERT_TRUE(set->AddAnnotation(symbol));
    const SmartPtr<oxk::ShapeInstance> shape = symbol->GetShapeInstance();
    symbol->DetachScene();
    TestSymbol* held = symbol.get();
    symbol.Reset();
    held->OnShapeInstanceRemove(shape);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(goneLocked);
  }
  // Reported by the scene, when the symbol's shape leaves it.
  gone = false;
  {
    auto symbol = NewSymbol();
    ASSERT_TRUE(Attach(symbol));
    symbol->gone = &gone;
    symbol->goneLocked = &goneLocked;
    ASSERT_TRUE(set->AddAnnotation(symbol));
    const SmartPtr<oxk::ShapeInstance> shape = symbol->GetShapeInstance();
    symbol.Reset();
    scene->RemoveShapeInstance(shape, false, true);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(goneLocked);
  }
  EXPECT_EQ(set->GetCount(), 0u);
}

TEST_F(SymbolParts, FaultAPartNamedByTwoEntriesMovesTheSymbolOnce) {
  // Under its SBOM path and under its model path.
  auto symbol = NewSymbol();
  symbol->AddSelectedPart(util::Symbol("/H"), geo::DPoint3D(10, 0, 0), geo::DVec3(1, 2, 3), {});
  symbol->AddSelectedPart(util::Symbol("/1"), geo::DPoint3D(10, 0, 0), geo::DVec3(1, 2, 3), {});
  ASSERT_EQ(symbol->GetConnectedParts().size(), 2u);
  ASSERT_TRUE(Attach(symbol));
  const geo::DPoint3D before = Pos(symbol);
  MovePart("/1", 0, 0, 5);
  ExpectNear(Pos(symbol), before + geo::DVec3(0, 0, 5));
  MovePart("/1", 0, 0, 5);
  ExpectNear(Pos(symbol), before + geo::DVec3(0, 0, 10));
  for (const ConnectedPartInfo& entry : symbol->GetConnectedParts()) {
    ExpectNear(entry.lastPos, geo::DPoint3D(10, 0, 10));
  }
  symbol->DetachScene();

  // A weld picked twice: two entries of the same path; the weld's centre is the reference.
  oxkapp::illustration::OrbisApp::GetOrbisApp()->SetSbomTree(Sbom());
  const auto weld = Sbom()->FindInstance(util::Symbol("/W"))->GetEbomInstance();
  auto welded = NewSymbol();
  welded->AddSelectedPart({}, scene, weld, geo::DPoint3D());
  welded->AddSelectedPart({}, scene, weld, geo::DPoint3D());
  ASSERT_EQ(welded->GetConnectedParts().size(), 2u);
  ASSERT_TRUE(Attach(welded));
  const geo::DPoint3D start = Pos(welded);
  MovePart("/2", 0, 0, 4);
  ExpectNear(Pos(welded), start + geo::DVec3(0, 0, 2));
  MovePart("/2", 0, 0, 4);
  ExpectNear(Pos(welded), start + geo::DVec3(0, 0, 4));
  for (const ConnectedPartInfo& entry : welded->GetConnectedParts()) {
    ExpectNear(entry.lastPos, geo::DPoint3D(0, 5, 9));
  }
  welded->DetachScene();
}

TEST_F(SymbolParts, FaultARestoredSymbolKeepsADragAndAPartPickedAfterReopening) {
  SymbolInfo record;
  record.fileName = util::Symbol("wrench.obj");
  record.name = util::Symbol("Wrench");
  record.id = util::Symbol("cs1");
  record.isAnnotationSymbol = true;
  record.locPosition = geo::DPoint3D(11, 2, 3);
  record.connectedParts.push_back({util::Symbol("/H"), {}, geo::DPoint3D(10, 0, 0), geo::DVec3(1, 2, 3)});
  auto save = [](const SmartPtr<TestSymbol>& s) {
    SmartPtr<oxk::SerializedContentElement> document(new oxk::SerializedContentElement(util::Symbol("doc")));
    s->Visit(document);
    return oxk::ContentFile::ToText(*document);
  };
  auto reopen = [&](const std::string& text) {
    SmartPtr<TestSymbol> symbol(new TestSymbol());
    symbol->InitializeFromSerializedContent(
        oxk::ContentFile::FromText(text)->GetChildren(util::Symbol("symbol3d")).at(0), nullptr);
    return symbol;
  };
  // Reopened (its record read back) while its part is not shown: the symbol waits at its
  // stored placement, still of the older form, and the user drags it and picks a part.
  scene->RemoveShapeInstance(ShapeOf("/1"), false, true);
  SmartPtr<TestSymbol> restored(new TestSymbol());
  restored->SetSymbolInfo(record);
  ASSERT_TRUE(Attach(restored));
  ASSERT_TRUE(restored->IsLegacySymbol());
  geo::Location dragged = restored->GetShapeInstance()->GetLocation();
  dragged.SetPos(geo::DPoint3D(50, 0, 0));
  restored->GetShapeInstance()->SetLocation(dragged, true);
  restored->AddSelectedPart(ShapeOf("/2"), scene, {}, geo::DPoint3D(0, 10, 0));
  auto parts = restored->GetConnectedParts();
  ASSERT_EQ(parts.size(), 2u);
  ExpectNear(geo::DPoint3D() + parts[0].offset, geo::DPoint3D(40, 0, 0));
  ExpectNear(geo::DPoint3D() + parts[1].offset, geo::DPoint3D(50, -10, 0));
  const std::string text = save(restored);
  restored->DetachScene();
  restored.Reset();

  // Reopened with the part shown: the symbol lands where it was dragged.
  Open();
  auto again = reopen(text);
  ASSERT_TRUE(Attach(again));
  ExpectNear(Pos(again), geo::DPoint3D(50, 0, 0));
  again->DetachScene();
}

}  // namespace
