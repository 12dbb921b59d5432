// How 3D symbols follow their parts: a model of N parts with one symbol connected to
// each, and within one scene update 100 of the parts move. A move is told only to the
// observers that follow the moved part, so its cost should not depend on N. The floor is
// the same moves in a model of N parts without symbols, measured in the same run.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
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

// A model with one symbol on each part (or none), kept for the whole run.
struct FollowModel {
  FollowModel(int parts, bool withSymbols) {
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
      const util::Symbol path = PartPath(i);
      SmartPtr<oxk::ComponentInstance> component;
      tree->FindInstance(path)->GetComponentInstance(component);
      components.push_back(component);
      if (!withSymbols) {
        continue;
      }
      oxannotations::SymbolInfo record;
      record.fileName = util::Symbol("wrench.obj");
      record.name = util::Symbol("Wrench");
      record.isAnnotationSymbol = true;
      record.connectedParts.push_back({path, {}, geo::DPoint3D(3.0 * i, 0, 0), geo::DVec3(0, 2, 0)});
      SmartPtr<oxannotations::SymbolAnnotation> symbol(new oxannotations::SymbolAnnotation());
      symbol->SetSymbolInfo(record);
      symbol->AttachScene(SmartPtr<oxk::Scene>(scene.get()));
      symbols.push_back(symbol);
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

// By number of parts, negative for the models without symbols.
std::map<int, std::unique_ptr<FollowModel>>& Models() {
  static std::map<int, std::unique_ptr<FollowModel>> models;
  return models;
}

FollowModel& Model(int parts, bool withSymbols) {
  auto& model = Models()[withSymbols ? parts : -parts];
  if (!model) {
    model = std::make_unique<FollowModel>(parts, withSymbols);
  }
  oxk::World::SetWorld(model->world);
  return *model;
}

void MoveParts(benchmark::State& state, bool withSymbols) {
  const int parts = static_cast<int>(state.range(0));
  FollowModel& model = Model(parts, withSymbols);
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
  state.counters["notifications"] =
      static_cast<double>(model.counter->count - before) / static_cast<double>(std::max(updates, 1L));
}

void BM_MoveParts(benchmark::State& state) {
  MoveParts(state, true);
}

// The floor: the same moves of parts that no symbol follows.
void BM_MovePartsWithoutSymbols(benchmark::State& state) {
  MoveParts(state, false);
}

BENCHMARK(BM_MoveParts)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3);
BENCHMARK(BM_MovePartsWithoutSymbols)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0)
    ->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  benchsupport::InitializeInterleaved(argc, argv);
  benchsupport::BestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nRatios:\n");
  reporter.PrintRatio("Moving 100 of N parts in one update, N 10,000 / 1,000", "BM_MoveParts/10000/",
                      "BM_MoveParts/1000/", 12);
  // Each moved part moves its symbol: the symbols' share of the update.
  reporter.PrintRatio("Moving 100 of 10,000 parts, with a symbol on each / without", "BM_MoveParts/10000/",
                      "BM_MovePartsWithoutSymbols/10000/", 20);
  benchmark::Shutdown();
  oxk::World::SetWorld({});
  std::error_code ignored;
  for (const auto& [parts, model] : Models()) {
    std::filesystem::remove_all(model->folder, ignored);
  }
  return 0;
}
