// A scene of parts with 3D symbols on them, and test doubles that watch what the symbols do.
#pragma once

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

namespace symbol_parts {

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

inline void ExpectNear(const geo::DPoint3D& a, const geo::DPoint3D& b) {
  EXPECT_NEAR(a.x, b.x, 1e-5);
  EXPECT_NEAR(a.y, b.y, 1e-5);
  EXPECT_NEAR(a.z, b.z, 1e-5);
}

}  // namespace symbol_parts
