#include <gtest/gtest.h>

#include <vector>

#include "oxk/ComponentInstance.h"
#include "oxk/ModelFile.h"
#include "oxk/ShapeInstance.h"
#include "oxloader/Loader.h"
#include "support/TempFolder.h"

namespace {

using namespace std::chrono_literals;

// Records what a shape scene reports, in order.
class Recorder : public oxk::ShapeSceneObserver {
 public:
  void OnBeginUpdate(oxk::Scene*) override { events.push_back("begin"); }
  void OnEndUpdate(oxk::Scene*) override { events.push_back("end"); }
  void OnShapeInstanceCreate(const util::SmartPtr<oxk::ShapeInstance>&) override { events.push_back("create"); }
  void OnShapeInstanceRemove(const util::SmartPtr<oxk::ShapeInstance>&) override { events.push_back("remove"); }
  void OnShapeInstanceVisibility(const util::SmartPtr<oxk::ShapeInstance>&, bool visible) override {
    events.push_back(visible ? "shown" : "hidden");
  }
  void OnShapeInstanceLocation(const util::SmartPtr<oxk::ShapeInstance>&) override { events.push_back("moved"); }
  void OnShapeInstanceAppearance(const util::SmartPtr<oxk::ShapeInstance>&) override { events.push_back("look"); }
  void OnShapeInstanceTransparency(const util::SmartPtr<oxk::ShapeInstance>&) override { events.push_back("opacity"); }
  std::vector<std::string> events;
};

class SceneKernel : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    folder.Write("model.xml",
                 "<model name=\"Pump\">"
                 "  <part id=\"1\" name=\"Housing\" position=\"10 0 0\">"
                 "    <part id=\"4\" name=\"Cover\" shape=\"tri.obj\" position=\"0 5 0\"/>"
                 "  </part>"
                 "  <part id=\"2\" name=\"Base\" shape=\"tri.obj\"/>"
                 "</model>");
    std::string error;
    ASSERT_TRUE(oxk::ModelFile::Open(folder.File("model.xml"), false, world, scene, &error)) << error;
    ASSERT_TRUE(oxloader::Loader::GetLoader()->WaitUntilIdle(10s));
    world->GetTree(tree);
  }

  testsupport::TempFolder folder;
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::ShapeScene> scene;
  util::SmartPtr<oxk::Tree> tree;
};

TEST_F(SceneKernel, ModelFileBuildsTreeSceneAndLoadedShapes) {
  auto cover = tree->FindInstance(util::Symbol("/1/4"));
  ASSERT_TRUE(cover);
  EXPECT_TRUE(cover->GetIdPath() == "/1/4");
  EXPECT_TRUE(cover->GetName() == "Cover");
  EXPECT_EQ(cover->GetWorldLocation().GetPos(), geo::DPoint3D(10, 5, 0));
  EXPECT_FALSE(tree->FindInstance(util::Symbol("/1/9")));
  EXPECT_FALSE(tree->FindInstance(util::Symbol("1/4")));
  EXPECT_FALSE(tree->FindInstance(util::Symbol("/")));

  util::SmartPtr<oxk::ShapeInstance> shape;
  ASSERT_TRUE(scene->GetShapeInstance(cover, shape));
  EXPECT_TRUE(shape->GetShape()->HasGeometry());
  EXPECT_EQ(scene->GetShapeInstances().size(), 2u);  // the housing has no shape

  util::SmartPtr<oxk::MultiRootContainer> container;
  util::SmartPtr<oxk::Structure> structure;
  util::SmartPtr<oxk::Anchor> anchor;
  world->GetMultiRootContainer(container);
  container->GetPrimaryStructure(structure);
  ASSERT_TRUE(structure->GetAnchor(anchor));
  util::Symbol url;
  ASSERT_TRUE(anchor->GetURLForFileSource(util::Symbol("sym.obj"), url, true));
  EXPECT_EQ(url.str(), "file://" + folder.File("sym.obj"));
}

TEST_F(SceneKernel, ObserversHearEveryChangeBetweenBeginAndEnd) {
  util::SmartPtr<Recorder> recorder(new Recorder());
  ASSERT_TRUE(scene->RegisterObserver(util::SmartPtr<oxk::ShapeSceneObserver>(recorder.get()), 10, true));
  EXPECT_FALSE(scene->RegisterObserver(util::SmartPtr<oxk::ShapeSceneObserver>(recorder.get()), 10, true));
  auto base = tree->FindInstance(util::Symbol("/2"));
  util::SmartPtr<oxk::ShapeInstance> shape;
  ASSERT_TRUE(scene->GetShapeInstance(base, shape));

  shape->SetVisibility(false, true);
  shape->SetVisibility(false, true);  // no change, no notification
  shape->SetLocation(geo::Location::IDENTITY, true);
  shape->SetTransparency(0.5f);
  ASSERT_TRUE(scene->RemoveShapeInstance(shape, false, true));
  EXPECT_FALSE(scene->RemoveShapeInstance(shape, false, true));
  util::SmartPtr<oxk::ShapeScene> none;
  EXPECT_FALSE(shape->GetShapeScene(none));
  shape->SetVisibility(true, true);  // out of the scene: nobody hears it
  ASSERT_TRUE(scene->RecreateShapeInstance(shape));
  EXPECT_FALSE(scene->RecreateShapeInstance(shape));

  const std::vector<std::string> expected = {"begin",  "hidden", "end",     "begin",  "moved",
                                             "end",    "begin",  "opacity", "end",    "begin",
                                             "remove", "end",    "begin",   "create", "end"};
  EXPECT_EQ(recorder->events, expected);

  recorder->Unregister();
  EXPECT_EQ(scene->GetObserverCount(), 0u);
  EXPECT_FALSE(recorder->IsRegistered());
}

TEST_F(SceneKernel, NodesAreAddedAndRemovedUnderTheRoot) {
  util::SmartPtr<oxk::MultiRootContainer> container;
  util::SmartPtr<oxk::Structure> structure;
  util::SmartPtr<oxk::ComponentNode> root;
  world->GetMultiRootContainer(container);
  container->GetPrimaryStructure(structure);
  structure->GetRoot(root);
  util::SmartPtr<oxk::ComponentNode> node;
  structure->CreateComponentNode(util::Symbol("Symbol"), 0, node);
  util::SmartPtr<oxk::ComponentInstance> placed;
  ASSERT_TRUE(root->AddChild(node, util::Symbol("cs7"), placed));
  util::SmartPtr<oxk::ComponentInstance> again;
  EXPECT_FALSE(root->AddChild(node, util::Symbol("cs8"), again));  // placed once only
  EXPECT_TRUE(tree->FindInstance(util::Symbol("/cs7")));
  EXPECT_TRUE(root->RemoveChild(placed));
  EXPECT_FALSE(root->RemoveChild(placed));
  EXPECT_FALSE(tree->FindInstance(util::Symbol("/cs7")));
}

TEST(ModelFile, RejectsWhatIsNotAModel) {
  testsupport::TempFolder folder;
  util::SmartPtr<oxk::World> world;
  util::SmartPtr<oxk::ShapeScene> scene;
  std::string error;
  EXPECT_FALSE(oxk::ModelFile::Open(folder.File("missing.xml"), false, world, scene, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(oxk::ModelFile::Open(folder.Write("x.xml", "<library/>"), false, world, scene, &error));
  EXPECT_FALSE(oxk::ModelFile::Open(folder.Write("y.xml", "<model><part id=\"1\"/><part id=\"1\"/></model>"), false,
                                    world, scene, &error));
  EXPECT_NE(error.find("twice"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(SceneKernel, MemberSetsAndSelection) {
  std::vector<util::SmartPtr<oxk::BaseInstance>> members;
  tree->FindInstance(util::Symbol("/1"))->GetMemberSet(members);
  ASSERT_EQ(members.size(), 2u);
  EXPECT_TRUE(members[0]->GetIdPath() == "/1");
  EXPECT_TRUE(members[1]->GetIdPath() == "/1/4");

  util::SmartPtr<oxk::SelectionManager> selection;
  ASSERT_TRUE(scene->GetSelectionManager(selection));
  util::SmartPtr<oxk::Object> part(tree->FindInstance(util::Symbol("/2")).get());
  selection->Select(util::SmartPtr<oxk::SelectionItem>(new oxk::ObjectSelectionItem(oxk::mcad_selection::Part, part)));
  auto item = util::SmartPtr<oxk::SelectionItem>(new oxk::ObjectSelectionItem(oxk::mcad_selection::Annotation, part));
  selection->Select(item);
  std::vector<util::SmartPtr<oxk::SelectionItem>> items;
  ASSERT_TRUE(selection->GetSelectedItems(0, oxk::mcad_selection::Annotation, items, 4));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].get(), item.get());
  selection->Deselect(item);
  EXPECT_FALSE(selection->GetSelectedItems(0, oxk::mcad_selection::Annotation, items, 4));
}

}  // namespace
