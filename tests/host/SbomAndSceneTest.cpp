#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "oxk/Annotation.h"
#include "oxk/ComponentInstance.h"
#include "oxk/ModelFile.h"
#include "oxk/ShapeInstance.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxk/illustration/WeldInstance.h"
#include "oxkapp/illustration/LimMultiRootContainer.h"
#include "oxloader/Loader.h"
#include "support/TempFolder.h"

namespace {

using namespace std::chrono_literals;
using util::SmartPtr;

// Counts what a scene reports: updates and changes.
class Counter : public oxk::ShapeSceneObserver {
 public:
  void OnBeginUpdate(oxk::Scene*) override { ++begins; }
  void OnEndUpdate(oxk::Scene*) override { ++ends; }
  void OnShapeInstanceLocation(const SmartPtr<oxk::ShapeInstance>&) override { ++moves; }
  void OnShapeInstanceColor(const SmartPtr<oxk::ShapeInstance>&) override { ++colours; }
  void OnShapeInstanceRemove(const SmartPtr<oxk::ShapeInstance>&) override { ++removals; }
  [[nodiscard]] bool StaysOnSceneClear() const override { return stays; }
  int begins = 0, ends = 0, moves = 0, colours = 0, removals = 0;
  bool stays = false;
};

// An annotation that notes what its selection manager tells it.
class Selectable : public oxk::Annotation {
 public:
  Selectable() : oxk::Annotation(1) {}
  [[nodiscard]] SmartPtr<oxk::Annotation> Clone() const override { return {}; }
  bool MarkupUpdated(const SmartPtr<oxk::Markup>&, const SmartPtr<oxk::Markup>&,
                     const SmartPtr<oxk::Operation>&) override {
    return true;
  }
  [[nodiscard]] bool AllowGroupDrag() const override { return false; }
  void GetMarkupLocation(int32_t, geo::Location&) const override {}
  void SetMarkupLocation(int32_t, const geo::Location&) override {}
  [[nodiscard]] int32_t NumberOfMarkups() const override { return 0; }
  [[nodiscard]] std::string GetMarkupName(int32_t) const override { return {}; }
  void OnSetSelected(bool on, const SmartPtr<oxk::View>&) override { told.push_back(on); }
  std::vector<bool> told;
};

class SbomModel : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    folder.Write("model.xml",
                 "<model><part id=\"1\" name=\"Frame\" shape=\"tri.obj\" position=\"1 0 0\">"
                 "<part id=\"2\" name=\"Leg\" shape=\"tri.obj\" position=\"0 1 0\"/></part>"
                 "<part id=\"3\" name=\"Rail\" shape=\"tri.obj\"/>"
                 "<sbom><item id=\"F\" part=\"/1\"/>"
                 "<weld id=\"W\" name=\"Leg weld\"><item id=\"L\" part=\"/1/2\"/><item id=\"R\" part=\"/3\"/></weld>"
                 "</sbom></model>");
    std::string error;
    ASSERT_TRUE(oxk::ModelFile::Open(folder.File("model.xml"), true, world, scene, &error)) << error;
    oxk::World::SetWorld(world);
    ASSERT_TRUE(oxloader::Loader::GetLoader()->WaitUntilIdle(10s));
    world->GetTree(tree);
  }
  void TearDown() override { oxk::World::SetWorld({}); }

  SmartPtr<oxk::Instance> Part(const char* path) const { return tree->FindInstance(util::Symbol(path)); }
  SmartPtr<oxk::ComponentInstance> Component(const char* path) const {
    SmartPtr<oxk::ComponentInstance> component;
    Part(path)->GetComponentInstance(component);
    return component;
  }

  testsupport::TempFolder folder;
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  SmartPtr<oxk::Tree> tree;
};

TEST_F(SbomModel, ItemsAndWeldsStandForModelParts) {
  auto illustration = util::DynamicCast<oxk::illustration::Illustration3dScene>(scene);
  ASSERT_TRUE(illustration);
  auto sbom = illustration->GetSbomTree();
  ASSERT_TRUE(sbom);
  EXPECT_EQ(sbom->GetInstanceCount(), 4u);
  EXPECT_EQ(sbom->FindInstance(util::Symbol("/F"))->GetEbomInstance().get(), Part("/1").get());
  auto leg = sbom->FindInstance(util::Symbol("/W/L"));
  ASSERT_TRUE(leg);
  EXPECT_FALSE(leg->HasChildren());
  SmartPtr<oxk::illustration::SbomInstance> back;
  ASSERT_TRUE(Part("/1/2")->GetSbomInstance(back));
  EXPECT_EQ(back.get(), leg.get());

  auto weld = sbom->FindInstance(util::Symbol("/W"));
  ASSERT_TRUE(weld && weld->HasChildren());
  std::vector<SmartPtr<oxk::Instance>> parts;
  std::vector<SmartPtr<oxk::illustration::SbomInstance>> items;
  ASSERT_TRUE(weld->GetEbomInstancesForWeld(parts, items));
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_TRUE(parts[0]->GetIdPath() == "/1/2");
  EXPECT_TRUE(parts[1]->GetIdPath() == "/3");
  EXPECT_EQ(items[1]->GetId(), util::Symbol("R"));
  // The weld's model-side instance: its members are the welded parts, it sits at the origin.
  auto welded = weld->GetEbomInstance();
  ASSERT_TRUE(dynamic_cast<oxk::illustration::WeldInstance*>(welded.get()));
  std::vector<SmartPtr<oxk::BaseInstance>> members;
  welded->GetMemberSet(members);
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[1].get(), Part("/3").get());
  EXPECT_TRUE(welded->GetIdPath() == "/W");

  // Instances forget their items when the SBOM goes.
  illustration->SetSbomTree({});
  sbom.Reset();
  weld.Reset();
  leg.Reset();
  back.Reset();
  EXPECT_FALSE(Part("/1/2")->GetSbomInstance(back));
  members.clear();
  welded->GetMemberSet(members);
  EXPECT_TRUE(members.empty());
}

TEST(ModelFileSbom, RefusesIncompleteOrRepeatedItems) {
  testsupport::TempFolder folder;
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  std::string error;
  const std::string parts = "<part id=\"1\"/><part id=\"2\"/>";
  for (const char* sbom :
       {"<item id=\"A\" part=\"/9\"/>", "<item id=\"A\"/>", "<item id=\"A\" part=\"/1\"/><item id=\"B\" part=\"/1\"/>",
        "<item id=\"A\" part=\"/1\"/><item id=\"A\" part=\"/2\"/>", "<weld id=\"W\"/>"}) {
    error.clear();
    EXPECT_FALSE(oxk::ModelFile::Open(
        folder.Write("m.xml", "<model>" + parts + "<sbom>" + std::string(sbom) + "</sbom></model>"), false, world,
        scene, &error))
        << sbom;
    EXPECT_FALSE(error.empty());
  }
}

TEST_F(SbomModel, PathsFollowTheStructureAndMovesReachTheScene) {
  auto leg = Component("/1/2");
  EXPECT_TRUE(leg->GetIdPath() == "/1/2");
  // Re-placing the leg's node elsewhere changes its path, and the cached one with it.
  auto frame = Component("/1");
  auto legNode = leg->GetNode();
  ASSERT_TRUE(frame->GetNode()->RemoveChild(leg));
  EXPECT_TRUE(leg->GetIdPath() == "/2");  // out of the tree: named from its own top
  SmartPtr<oxk::ComponentInstance> moved;
  ASSERT_TRUE(Component("/3")->GetNode()->AddChild(legNode, util::Symbol("7"), moved));
  EXPECT_TRUE(moved->GetIdPath() == "/3/7");
  EXPECT_TRUE(frame->GetIdPath() == "/1");

  // A node move reaches the shapes of the node and of everything below it, as one
  // update when the caller makes one.
  SmartPtr<Counter> counter(new Counter());
  ASSERT_TRUE(scene->RegisterObserver(SmartPtr<oxk::ShapeSceneObserver>(counter.get()), 10, true));
  SmartPtr<oxk::ShapeInstance> shown;
  ASSERT_TRUE(scene->CreateShapeInstance(SmartPtr<oxk::Instance>(moved.get()), true, util::Symbol()));
  ASSERT_TRUE(scene->GetShapeInstance(SmartPtr<oxk::Instance>(moved.get()), shown));
  counter->begins = counter->ends = 0;
  geo::Location there;
  there.SetPos(geo::DPoint3D(0, 0, 5));
  scene->BeginUpdate();
  Component("/3")->SetLocation(there, true);
  shown->SetColor(geo::Color(1, 0, 0, 1), true, 1, 0, true);
  scene->EndUpdate();
  EXPECT_EQ(counter->begins, 1);
  EXPECT_EQ(counter->ends, 1);
  EXPECT_EQ(counter->moves, 2);  // the rail and the leg placed below it
  EXPECT_EQ(counter->colours, 1);
  EXPECT_EQ(shown->GetLocation().GetPos(), geo::DPoint3D(0, 0, 5));

  // Outside an update every change is an update of its own.
  Component("/1")->SetLocation(there, true);
  EXPECT_EQ(counter->begins, 2);
  Component("/1")->SetLocation(there, false);
  EXPECT_EQ(counter->moves, 3);

  // Clearing drops every shape; an observer that does not stay is let go.
  const size_t shapes = scene->GetShapeInstances().size();
  scene->Clear();
  EXPECT_EQ(counter->removals, static_cast<int>(shapes));
  EXPECT_EQ(scene->GetObserverCount(), 0u);
  SmartPtr<Counter> keeper(new Counter());
  keeper->stays = true;
  scene->RegisterObserver(SmartPtr<oxk::ShapeSceneObserver>(keeper.get()), 10, true);
  scene->Clear();
  EXPECT_EQ(scene->GetObserverCount(), 1u);
  keeper->Unregister();
}

// Notes in one shared log which observer heard which shape instance move.
class Follower : public oxk::ShapeSceneObserver {
 public:
  Follower(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
  void OnBeginUpdate(oxk::Scene*) override { ++begins; }
  void OnEndUpdate(oxk::Scene*) override { ++ends; }
  void OnShapeInstanceLocation(const SmartPtr<oxk::ShapeInstance>& shape) override {
    // Always within an update it was told of.
    m_log.push_back(m_name + " " + shape->GetInstance()->GetIdPath().str() + (begins > ends ? "" : " outside"));
  }
  int begins = 0;
  int ends = 0;

 private:
  std::string m_name;
  std::vector<std::string>& m_log;
};

TEST_F(SbomModel, ObserversThatFollowPathsHearOnlyAboutThoseInstancesInTheirOrder) {
  std::vector<std::string> log;
  const auto make = [&](const char* name) {
    SmartPtr<Follower> follower(new Follower(name, log));
    EXPECT_TRUE(scene->RegisterObserver(SmartPtr<oxk::ShapeSceneObserver>(follower.get()), 10, true));
    return follower;
  };
  const SmartPtr<Follower> all = make("all");
  const SmartPtr<Follower> rail = make("rail");
  const SmartPtr<Follower> frame = make("frame");
  const SmartPtr<Follower> weld = make("weld");
  rail->FollowOnly({util::Symbol("/3")});
  frame->FollowOnly({util::Symbol("/F"), util::Symbol("/nowhere")});  // by the frame's SBOM item
  weld->FollowOnly({util::Symbol("/W")});                             // no shape is the weld's own
  const auto move = [&](const char* path) {
    geo::Location there = Component(path)->GetLocation();
    there.SetPos(there.GetPos() + geo::DVec3(0, 0, 1));
    Component(path)->SetLocation(there, true);
  };
  move("/3");
  move("/1");  // the frame and the leg below it
  EXPECT_EQ(log, (std::vector<std::string>{"all /3", "rail /3", "all /1", "frame /1", "all /1/2"}));
  // Updates reach the narrowed observers that heard a change in them, once each.
  EXPECT_EQ(weld->ends, 0);
  const int railEnds = rail->ends;
  const int allEnds = all->ends;
  scene->BeginUpdate();
  move("/3");
  move("/3");
  scene->EndUpdate();
  EXPECT_EQ(weld->ends, 0);
  EXPECT_EQ(rail->ends, railEnds + 1);
  EXPECT_EQ(all->ends, allEnds + 1);
  EXPECT_EQ(rail->begins, rail->ends);

  // Following other paths replaces the old ones; following everything again hears all.
  log.clear();
  rail->FollowOnly({util::Symbol("/W/L")});
  frame->FollowAll();
  move("/1");
  EXPECT_EQ(log, (std::vector<std::string>{"all /1", "frame /1", "all /1/2", "rail /1/2", "frame /1/2"}));

  // Leaving takes an observer out of every path it followed; one not registered follows
  // nothing here.
  log.clear();
  rail->Unregister();
  rail->FollowOnly({util::Symbol("/3")});
  move("/3");
  EXPECT_EQ(log, (std::vector<std::string>{"all /3", "frame /3"}));
  EXPECT_EQ(scene->GetObserverCount(), 3u);
  for (const auto& follower : {all, frame, weld}) {
    follower->Unregister();
  }
}

TEST_F(SbomModel, ColourChangesKeepTheRestOfTheMaterialAndOpacityIsClamped) {
  SmartPtr<oxk::ShapeInstance> shape;
  ASSERT_TRUE(scene->GetShapeInstance(Part("/3"), shape));
  EXPECT_FLOAT_EQ(shape->GetTransparency(), 1.0f);  // opaque until told otherwise
  SmartPtr<oxg::Material> shiny(new oxg::Material(geo::Color(0.1f, 0.2f, 0.3f, 1), geo::Color(1, 1, 1, 1),
                                                  geo::Color(0, 0, 0.5f, 1), geo::Color(0.9f, 0.9f, 0.9f, 1), 40));
  shape->SetAppearanceOverride(SmartPtr<oxg::Appearance>(new oxg::Appearance(shiny)));
  shape->SetColor(geo::Color(1, 0, 0, 1), false, 1, 0, true);
  SmartPtr<oxg::Appearance> appearance;
  SmartPtr<oxg::Material> material;
  ASSERT_TRUE(shape->GetAppearanceOverride(appearance) && appearance->GetMaterial(material));
  EXPECT_EQ(material->GetDiffuse(), geo::Color(1, 0, 0, 1));
  EXPECT_EQ(material->GetAmbient(), geo::Color(0.1f, 0.2f, 0.3f, 1));
  EXPECT_EQ(material->GetSpecular(), geo::Color(0.9f, 0.9f, 0.9f, 1));
  EXPECT_FLOAT_EQ(material->GetShininess(), 40.0f);
  shape->OverrideTransparency(1.5f, true, false, {}, false);
  EXPECT_FLOAT_EQ(shape->GetTransparency(), 1.0f);
}

TEST_F(SbomModel, SelectionTellsAnnotationsAndListsInEitherOrder) {
  SmartPtr<oxk::SelectionManager> selection;
  ASSERT_TRUE(scene->GetSelectionManager(selection));
  SmartPtr<Selectable> first(new Selectable());
  SmartPtr<Selectable> second(new Selectable());
  auto item = [](const SmartPtr<Selectable>& a) {
    return SmartPtr<oxk::SelectionItem>(
        new oxk::ObjectSelectionItem(oxk::mcad_selection::Annotation, SmartPtr<oxk::Object>(a.get())));
  };
  auto firstItem = item(first);
  selection->Select(firstItem);
  selection->Select(item(second));
  selection->Select(firstItem);  // once only
  EXPECT_EQ(first->told, std::vector<bool>{true});
  std::vector<SmartPtr<oxk::SelectionItem>> items;
  ASSERT_TRUE(
      selection->GetSelectedItems(0, oxk::mcad_selection::Annotation, items, oxk::SelectionManager::kInSelectionOrder));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].get(), firstItem.get());
  ASSERT_TRUE(selection->GetSelectedItems(0, oxk::mcad_selection::Annotation, items, oxk::SelectionManager::kOnlyOne));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_NE(items[0].get(), firstItem.get());  // newest first
  selection->Deselect(firstItem);
  selection->Clear();
  EXPECT_EQ(first->told, (std::vector<bool>{true, false}));
  EXPECT_EQ(second->told, (std::vector<bool>{true, false}));
}

TEST_F(SbomModel, StructureIdentifiersAreFreshInTheDocument) {
  SmartPtr<oxk::MultiRootContainer> container;
  SmartPtr<oxk::Structure> structure;
  SmartPtr<oxk::ComponentNode> root;
  world->GetMultiRootContainer(container);
  container->GetPrimaryStructure(structure);
  structure->GetRoot(root);
  // A restored content symbol brings its own identifier.
  SmartPtr<oxk::ComponentNode> restored(new oxk::ComponentNode(util::Symbol("Symbol")));
  SmartPtr<oxk::ComponentInstance> placed;
  ASSERT_TRUE(root->AddChild(restored, util::Symbol("cs2"), placed));
  auto info = util::DynamicCast<oxkapp::illustration::LimMultiRootContainer>(container)->GetFileInfo();
  EXPECT_TRUE(info->GetNextStructureId() == "4");  // 1 and 3 are parts, 2 the symbol's
  EXPECT_TRUE(info->GetNextStructureId() == "5");
}

}  // namespace
