// How 3D symbols follow their parts: a model of N parts with one symbol connected to
// each, and within one scene update 100 of the parts move. Every move is told to every
// symbol's scene observer, so a move costs O(N); what matters is how little an observer
// the move does not concern costs. The floor is a loop of virtual calls, one per
// observer, each comparing the moved instance's identifier path with one stored path.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "oxk/ComponentInstance.h"
#include "oxk/ModelFile.h"
#include "oxloader/Loader.h"
#include "symbol3d/SymbolAnnotation.h"
#include "util/FileSystem.h"

namespace {

using namespace std::chrono_literals;
using util::SmartPtr;

constexpr int kMoved = 100;

// "/" and the number, appended: GCC 12 at -O3 reports a false -Wrestrict overlap for
// "/" + std::to_string(i).
util::Symbol PartPath(int i) {
  std::string path = "/";
  path += std::to_string(i);
  return util::Symbol(path);
}

// Counts the location notifications of one update, to divide the time by.
class NotificationCounter : public oxk::ShapeSceneObserver {
 public:
  void OnShapeInstanceLocation(const SmartPtr<oxk::ShapeInstance>&) override { ++count; }
  long count = 0;
};

// A model with one symbol on each part, kept for the whole run.
struct FollowModel {
  explicit FollowModel(int parts) {
    char pattern[] = "/tmp/oxsymbols-bench-follow-XXXXXX";
    folder = ::mkdtemp(pattern);
    std::ofstream(folder + "/cube.obj") << "v -1 -1 -1\nv 1 -1 -1\nv 1 1 1\nv -1 1 1\nf 1 2 3 4\n";
    std::ofstream(folder + "/wrench.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    std::ofstream model(folder + "/model.xml");
    model << "<model>";
    for (int i = 1; i <= parts; ++i) {
      model << "<part id=\"" << i << "\" shape=\"cube.obj\" position=\"" << 3 * i << " 0 0\"/>";
    }
    model << "</model>";
    model.close();
    std::string error;
    if (!oxk::ModelFile::Open(folder + "/model.xml", true, world, scene, &error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
    oxk::World::SetWorld(world);
    oxloader::Loader::GetLoader()->WaitUntilIdle(600s);
    SmartPtr<oxk::Tree> tree;
    world->GetTree(tree);
    for (int i = 1; i <= parts; ++i) {
      oxannotations::SymbolInfo record;
      record.fileName = util::Symbol("wrench.obj");
      record.name = util::Symbol("Wrench");
      record.isAnnotationSymbol = true;
      const util::Symbol path = PartPath(i);
      record.connectedParts.push_back({path, {}, geo::DPoint3D(3.0 * i, 0, 0), geo::DVec3(0, 2, 0)});
      SmartPtr<oxannotations::SymbolAnnotation> symbol(new oxannotations::SymbolAnnotation());
      symbol->SetSymbolInfo(record);
      symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get()));
      symbols.push_back(symbol);
      SmartPtr<oxk::ComponentInstance> component;
      tree->FindInstance(path)->GetComponentInstance(component);
      components.push_back(component);
    }
    oxloader::Loader::GetLoader()->WaitUntilIdle(600s);
    counter = SmartPtr<NotificationCounter>(new NotificationCounter());
    scene->RegisterObserver(SmartPtr<oxk::ShapeSceneObserver>(counter.get()), 10, true);
  }

  std::string folder;
  SmartPtr<oxk::World> world;
  SmartPtr<oxk::ShapeScene> scene;
  std::vector<SmartPtr<oxannotations::SymbolAnnotation>> symbols;
  std::vector<SmartPtr<oxk::ComponentInstance>> components;
  SmartPtr<NotificationCounter> counter;
};

std::map<int, std::unique_ptr<FollowModel>>& Models() {
  static std::map<int, std::unique_ptr<FollowModel>> models;
  return models;
}

FollowModel& Model(int parts) {
  auto& model = Models()[parts];
  if (!model) {
    model = std::make_unique<FollowModel>(parts);
  }
  oxk::World::SetWorld(model->world);
  return *model;
}

// Notifications per update and parts, measured while the benchmarks run.
std::map<int, double> g_notificationsPerUpdate;

void BM_MoveParts(benchmark::State& state) {
  const int parts = static_cast<int>(state.range(0));
  FollowModel& model = Model(parts);
  const int stride = parts / kMoved;
  double direction = 1;
  long updates = 0;
  const long before = model.counter->count;
  for (auto _ : state) {
    model.scene->BeginUpdate();
    for (int k = 0; k < kMoved; ++k) {
      const auto& component = model.components[static_cast<size_t>(k * stride)];
      geo::Location location = component->GetLocation();
      location.SetPos(location.GetPos() + geo::DVec3(0, 0, direction));
      component->SetLocation(location, true);
    }
    model.scene->EndUpdate();
    direction = -direction;  // back and forth, so nothing drifts
    ++updates;
  }
  g_notificationsPerUpdate[parts] = static_cast<double>(model.counter->count - before) / static_cast<double>(updates);
  state.counters["notifications"] = g_notificationsPerUpdate[parts];
}

// The floor: one virtual call per observer, comparing the moved instance's identifier
// path (as the host gives it) with one stored path.
class PathWatcher {
 public:
  explicit PathWatcher(util::Symbol path) : m_path(path) {}
  virtual ~PathWatcher() = default;
  [[nodiscard]] virtual bool Concerns(const oxk::Instance& moved) const { return moved.GetIdPath() == m_path; }

 private:
  util::Symbol m_path;
};

void BM_ObserverFloor(benchmark::State& state) {
  const int parts = static_cast<int>(state.range(0));
  FollowModel& model = Model(parts);
  std::vector<std::unique_ptr<PathWatcher>> watchers;
  for (int i = 1; i <= parts; ++i) {
    watchers.push_back(std::make_unique<PathWatcher>(PartPath(i)));
  }
  const oxk::Instance& moved = *model.components[0];
  for (auto _ : state) {
    int hits = 0;
    for (const auto& watcher : watchers) {
      hits += watcher->Concerns(moved) ? 1 : 0;
    }
    benchmark::DoNotOptimize(hits);
  }
}

BENCHMARK(BM_MoveParts)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3);
BENCHMARK(BM_ObserverFloor)->Arg(10000)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.5)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  benchsupport::InitializeInterleaved(argc, argv);
  benchsupport::BestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const double small = reporter.Find("BM_MoveParts/1000/");
  const double large = reporter.Find("BM_MoveParts/10000/");
  const double floor = reporter.Find("BM_ObserverFloor/10000/") / 10000;
  const double notifications = g_notificationsPerUpdate[10000];
  std::printf("\nRatios:\n");
  if (small > 0 && large > 0) {
    benchsupport::BestRunReporter::PrintRatio("Moving 100 of N parts in one update, N 10,000 / 1,000", large / small,
                                              12);
  }
  if (large > 0 && floor > 0 && notifications > 0) {
    const double perObserver = large / (notifications * 10000);
    benchsupport::BestRunReporter::PrintRatio("Per observer and notification / floor, 10,000 parts",
                                              perObserver / floor, 20);
    std::printf("  per observer and notification: %.2f ns, floor %.2f ns, %.0f notifications per update\n", perObserver,
                floor, notifications);
  }
  benchmark::Shutdown();
  oxk::World::SetWorld({});
  std::error_code ignored;
  for (const auto& [parts, model] : Models()) {
    std::filesystem::remove_all(model->folder, ignored);
  }
  return 0;
}
