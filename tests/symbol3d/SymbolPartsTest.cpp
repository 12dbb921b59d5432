// 3D symbols connected to parts: placement, following, visibility and appearance.
#include "SymbolPartsFixture.h"

namespace {

using namespace symbol_parts;

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

}  // namespace
