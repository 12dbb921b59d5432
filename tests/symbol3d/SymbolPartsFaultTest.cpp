// 3D symbols connected to parts under hostile orders: loads, threads, releases and parts named twice.
#include "SymbolPartsFixture.h"

namespace {

using namespace symbol_parts;

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
