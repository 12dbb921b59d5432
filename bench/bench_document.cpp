// Opening a document: a model of N parts with a 3D symbol on each part and N stamps,
// until every symbol is loaded and placed and every image is in, against opening the
// same model without annotations. Run at two sizes, so that a step that grows faster
// than the annotations shows as a rising cost per annotation.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Document.h"
#include "DocumentOperations.h"
#include "ToolSetup.h"
#include "catalogue/PartslibraryList.h"
#include "oxk/World.h"

namespace {

namespace fs = std::filesystem;
using symbols_tool::Document;

const fs::path& Scratch() {
  static const fs::path folder = fs::temp_directory_path() / ("oxsymbols-bench-document-" + std::to_string(::getpid()));
  return folder;
}

// The model: N boxes in rows, each a part of its own.
std::string WriteModel(int parts) {
  const fs::path folder = Scratch() / ("model-" + std::to_string(parts));
  fs::create_directories(folder);
  std::ofstream(folder / "box.obj") << "v 0 0 0\nv 8 0 0\nv 8 8 0\nv 0 8 0\nv 0 0 8\nv 8 0 8\nv 8 8 8\nv 0 8 8\n"
                                       "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";
  std::ofstream model(folder / "model.xml");
  model << "<model name=\"Grid\">";
  for (int i = 1; i <= parts; ++i) {
    model << "<part id=\"" << i << "\" name=\"Box " << i << "\" shape=\"box.obj\" position=\"" << (i % 40) * 10 << " "
          << (i / 40) * 10 << " 0\"/>";
  }
  model << "</model>\n";
  return (folder / "model.xml").string();
}

struct Documents {
  std::string annotated;
  std::string bare;
};

// Both documents of a size, made once through the same operations as the tool's commands.
const Documents& Prepare(int parts) {
  static std::map<int, Documents> made;
  auto found = made.find(parts);
  if (found != made.end()) {
    return found->second;
  }
  const std::string model = WriteModel(parts);
  Documents documents{(Scratch() / ("annotated-" + std::to_string(parts))).string(),
                      (Scratch() / ("bare-" + std::to_string(parts))).string()};
  std::string error;
  oxsymbols::PartslibraryList catalogue;
  catalogue.ReadPreferencesXML(false);
  const auto shape = catalogue.GetOlFromOlList(3);
  const auto image = catalogue.GetImageFromImageList(1);
  if (!Document::Create(model, documents.bare, error) || !Document::Create(model, documents.annotated, error) ||
      !shape || !image) {
    std::fprintf(stderr, "bench_document: %s\n", error.c_str());
    std::exit(1);
  }
  Document document;
  if (!document.Open(documents.annotated, Document::Access::kWrite, error)) {
    std::fprintf(stderr, "bench_document: %s\n", error.c_str());
    std::exit(1);
  }
  for (int i = 1; i <= parts; ++i) {
    util::Symbol id;
    symbols_tool::StampRequest request;
    request.centerX = 20 + (i % 40) * 20;
    request.centerY = 20 + (i / 40) * 20;
    request.width = request.height = 16;
    if (!symbols_tool::PlaceSymbol(document, *shape, {"/" + std::to_string(i)}, id, error) ||
        !symbols_tool::StampSymbol(document, *image, request, id, error)) {
      std::fprintf(stderr, "bench_document: %s\n", error.c_str());
      std::exit(1);
    }
  }
  if (!document.Save(error)) {
    std::fprintf(stderr, "bench_document: %s\n", error.c_str());
    std::exit(1);
  }
  return made.emplace(parts, documents).first->second;
}

void Open(benchmark::State& state, bool annotated) {
  const Documents& documents = Prepare(static_cast<int>(state.range(0)));
  const std::string& folder = annotated ? documents.annotated : documents.bare;
  for (auto _ : state) {
    Document document;
    std::string error;
    if (!document.Open(folder, Document::Access::kRead, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(document.GetAnnotations().size());
    state.PauseTiming();
    document.Close();
    state.ResumeTiming();
  }
}

void BM_OpenAnnotated(benchmark::State& state) {
  Open(state, true);
}
void BM_OpenBare(benchmark::State& state) {
  Open(state, false);
}

BENCHMARK(BM_OpenAnnotated)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(BM_OpenBare)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  symbols_tool::Locations locations;
  locations.base = symbols_tool::ToolSetup::SampleBase();
  std::string error;
  if (!symbols_tool::ToolSetup::Install(locations, error)) {
    std::fprintf(stderr, "bench_document: %s\n", error.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchsupport::BestRunReporter reporter;
  // In milliseconds.
  const auto ms = [&reporter](const std::string& prefix) { return reporter.Find(prefix) / 1e6; };
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nRatios (no limit set; the cost per annotation should not grow with their number):\n");
  for (const int n : {250, 1000}) {
    const double annotated = ms("BM_OpenAnnotated/" + std::to_string(n) + "/");
    const double bare = ms("BM_OpenBare/" + std::to_string(n) + "/");
    if (annotated > 0 && bare > 0) {
      std::printf(
          "%-62s %7.2f\n",
          ("Open with " + std::to_string(n) + " symbols and " + std::to_string(n) + " stamps / without").c_str(),
          annotated / bare);
      std::printf("  %.1f ms against %.1f ms: %.1f us per annotation (symbol or stamp)\n", annotated, bare,
                  (annotated - bare) * 1e3 / (2.0 * n));
    }
  }
  const double small = ms("BM_OpenAnnotated/250/") - ms("BM_OpenBare/250/");
  const double large = ms("BM_OpenAnnotated/1000/") - ms("BM_OpenBare/1000/");
  if (small > 0 && large > 0) {
    std::printf("%-62s %7.2f\n", "Cost per annotation, 1,000 / 250", (large / 1000) / (small / 250));
  }
  benchmark::Shutdown();
  oxk::World::SetWorld({});
  std::error_code ignored;
  fs::remove_all(Scratch(), ignored);
  return 0;
}
