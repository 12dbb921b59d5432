// Memory running out inside the operations a host calls: for each operation of the
// factory, the 3D symbol, the flattened symbol and the 2D symbol, the n-th allocation
// fails, for n = 1, 2, ... until the operation gets through without reaching it. Nothing
// may escape as an exception or crash, nothing may leak (AddressSanitizer's leak check
// at exit), and the object must be usable afterwards or have refused cleanly: each
// operation is run once more with memory to spare and its effect checked.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <string>
#include <tuple>
#include <utility>

#include "component/ComponentEntry.h"
#include "faults/FailingAllocation.h"
#include "oxk/AnnoSet.h"
#include "oxk/ContentFile.h"
#include "oxk/ModelFile.h"
#include "oxk/Operation.h"
#include "oxk/World.h"
#include "oxk/illustration/Illustration3dScene.h"
#include "oxk/illustration/SequencerTag.h"
#include "oxk/illustration2d/Document2D.h"
#include "oxk/illustration2d/Scene2D.h"
#include "oxkapp/illustration/OrbisApp.h"
#include "oxloader/Loader.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "symbol2d/Symbol2D.h"
#include "symbol3d/SymbolAnnotation.h"
#include "symbol3d/SymbolAnnotationFlattened.h"

namespace {

using namespace std::chrono_literals;
using faulttest::FailingAllocation;
using oxannotations::ConnectedPartInfo;
using oxannotations::Symbol2D;
using oxannotations::Symbol2DInfo;
using oxannotations::SymbolAnnotation;
using oxannotations::SymbolAnnotationFlattened;
using oxannotations::SymbolInfo;
using oxannotations::SymbolInfoFlattened;
using oxk::SerializedContentElement;
using util::SmartPtr;

// Bounds the sweep of one operation; the longest needs a few hundred allocations.
constexpr long kMaxPoints = 3000;

bool Settle() {
  return oxloader::Loader::GetLoader()->WaitUntilIdle(10s);
}

SmartPtr<SerializedContentElement> NewDocument() {
  return SmartPtr<SerializedContentElement>(new SerializedContentElement(util::Symbol("doc")));
}

// A fresh subject with a document for the operation to write into.
template <class Make>
auto WithDocument(Make make) {
  return [make] { return std::make_pair(make(), NewDocument()); };
}

// What an operation's content looks like as text, for comparing.
template <class Write>
std::string ContentText(Write write) {
  const SmartPtr<SerializedContentElement> document = NewDocument();
  write(document);
  return oxk::ContentFile::ToText(*document);
}

// Sweeps the operations of one class and reports how many allocation points it tried.
class Sweep {
 public:
  explicit Sweep(std::string klass) : m_class(std::move(klass)), m_start(std::chrono::steady_clock::now()) {}
  Sweep(const Sweep&) = delete;
  Sweep& operator=(const Sweep&) = delete;
  ~Sweep() {
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    std::cout << "[ sweep    ] " << m_class << ": " << m_operations << " operations, " << m_points
              << " allocation points, " << elapsed << " s\n";
  }

  // make() gives a fresh subject, with whatever the operation is handed made beforehand
  // (op must allocate nothing itself); op(subject) is the operation under test;
  // check(subject) runs after each failing run, with memory to spare.
  template <class Make, class Op, class Check>
  void Run(const std::string& name, Make make, Op op, Check check) {
    const int failedBefore = FailedParts();
    for (long n = 1; n <= kMaxPoints; ++n) {
      auto subject = make();
      bool escaped = false;
      bool fired = false;
      {
        FailingAllocation failing(n);
        try {
          op(subject);
        } catch (...) {
          escaped = true;
        }
        fired = FailingAllocation::Fired();
      }
      EXPECT_FALSE(escaped) << m_class << "::" << name << ": an exception escaped with allocation " << n << " failing";
      ASSERT_TRUE(Settle());
      check(subject);
      if (FailedParts() != failedBefore) {
        FailingAllocation::PrintWhereItFailed();
        ADD_FAILURE() << m_class << "::" << name << " failed with allocation " << n << " failing";
        return;
      }
      if (!fired) {
        ++m_operations;
        m_points += n - 1;
        return;
      }
    }
    ADD_FAILURE() << m_class << "::" << name << " needs more than " << kMaxPoints << " allocations";
  }

 private:
  static int FailedParts() {
    const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failed = 0;
    for (int i = 0; i < result->total_part_count(); ++i) {
      failed += result->GetTestPartResult(i).failed() ? 1 : 0;
    }
    return failed;
  }

  std::string m_class;
  std::chrono::steady_clock::time_point m_start;
  int m_operations = 0;
  long m_points = 0;
};

constexpr const char* kCube = "v -1 -1 -1\nv 1 -1 -1\nv 1 1 1\nv -1 1 1\nf 1 2 3 4\n";

// A model of three parts (/1 an SBOM item, /2 and /3 welded) and the symbol's shape.
class FaultOutOfMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.Write("cube.obj", kCube);
    folder.Write("wrench.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    folder.Write("model.xml",
                 "<model><part id=\"1\" name=\"Housing\" shape=\"cube.obj\" position=\"10 0 0\"/>"
                 "<part id=\"2\" name=\"Bracket\" shape=\"cube.obj\" position=\"0 10 0\"/>"
                 "<part id=\"3\" name=\"Plate\" shape=\"cube.obj\" position=\"0 0 10\"/>"
                 "<sbom><item id=\"H\" part=\"/1\"/>"
                 "<weld id=\"W\"><item id=\"B\" part=\"/2\"/><item id=\"P\" part=\"/3\"/></weld></sbom></model>");
    ASSERT_TRUE(testsupport::WriteTestPng(folder.File("wide.png"), 4, 2));
    std::string error;
    ASSERT_TRUE(oxk::ModelFile::Open(folder.File("model.xml"), true, world, scene, &error)) << error;
    oxk::World::SetWorld(world);
    ASSERT_TRUE(Settle());
    world->GetTree(tree);
  }
  void TearDown() override {
    oxkapp::illustration::OrbisApp::GetOrbisApp()->SetSbomTree({});
    ASSERT_TRUE(Settle());
    scene->DetachAll();
    page->DetachAll();
    oxk::World::SetWorld({});
  }

  SmartPtr<oxk::Scene> Scene() const { return SmartPtr<oxk::Scene>(scene.get()); }
  SmartPtr<oxk::ShapeInstance> ShapeOf(const char* path) const {
    SmartPtr<oxk::ShapeInstance> shape;
    scene->GetShapeInstance(tree->FindInstance(util::Symbol(path)), shape);
    return shape;
  }

  static SymbolInfo Record3D() {
    static int made = 0;
    SymbolInfo record;
    record.id = util::Symbol("oom" + std::to_string(++made));  // a node of its own
    record.title = "Wrench";
    record.description = "Tighten";
    record.showTooltipTitle = true;
    record.fileName = util::Symbol("wrench.obj");
    record.name = util::Symbol("Wrench");
    record.isAnnotationSymbol = true;
    record.locPosition = geo::DPoint3D(11, 2, 3);
    record.appHasOverride = true;
    record.appDiffuse = geo::Color(1, 0, 0, 1);
    SmartPtr<oxk::illustration::SequencerTag> tag(new oxk::illustration::SequencerTag());
    tag->SetName("torque");
    record.sequencerTags.push_back(tag);
    record.connectedParts.push_back({util::Symbol("/H"), {}, geo::DPoint3D(10, 0, 0), geo::DVec3(1, 2, 3)});
    record.connectedParts.push_back({util::Symbol("/W/B"), util::Symbol("/W"), geo::DPoint3D(0, 5, 5), {}});
    return record;
  }
  SmartPtr<SymbolAnnotation> Symbol3D() const {
    SmartPtr<SymbolAnnotation> symbol(new SymbolAnnotation());
    symbol->SetSymbolInfo(Record3D());
    return symbol;
  }
  SmartPtr<SymbolAnnotation> Attached3D() const {
    SmartPtr<SymbolAnnotation> symbol = Symbol3D();
    EXPECT_TRUE(symbol->AttachScene(Scene()));
    EXPECT_TRUE(Settle());
    return symbol;
  }
  // An attached symbol is back to normal when it shows its shape in the scene, connected
  // to both parts, after a detach and a fresh attachment.
  void ExpectAttachable(const SmartPtr<SymbolAnnotation>& symbol) const {
    symbol->DetachScene();
    EXPECT_TRUE(symbol->AttachScene(Scene()));
    ASSERT_TRUE(Settle());
    util::SmartPtr<oxk::ShapeScene> shown;
    symbol->GetShapeScene(shown);
    EXPECT_EQ(shown.get(), scene.get());
    EXPECT_EQ(symbol->GetConnectedParts().size(), 2u);
    symbol->DetachScene();
  }

  Symbol2DInfo Record2D() const {
    Symbol2DInfo record;
    record.title = util::Symbol("Gloves");
    record.imageName = util::Symbol("wide");
    record.imageFileName = util::Symbol("wide.png");
    record.width = 30;
    record.height = 20;
    record.isBillboard = true;
    SmartPtr<oxk::illustration::SequencerTag> tag(new oxk::illustration::SequencerTag());
    tag->SetName("gloves");
    record.sequencerTags.push_back(tag);
    return record;
  }
  SmartPtr<Symbol2D> Symbol2DOf() const {
    SmartPtr<Symbol2D> symbol(new Symbol2D(Record2D()));
    symbol->InitImageInfo(util::Symbol(folder.File("wide.png")), util::Symbol("wide"), util::Symbol("wide.png"), 1,
                          true);
    return symbol;
  }
  SmartPtr<Symbol2D> Attached2D() const {
    SmartPtr<Symbol2D> symbol = Symbol2DOf();
    EXPECT_TRUE(symbol->AttachScene(Scene()));
    EXPECT_TRUE(Settle());
    return symbol;
  }

  testsupport::TempFolder folder;
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  SmartPtr<oxk::Tree> tree;
  SmartPtr<oxk::illustration2d::Scene2D> page{new oxk::illustration2d::Scene2D()};
};

TEST_F(FaultOutOfMemory, Factory) {
  Sweep sweep("factory");
  const std::string create = "create", annotation = "annotation";
  for (const std::string type : {"symbol3d", "symbol2d", "symbol3dflattened"}) {
    sweep.Run(
        "OXDllCreateComponent " + type, [] { return SmartPtr<util::RefCounted>(); },
        [&](SmartPtr<util::RefCounted>& out) {
          // Refused cleanly: true with out empty when the object could not be made.
          EXPECT_TRUE(OXDllCreateComponent(create, annotation, type, out));
        },
        [&](SmartPtr<util::RefCounted>& out) {
          EXPECT_TRUE(OXDllCreateComponent(create, annotation, type, out));
          EXPECT_TRUE(out);
        });
  }
}

TEST_F(FaultOutOfMemory, Symbol3D) {
  Sweep sweep("SymbolAnnotation");
  const SmartPtr<SymbolAnnotation> model = Attached3D();
  const std::string reference =
      ContentText([&](const SmartPtr<SerializedContentElement>& document) { model->Visit(document); });
  model->DetachScene();
  SmartPtr<SerializedContentElement> saved = oxk::ContentFile::FromText(reference);
  ASSERT_TRUE(saved);
  const SmartPtr<SerializedContentElement> content = saved->GetChildren(util::Symbol("symbol3d")).at(0);
  auto fresh = [] { return SmartPtr<SymbolAnnotation>(new SymbolAnnotation()); };
  auto configured = [&] { return Symbol3D(); };
  auto attached = [&] { return Attached3D(); };
  // All or nothing: a record is applied whole or not at all.
  auto appliedWholeOrNot = [&](const SmartPtr<SymbolAnnotation>& symbol) {
    const bool applied = symbol->GetTitle() == "Wrench";
    EXPECT_EQ(symbol->GetConnectedParts().size(), applied ? 2u : 0u);
    EXPECT_EQ(symbol->IsAnnotationSymbol(), applied);
    symbol->SetSymbolInfo(Record3D());
    EXPECT_EQ(symbol->GetConnectedParts().size(), 2u);
  };

  const SymbolInfo record3D = Record3D();
  const SmartPtr<oxk::ShapeInstance> housing = ShapeOf("/1"), plate = ShapeOf("/3");
  const util::Symbol platePath("/W/P"), weldPath("/W");
  sweep.Run(
      "SetSymbolInfo", fresh, [&](SmartPtr<SymbolAnnotation>& s) { s->SetSymbolInfo(record3D); }, appliedWholeOrNot);
  sweep.Run(
      "InitializeFromSerializedContent", fresh,
      [&](SmartPtr<SymbolAnnotation>& s) { EXPECT_TRUE(s->InitializeFromSerializedContent(content, nullptr)); },
      appliedWholeOrNot);
  sweep.Run(
      "AttachScene", configured, [&](SmartPtr<SymbolAnnotation>& s) { (void)s->AttachScene(Scene()); },
      [&](SmartPtr<SymbolAnnotation>& s) { ExpectAttachable(s); });
  sweep.Run(
      "AdditionalInit", configured, [&](SmartPtr<SymbolAnnotation>& s) { s->AdditionalInit(Scene()); },
      [&](SmartPtr<SymbolAnnotation>& s) { ExpectAttachable(s); });
  sweep.Run(
      "DetachScene", attached, [](SmartPtr<SymbolAnnotation>& s) { EXPECT_TRUE(s->DetachScene()); },
      [&](SmartPtr<SymbolAnnotation>& s) { ExpectAttachable(s); });
  sweep.Run(
      "Visit",
      [&] {
        const SmartPtr<SymbolAnnotation> symbol = Attached3D();
        return std::make_tuple(
            symbol, ContentText([&](const SmartPtr<SerializedContentElement>& d) { symbol->Visit(d); }), NewDocument());
      },
      [](auto& c) { std::get<0>(c)->Visit(std::get<2>(c)); },
      [&](auto& c) {
        EXPECT_EQ(ContentText([&](const SmartPtr<SerializedContentElement>& d) { std::get<0>(c)->Visit(d); }),
                  std::get<1>(c));
        std::get<0>(c)->DetachScene();
      });
  sweep.Run(
      "Flatten", WithDocument(attached), [](auto& c) { (void)c.first->Flatten(c.second, {}, nullptr, nullptr); },
      [&](auto& c) {
        EXPECT_TRUE(c.first->Flatten(NewDocument(), {}, nullptr, nullptr));
        c.first->DetachScene();
      });
  sweep.Run(
      "Clone", configured, [](SmartPtr<SymbolAnnotation>& s) { (void)s->Clone(); },
      [](SmartPtr<SymbolAnnotation>& s) { EXPECT_TRUE(s->Clone()); });
  sweep.Run(
      "UpdateAnnotationLocation", attached, [](SmartPtr<SymbolAnnotation>& s) { s->UpdateAnnotationLocation(); },
      [&](SmartPtr<SymbolAnnotation>& s) { ExpectAttachable(s); });
  sweep.Run(
      "OnShapeInstanceCreate", attached,
      [&](SmartPtr<SymbolAnnotation>& s) { s->OnShapeInstanceCreate(housing, true, false); },
      [&](SmartPtr<SymbolAnnotation>& s) { ExpectAttachable(s); });
  sweep.Run(
      "AddSelectedPart (picked)",
      [&] {
        SymbolInfo record = Record3D();
        record.connectedParts.pop_back();
        SmartPtr<SymbolAnnotation> symbol(new SymbolAnnotation());
        symbol->SetSymbolInfo(record);
        EXPECT_TRUE(symbol->AttachScene(Scene()));
        EXPECT_TRUE(Settle());
        return symbol;
      },
      [&](SmartPtr<SymbolAnnotation>& s) { s->AddSelectedPart(plate, scene, {}, geo::DPoint3D()); },
      [&](SmartPtr<SymbolAnnotation>& s) {
        s->AddSelectedPart(ShapeOf("/3"), scene, {}, geo::DPoint3D());
        EXPECT_EQ(s->GetConnectedParts().size(), 2u);
        EXPECT_TRUE(s->isConnectedPart(ShapeOf("/3")));
        s->DetachScene();
      });
  sweep.Run(
      "AddSelectedPart (by path)", configured,
      [&](SmartPtr<SymbolAnnotation>& s) { s->AddSelectedPart(platePath, geo::DPoint3D(), geo::DVec3(), weldPath); },
      [](SmartPtr<SymbolAnnotation>& s) {
        const size_t parts = s->GetConnectedParts().size();
        EXPECT_TRUE(parts == 2u || parts == 3u);
        EXPECT_EQ(s->isConnectedPart(util::Symbol("/W/P")), parts == 3u);
        s->AddSelectedPart(util::Symbol("/W/P"), geo::DPoint3D(), geo::DVec3(), util::Symbol("/W"));
        EXPECT_EQ(s->GetConnectedParts().size(), 3u);
      });
  // Detached, the symbol resolves SBOM paths through the authoring application's tree.
  oxkapp::illustration::OrbisApp::GetOrbisApp()->SetSbomTree(
      util::DynamicCast<oxk::illustration::Illustration3dScene>(scene)->GetSbomTree());
  sweep.Run(
      "RemoveUnvalidParts",
      [&] {
        SmartPtr<SymbolAnnotation> symbol = Symbol3D();
        symbol->AddSelectedPart(util::Symbol("/gone"), geo::DPoint3D(), geo::DVec3(), {});
        EXPECT_TRUE(symbol->AttachScene(Scene()));  // drops /gone once attached
        EXPECT_TRUE(Settle());
        symbol->DetachScene();
        symbol->AddSelectedPart(util::Symbol("/gone"), geo::DPoint3D(), geo::DVec3(), {});
        EXPECT_EQ(symbol->GetConnectedParts().size(), 3u);
        return symbol;
      },
      [](SmartPtr<SymbolAnnotation>& s) { s->RemoveUnvalidParts(); },
      [](SmartPtr<SymbolAnnotation>& s) {
        const size_t parts = s->GetConnectedParts().size();
        EXPECT_TRUE(parts == 2u || parts == 3u);
        EXPECT_EQ(s->isConnectedPart(util::Symbol("/gone")), parts == 3u);
        s->RemoveUnvalidParts();
        EXPECT_EQ(s->GetConnectedParts().size(), 2u);
      });
  sweep.Run(
      "CreatePreview", configured, [&](SmartPtr<SymbolAnnotation>& s) { s->CreatePreview(scene); },
      [&](SmartPtr<SymbolAnnotation>& s) {
        s->CreatePreview(scene);
        EXPECT_TRUE(s->GetPreviewShapeInstance());
        s->RemovePreview(scene);
      });
  sweep.Run(
      "OnShapeInstanceRemove",
      [&] {
        SmartPtr<SymbolAnnotation> symbol = Attached3D();
        SmartPtr<oxk::AnnoSet> set(new oxk::AnnoSet());
        EXPECT_TRUE(set->AddAnnotation(symbol));
        return std::make_pair(symbol, set);
      },
      [](auto& pair) { pair.first->OnShapeInstanceRemove(pair.first->GetShapeInstance()); },
      [](auto& pair) {
        pair.first->OnShapeInstanceRemove(pair.first->GetShapeInstance());
        EXPECT_EQ(pair.second->GetCount(), 0u);
        pair.first->DetachScene();
      });
  sweep.Run(
      "GetObjectDescription", configured, [](SmartPtr<SymbolAnnotation>& s) { (void)s->GetObjectDescription(); },
      [](SmartPtr<SymbolAnnotation>& s) { EXPECT_NE(s->GetObjectDescription().find("Wrench"), std::string::npos); });
}

TEST_F(FaultOutOfMemory, FlattenedSymbol) {
  Sweep sweep("SymbolAnnotationFlattened");
  auto record = [] {
    SymbolInfoFlattened info;
    info.title = "Wrench";
    info.fileName = util::Symbol("wrench.obj");
    info.name = util::Symbol("W");
    info.id = util::Symbol("sym3");
    info.xform = geo::FMat33(0, -1, 40, 1, 0, 25, 0, 0, 1);
    return info;
  };
  const SymbolInfoFlattened flattened = record();
  auto fresh = [] { return SmartPtr<SymbolAnnotationFlattened>(new SymbolAnnotationFlattened()); };
  auto configured = [&] {
    SmartPtr<SymbolAnnotationFlattened> symbol = fresh();
    symbol->SetSymbolInfo(record());
    return symbol;
  };
  const std::string reference =
      ContentText([&](const SmartPtr<SerializedContentElement>& d) { configured()->SerializeContent(d); });
  const SmartPtr<SerializedContentElement> content = oxk::ContentFile::FromText(reference);
  ASSERT_TRUE(content);
  auto appliedWholeOrNot = [&](SmartPtr<SymbolAnnotationFlattened>& s) {
    const bool applied = s->GetTitle() == "Wrench";
    EXPECT_EQ(s->GetInstancePathId() == "sym3", applied);
    s->SetSymbolInfo(record());
    EXPECT_EQ(ContentText([&](const SmartPtr<SerializedContentElement>& d) { s->SerializeContent(d); }), reference);
  };
  const size_t elementsBefore = page->GetDocument2D()->GetTree()->GetChildren().size();

  sweep.Run(
      "SetSymbolInfo", fresh, [&](SmartPtr<SymbolAnnotationFlattened>& s) { s->SetSymbolInfo(flattened); },
      appliedWholeOrNot);
  sweep.Run(
      "InitializeFromSerializedContent", fresh,
      [&](SmartPtr<SymbolAnnotationFlattened>& s) {
        EXPECT_TRUE(s->InitializeFromSerializedContent(content, nullptr));
      },
      appliedWholeOrNot);
  sweep.Run(
      "SerializeContent", WithDocument(configured), [](auto& c) { c.first->SerializeContent(c.second); },
      [&](auto& c) {
        EXPECT_EQ(ContentText([&](const SmartPtr<SerializedContentElement>& d) { c.first->SerializeContent(d); }),
                  reference);
      });
  sweep.Run(
      "Visit", WithDocument(configured), [](auto& c) { c.first->Visit(c.second); },
      [](auto& c) { c.first->Visit(NewDocument()); });
  sweep.Run(
      "Clone", configured, [](SmartPtr<SymbolAnnotationFlattened>& s) { (void)s->Clone(); },
      [](SmartPtr<SymbolAnnotationFlattened>& s) { EXPECT_TRUE(s->Clone()); });
  sweep.Run(
      "AttachScene", configured,
      [&](SmartPtr<SymbolAnnotationFlattened>& s) { (void)s->AttachScene(SmartPtr<oxk::Scene>(page.get())); },
      [&](SmartPtr<SymbolAnnotationFlattened>& s) {
        // In the scene's list exactly when attached.
        const SmartPtr<oxk::Annotation> self(s.get());
        bool listed = false;
        for (const auto& held : page->GetAnnotations()) {
          listed = listed || held == self;
        }
        EXPECT_EQ(listed, !s->GetScenes().empty());
        EXPECT_TRUE(s->AttachScene(SmartPtr<oxk::Scene>(page.get())));
        EXPECT_EQ(s->GetScenes().size(), 1u);
        page->RemoveAnnotation(self);
        s->DetachScene();
      });
  size_t made = 0;
  sweep.Run(
      "CreateAnnotation2D",
      [&] {
        SmartPtr<SymbolAnnotationFlattened> symbol = configured();
        // An identifier path of its own, so that the document holds no element for it yet.
        symbol->SetIDPath(util::Symbol("/flat" + std::to_string(made++)));
        return symbol;
      },
      [&](SmartPtr<SymbolAnnotationFlattened>& s) { s->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.get())); },
      [&](SmartPtr<SymbolAnnotationFlattened>& s) {
        const size_t before = page->GetDocument2D()->GetTree()->GetChildren().size();
        s->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.get()));
        const size_t after = page->GetDocument2D()->GetTree()->GetChildren().size();
        EXPECT_LE(after - before, 1u);  // one element at most, whether the failing run made it or not
      });
  // Every symbol of the sweep made one element, not two.
  EXPECT_EQ(page->GetDocument2D()->GetTree()->GetChildren().size() - elementsBefore, made);
}

TEST_F(FaultOutOfMemory, Symbol2D) {
  Sweep sweep("Symbol2D");
  const std::string reference =
      ContentText([&](const SmartPtr<SerializedContentElement>& d) { Symbol2DOf()->Visit(d); });
  SmartPtr<SerializedContentElement> saved = oxk::ContentFile::FromText(reference);
  ASSERT_TRUE(saved);
  const SmartPtr<SerializedContentElement> content = saved->GetChildren(util::Symbol("symbol2d")).at(0);
  auto fresh = [] { return SmartPtr<Symbol2D>(new Symbol2D()); };
  auto configured = [&] { return Symbol2DOf(); };
  auto attached = [&] { return Attached2D(); };
  auto appliedWholeOrNot = [&](SmartPtr<Symbol2D>& s) {
    oxcommon::SequencerTagList tags;
    s->GetSequencerTags(tags);
    const bool applied = s->GetTitle() == "Gloves";
    EXPECT_EQ(tags.size(), applied ? 1u : 0u);
    EXPECT_EQ(s->GetImageFileName() == "wide.png", applied);
    s->SetSymbolInfo(Record2D());
    EXPECT_EQ(s->GetTitle(), "Gloves");
  };
  // Back to normal: attached once more, the stamp shows the image in the scene.
  auto expectShown = [&](SmartPtr<Symbol2D>& s) {
    s->DetachScene();
    EXPECT_TRUE(s->AttachScene(Scene()));
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(s->GetMarkup());
    EXPECT_TRUE(s->GetMarkup()->GetImage());
    EXPECT_EQ(s->GetScenes().size(), 1u);
    s->DetachScene();
  };

  const Symbol2DInfo record2D = Record2D();
  sweep.Run(
      "SetSymbolInfo", fresh, [&](SmartPtr<Symbol2D>& s) { s->SetSymbolInfo(record2D); }, appliedWholeOrNot);
  sweep.Run(
      "InitializeFromSerializedContent", fresh,
      [&](SmartPtr<Symbol2D>& s) { EXPECT_TRUE(s->InitializeFromSerializedContent(content, nullptr)); },
      appliedWholeOrNot);
  sweep.Run(
      "Visit", WithDocument(configured), [](auto& c) { c.first->Visit(c.second); },
      [&](auto& c) {
        EXPECT_EQ(ContentText([&](const SmartPtr<SerializedContentElement>& d) { c.first->Visit(d); }), reference);
      });
  sweep.Run(
      "SerializeContent", WithDocument(configured), [](auto& c) { c.first->SerializeContent(c.second); },
      [](auto& c) { c.first->SerializeContent(NewDocument()); });
  sweep.Run(
      "AttachScene", configured, [&](SmartPtr<Symbol2D>& s) { (void)s->AttachScene(Scene()); }, expectShown);
  sweep.Run(
      "DetachScene", attached, [](SmartPtr<Symbol2D>& s) { EXPECT_TRUE(s->DetachScene()); }, expectShown);
  sweep.Run(
      "LoadImage", attached, [](SmartPtr<Symbol2D>& s) { s->LoadImage(nullptr); }, expectShown);
  sweep.Run(
      "Clone", configured, [](SmartPtr<Symbol2D>& s) { (void)s->Clone(); },
      [](SmartPtr<Symbol2D>& s) { EXPECT_TRUE(s->Clone()); });
  sweep.Run(
      "CreateAnnotation2D", configured,
      [&](SmartPtr<Symbol2D>& s) { s->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.get())); },
      [&](SmartPtr<Symbol2D>& s) {
        if (!s->GetStamp2D()) {
          s->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.get()));
        }
        EXPECT_TRUE(s->GetStamp2D());
      });
  sweep.Run(
      "CompleteAnnotation2D",
      [&] {
        SmartPtr<Symbol2D> symbol = Symbol2DOf();
        symbol->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.get()));
        return std::make_pair(symbol, SmartPtr<oxk::AsyncEvent>(new oxk::AsyncEvent()));
      },
      [&](auto& pair) { pair.first->CompleteAnnotation2D(SmartPtr<oxk::Scene>(page.get()), pair.second); },
      [&](auto& pair) {
        // The caller's event completes whether the load could start or not.
        EXPECT_TRUE(pair.second->IsComplete());
        pair.first->CompleteAnnotation2D(SmartPtr<oxk::Scene>(page.get()), pair.second);
        ASSERT_TRUE(Settle());
        EXPECT_TRUE(pair.first->GetStamp2D()->GetImage());
      });
  sweep.Run(
      "MarkupUpdated",
      [&] {
        SmartPtr<Symbol2D> symbol = Attached2D();
        return std::make_pair(symbol, SmartPtr<oxk::Operation>(new oxk::Operation()));
      },
      [](auto& pair) {
        const SmartPtr<oxk::Markup> markup(pair.first->GetMarkup().get());
        (void)pair.first->MarkupUpdated(markup, {}, pair.second);
      },
      [](auto& pair) {
        const SmartPtr<oxmk::Stamp> markup = pair.first->GetMarkup();
        markup->SetCenter(geo::DPoint3D(7, 8, 0));
        EXPECT_TRUE(pair.first->MarkupUpdated(SmartPtr<oxk::Markup>(markup.get()), {}, pair.second));
        EXPECT_EQ(pair.first->GetCenter(), geo::DPoint3D(7, 8, 0));
        pair.first->DetachScene();
      });
  sweep.Run(
      "GetObjectDescription", configured, [](SmartPtr<Symbol2D>& s) { (void)s->GetObjectDescription(); },
      [](SmartPtr<Symbol2D>& s) { EXPECT_NE(s->GetObjectDescription().find("Gloves"), std::string::npos); });
}

}  // namespace
