// Flattening a document's view into a drawing against reading the meshes it draws:
// models of 250 and 1,000 parts of about 2,000 triangles each (spheres and cylinders of
// many sides, set in a cube of rows so that most parts hide others in part), flattened
// to an SVG page, against the OBJ reader reading every part's file in the same run.
// The flattening's cost per part at 1,000 parts against 250 shows a step that grows
// faster than the parts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Document.h"
#include "DocumentFlattener.h"
#include "ToolSetup.h"
#include "oxk/World.h"
#include "oxloader/Loader.h"

namespace {

namespace fs = std::filesystem;
using symbols_tool::Document;

constexpr int kMeshFiles = 20;

const fs::path& Scratch() {
  static const fs::path folder = fs::temp_directory_path() / ("oxsymbols-bench-flatten-" + std::to_string(::getpid()));
  return folder;
}

// A sphere of 40 slices and 26 stacks (2,000 triangles) or a cylinder of 501 sides
// (2,000 triangles), a little different in each file.
void WriteMesh(const fs::path& path, int variant) {
  std::ofstream out(path);
  const double r = 10 + variant % 5;
  std::vector<std::vector<int>> faces;
  int vertices = 0;
  auto vertex = [&](double x, double y, double z) {
    out << "v " << x << " " << y << " " << z << "\n";
    return ++vertices;
  };
  if (variant % 2 == 0) {
    const int slices = 40, stacks = 26;
    const int south = vertex(0, 0, -r);
    std::vector<std::vector<int>> rings;
    for (int i = 1; i < stacks; ++i) {
      const double polar = std::numbers::pi * i / stacks;
      rings.emplace_back();
      for (int j = 0; j < slices; ++j) {
        const double a = 2 * std::numbers::pi * (j + 0.1 * variant) / slices;
        rings.back().push_back(
            vertex(r * std::sin(polar) * std::cos(a), r * std::sin(polar) * std::sin(a), -r * std::cos(polar)));
      }
    }
    const int north = vertex(0, 0, r);
    for (int j = 0; j < slices; ++j) {
      const int k = (j + 1) % slices;
      faces.push_back({south, rings.front()[k], rings.front()[j]});
      faces.push_back({north, rings.back()[j], rings.back()[k]});
      for (size_t i = 0; i + 1 < rings.size(); ++i) {
        faces.push_back({rings[i][j], rings[i][k], rings[i + 1][k], rings[i + 1][j]});
      }
    }
  } else {
    const int sides = 501;
    std::vector<int> bottom, top;
    for (int j = 0; j < sides; ++j) {
      const double a = 2 * std::numbers::pi * j / sides;
      bottom.push_back(vertex(r * std::cos(a), r * std::sin(a), -r));
    }
    for (int j = 0; j < sides; ++j) {
      const double a = 2 * std::numbers::pi * j / sides;
      top.push_back(vertex(r * std::cos(a), r * std::sin(a), r));
    }
    for (int j = 0; j < sides; ++j) {
      const int k = (j + 1) % sides;
      faces.push_back({bottom[j], bottom[k], top[k], top[j]});
    }
    faces.push_back(top);
    faces.push_back(std::vector<int>(bottom.rbegin(), bottom.rend()));
  }
  for (const auto& face : faces) {
    out << "f";
    for (const int index : face) {
      out << " " << index;
    }
    out << "\n";
  }
}

// The model: parts in a cube of rows, 10 a row, 30 units apart.
std::string WriteModel(int parts) {
  const fs::path folder = Scratch() / ("model-" + std::to_string(parts));
  fs::create_directories(folder);
  for (int i = 0; i < kMeshFiles; ++i) {
    WriteMesh(folder / ("part" + std::to_string(i) + ".obj"), i);
  }
  std::ofstream model(folder / "model.xml");
  model << "<model name=\"Cube of parts\">";
  for (int i = 0; i < parts; ++i) {
    model << "<part id=\"" << i + 1 << "\" name=\"Part " << i + 1 << "\" shape=\"part" << i % kMeshFiles
          << ".obj\" position=\"" << (i % 10) * 30 << " " << (i / 10 % 10) * 30 << " " << (i / 100) * 30 << "\"/>";
  }
  model << "</model>\n";
  return (folder / "model.xml").string();
}

// A document of each size, opened once: its meshes loaded, its view made.
struct Prepared {
  std::unique_ptr<Document> document;
  std::vector<std::string> files;  // each part's shape file, as the document reads them
};

std::map<int, Prepared>& Made() {
  static std::map<int, Prepared> made;
  return made;
}

Prepared& Prepare(int parts) {
  std::map<int, Prepared>& made = Made();
  auto found = made.find(parts);
  if (found != made.end()) {
    return found->second;
  }
  const std::string model = WriteModel(parts);
  const std::string folder = (Scratch() / ("document-" + std::to_string(parts))).string();
  Prepared prepared;
  prepared.document = std::make_unique<Document>();
  std::string error;
  if (!Document::Create(model, folder, error) || !prepared.document->Open(folder, Document::Access::kRead, error)) {
    std::fprintf(stderr, "bench_flatten: %s\n", error.c_str());
    std::exit(1);
  }
  for (int i = 0; i < parts; ++i) {
    prepared.files.push_back(folder + "/part" + std::to_string(i % kMeshFiles) + ".obj");
  }
  return made.emplace(parts, std::move(prepared)).first->second;
}

void BM_Flatten(benchmark::State& state) {
  Prepared& prepared = Prepare(static_cast<int>(state.range(0)));
  const std::string out = (Scratch() / "page.svg").string();
  for (auto _ : state) {
    symbols_tool::FlattenSummary summary;
    std::string error;
    if (!symbols_tool::FlattenToSvg(*prepared.document, out, summary, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(summary.parts);
  }
}

// The floor: the OBJ reader reading every part's file, one after another.
void BM_ReadMeshes(benchmark::State& state) {
  const Prepared& prepared = Prepare(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    size_t triangles = 0;
    for (const std::string& file : prepared.files) {
      const util::SmartPtr<oxk::Shape> shape(new oxk::Shape());
      if (oxloader::Loader::ReadObj(file, *shape) != oxloader::Loader::kOk) {
        state.SkipWithError(("cannot read " + file).c_str());
        return;
      }
      triangles += shape->GetTriangleCount();
    }
    benchmark::DoNotOptimize(triangles);
    state.counters["triangles"] = static_cast<double>(triangles);
  }
}

BENCHMARK(BM_Flatten)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_ReadMeshes)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  symbols_tool::Locations locations;
  locations.base = symbols_tool::ToolSetup::SampleBase();
  std::string error;
  if (!symbols_tool::ToolSetup::Install(locations, error)) {
    std::fprintf(stderr, "bench_flatten: %s\n", error.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchsupport::BestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nRatios:\n");
  reporter.PrintRatio("Flatten 1,000 parts / read their meshes", "BM_Flatten/1000/", "BM_ReadMeshes/1000/", 20);
  const double small = reporter.Find("BM_Flatten/250/");
  const double large = reporter.Find("BM_Flatten/1000/");
  if (small > 0 && large > 0) {
    benchsupport::BestRunReporter::PrintRatio("Flatten cost per part, 1,000 / 250 parts",
                                              (large / 1000) / (small / 250), 2);
  }
  benchmark::Shutdown();
  Made().clear();  // the documents close before their world goes
  oxk::World::SetWorld({});
  std::error_code ignored;
  fs::remove_all(Scratch(), ignored);
  return 0;
}
