// Documents at scale, measured two ways in one run.
//
// In process: opening a model of N parts with a 3D symbol on each part and N stamps,
// until every symbol is loaded and placed and every image is in, against opening the same
// model without annotations, at two sizes, so that a step that grows faster than the
// annotations shows as a rising cost per annotation.
//
// As a user meets them: the symbols tool, each command a process of its own with its
// wall time and peak memory, on generated documents: 1, 1,000 and 10,000 stamps sharing
// one image; 10,000 stamps over 20 images; 500 and 5,000 3D symbols, one on each of as
// many parts, plus as many stamps; 5,000 symbols that all follow one part. The floor is
// pugixml parsing the same model.xml and annotations.xml (and, for edits, parsing and
// saving both with flush and rename), measured in the same run.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Document.h"
#include "DocumentOperations.h"
#include "GeneratedPicture.h"
#include "SavedProperty.h"
#include "ToolSetup.h"
#include "ToolSpawner.h"
#include "catalogue/PartslibraryList.h"
#include "oximg/Image.h"
#include "oxk/World.h"

namespace {

namespace fs = std::filesystem;
using symbols_tool::Document;

// Where the documents are made: a temporary folder removed at the end, or the folder
// given with --write-documents.
fs::path g_scratch;

const fs::path& Scratch() {
  if (g_scratch.empty()) {
    g_scratch = fs::temp_directory_path() / ("oxsymbols-bench-document-" + std::to_string(::getpid()));
  }
  return g_scratch;
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_document: %s\n", what.c_str());
  std::exit(1);
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::string kBoxObj =
    "v 0 0 0\nv 8 0 0\nv 8 8 0\nv 0 8 0\nv 0 0 8\nv 8 0 8\nv 8 8 8\nv 0 8 8\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

// ---- Opening in process -------------------------------------------------------------

// The model: N boxes in rows, each a part of its own.
std::string WriteGridModel(int parts) {
  const fs::path folder = Scratch() / ("model-" + std::to_string(parts));
  fs::create_directories(folder);
  std::ofstream(folder / "box.obj") << kBoxObj;
  std::ofstream model(folder / "model.xml");
  model << "<model name=\"Grid\">";
  for (int i = 1; i <= parts; ++i) {
    model << "<part id=\"" << i << "\" name=\"Box " << i << "\" shape=\"box.obj\" position=\"" << (i % 40) * 10 << " "
          << (i / 40) * 10 << " 0\"/>";
  }
  model << "</model>\n";
  return (folder / "model.xml").string();
}

struct OpenDocuments {
  std::string annotated;
  std::string bare;
};

// Both documents of a size, made once through the same operations as the tool's commands.
const OpenDocuments& PrepareOpen(int parts) {
  static std::map<int, OpenDocuments> made;
  auto found = made.find(parts);
  if (found != made.end()) {
    return found->second;
  }
  const std::string model = WriteGridModel(parts);
  OpenDocuments documents{(Scratch() / ("annotated-" + std::to_string(parts))).string(),
                          (Scratch() / ("bare-" + std::to_string(parts))).string()};
  std::string error;
  oxsymbols::PartslibraryList catalogue;
  catalogue.ReadPreferencesXML(false);
  const auto shape = catalogue.GetOlFromOlList(3);
  const auto image = catalogue.GetImageFromImageList(1);
  if (!Document::Create(model, documents.bare, error) || !Document::Create(model, documents.annotated, error) ||
      !shape || !image) {
    Fail(error);
  }
  Document document;
  if (!document.Open(documents.annotated, Document::Access::kWrite, error)) {
    Fail(error);
  }
  for (int i = 1; i <= parts; ++i) {
    util::Symbol id;
    symbols_tool::StampRequest request;
    request.centerX = 20 + (i % 40) * 20;
    request.centerY = 20 + (i / 40) * 20;
    request.width = request.height = 16;
    if (!symbols_tool::PlaceSymbol(document, *shape, {"/" + std::to_string(i)}, id, error) ||
        !symbols_tool::StampSymbol(document, *image, request, id, error)) {
      Fail(error);
    }
  }
  if (!document.Save(error)) {
    Fail(error);
  }
  return made.emplace(parts, documents).first->second;
}

void Open(benchmark::State& state, bool annotated) {
  const OpenDocuments& documents = PrepareOpen(static_cast<int>(state.range(0)));
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

// ---- Generated documents ---------------------------------------------------------------

// The generated documents, by the number the benchmarks take as argument.
enum ScaleDocument : int {
  kStamps1,
  kStamps1000,
  kStamps10000,
  kStamps10000Over20,
  kMixed500,
  kMixed5000,
  kFollow5000,
  kDocumentCount
};

struct GeneratedDocument {
  const char* name;
  int parts;
  int symbols;  // one on each part, or all on part 1 when following
  bool follow;
  int stamps;
  int images;
};

constexpr GeneratedDocument kGeneratedDocuments[kDocumentCount] = {
    {"stamps-1", 1, 0, false, 1, 1},         {"stamps-1000", 1, 0, false, 1000, 1},
    {"stamps-10000", 1, 0, false, 10000, 1}, {"stamps-10000-over-20", 1, 0, false, 10000, 20},
    {"mixed-500", 500, 500, false, 500, 1},  {"mixed-5000", 5000, 5000, false, 5000, 1},
    {"follow-5000", 2, 5000, true, 0, 1},
};

// The saved content of one 3D symbol and one stamp as the tool writes them, taken from a
// small document made through the tool's own operations; the generated documents repeat
// them with their identifiers, parts, places and images changed.
struct Templates {
  std::string head;
  std::string symbol;
  std::string stamp;
  std::string tail;
  std::string symbolFile;  // the symbol's shape file, packed beside the model
  std::string imageFile;   // the stamp's image file
  fs::path folder;         // the small document
};

// A value of an annotation's saved content, read or set in its text.
std::string ValueOf(const std::string& block, const std::string& key) {
  return benchsupport::SavedProperty::Get(block, key);
}

void SetValue(std::string& block, const std::string& key, const std::string& value) {
  if (!benchsupport::SavedProperty::Set(block, key, value)) {
    Fail("the saved content has no " + key);
  }
}

const Templates& TemplatesOnce() {
  static Templates made;
  if (!made.folder.empty()) {
    return made;
  }
  const fs::path modelFolder = Scratch() / "template-model";
  fs::create_directories(modelFolder);
  std::ofstream(modelFolder / "box.obj") << kBoxObj;
  std::ofstream(modelFolder / "model.xml") << "<model name=\"Scale\"><part id=\"1\" name=\"Box 1\" shape=\"box.obj\"/>"
                                              "</model>\n";
  made.folder = Scratch() / "template";
  std::string error;
  oxsymbols::PartslibraryList catalogue;
  catalogue.ReadPreferencesXML(false);
  const auto shape = catalogue.GetOlFromOlList(3);
  const auto image = catalogue.GetImageFromImageList(1);
  if (!shape || !image || !Document::Create((modelFolder / "model.xml").string(), made.folder.string(), error)) {
    Fail("cannot make the template document: " + error);
  }
  {
    Document document;
    util::Symbol id;
    symbols_tool::StampRequest request;
    request.centerX = request.centerY = 20;
    request.width = request.height = 16;
    if (!document.Open(made.folder.string(), Document::Access::kWrite, error) ||
        !symbols_tool::PlaceSymbol(document, *shape, {"/1"}, id, error) ||
        !symbols_tool::StampSymbol(document, *image, request, id, error) || !document.Save(error)) {
      Fail("cannot make the template document: " + error);
    }
  }
  const std::string text = ReadText(made.folder / Document::kContentFile);
  const std::string open = "  <content name=\"annotation\">";
  const size_t first = text.find(open);
  const size_t second = text.find(open, first + open.size());
  const size_t last = text.rfind("</content>");
  if (first == std::string::npos || second == std::string::npos || last == std::string::npos) {
    Fail("the template document's content is not as expected");
  }
  made.head = text.substr(0, first);
  made.symbol = text.substr(first, second - first);
  made.stamp = text.substr(second, last - second);
  made.tail = text.substr(last);
  made.symbolFile = ValueOf(made.symbol, "fileName");
  made.imageFile = ValueOf(made.stamp, "imageFileName");
  return made;
}

struct ScaleDocumentFiles {
  fs::path folder;
  uint64_t distinctImageBytes = 0;
  int annotations = 0;
};

ScaleDocumentFiles g_documents[kDocumentCount];

// Writes a generated document: the model's parts all at the origin (so that one saved
// symbol fits each), the symbols, then the stamps in rows over the page.
void WriteScaleDocument(ScaleDocument which) {
  const GeneratedDocument& shape = kGeneratedDocuments[which];
  const Templates& templates = TemplatesOnce();
  ScaleDocumentFiles& files = g_documents[which];
  files.folder = Scratch() / shape.name;
  fs::create_directories(files.folder);
  for (const auto& entry : fs::directory_iterator(templates.folder)) {
    fs::copy_file(entry.path(), files.folder / entry.path().filename(), fs::copy_options::overwrite_existing);
  }
  std::ofstream model(files.folder / Document::kModelFile);
  model << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<model name=\"Scale\">\n";
  for (int i = 1; i <= shape.parts; ++i) {
    model << "  <part id=\"" << i << "\" name=\"Box " << i << "\" shape=\"box.obj\"/>\n";
  }
  model << "</model>\n";
  model.close();

  std::vector<std::string> images{templates.imageFile};
  files.distinctImageBytes = fs::file_size(files.folder / templates.imageFile);
  for (int k = 1; k < shape.images; ++k) {
    const std::string name = "picture-" + std::to_string(k) + ".png";
    std::string png;
    if (!benchsupport::GeneratedPicture::Png(k, png)) {
      Fail("cannot encode a generated picture");
    }
    std::ofstream(files.folder / name, std::ios::binary) << png;
    images.push_back(name);
    files.distinctImageBytes += png.size();
  }

  std::string text = templates.head;
  for (int i = 1; i <= shape.symbols; ++i) {
    std::string block = templates.symbol;
    const std::string id = "cs" + std::to_string(1000 + i);
    SetValue(block, "idPath", "/" + id);
    SetValue(block, "ID", id);
    SetValue(block, "attachedToPartId", shape.follow ? "/1" : "/" + std::to_string(i));
    text += block;
  }
  for (int i = 1; i <= shape.stamps; ++i) {
    std::string block = templates.stamp;
    SetValue(block, "idPath", "/stamp" + std::to_string(i));
    SetValue(block, "center",
             std::to_string(20 + (i % 40) * 20) + " " + std::to_string(20 + (i / 40 % 28) * 20) + " 0");
    SetValue(block, "imageFileName", images[static_cast<size_t>(i) % images.size()]);
    text += block;
  }
  text += templates.tail;
  std::ofstream(files.folder / Document::kContentFile, std::ios::binary) << text;
  files.annotations = shape.symbols + shape.stamps;
}

const ScaleDocumentFiles& DocumentOf(int which) {
  if (g_documents[which].folder.empty()) {
    WriteScaleDocument(static_cast<ScaleDocument>(which));
  }
  return g_documents[which];
}

// ---- The tool as a process ---------------------------------------------------------------

using benchsupport::ToolRun;
using benchsupport::ToolSpawner;

ToolSpawner g_spawner;

// Runs the tool with its output thrown away (its errors kept in a file for the report).
ToolRun RunTool(const std::vector<std::string>& arguments) {
  const ToolRun run = g_spawner.Run(arguments);
  if (!run.ok) {
    std::fprintf(stderr, "bench_document: symbols %s failed:\n%s", arguments.front().c_str(),
                 ReadText(Scratch() / "tool-errors.txt").c_str());
  }
  return run;
}

// Peak memory of the last listing of each document, and the flattened page's size.
std::map<int, double> g_listPeakKiB;
std::map<int, double> g_svgBytes;

// A fresh copy of a document for an edit, made outside the timing.
fs::path FreshCopy(int which) {
  const fs::path copy = Scratch() / "edited";
  std::error_code ignored;
  fs::remove_all(copy, ignored);
  fs::copy(DocumentOf(which).folder, copy, fs::copy_options::recursive);
  return copy;
}

void TimeTool(benchmark::State& state, const std::vector<std::string>& arguments, ToolRun& last) {
  last = RunTool(arguments);
  if (!last.ok) {
    state.SkipWithError("the tool failed");
    return;
  }
  state.SetIterationTime(last.seconds);
}

void BM_DocList(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string folder = DocumentOf(which).folder.string();
  ToolRun run;
  for (auto _ : state) {
    TimeTool(state, {"doc", "list", folder}, run);
  }
  g_listPeakKiB[which] = run.peakKiB;
  state.counters["peak_MiB"] = run.peakKiB / 1024;
}

void BM_DocStamp(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  ToolRun run;
  for (auto _ : state) {
    const std::string copy = FreshCopy(which).string();
    TimeTool(state, {"doc", "stamp", copy, "--image", "1", "--center", "400,300", "--size", "30,30"}, run);
  }
}

void BM_DocMove(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  ToolRun run;
  for (auto _ : state) {
    const std::string copy = FreshCopy(which).string();
    TimeTool(state, {"doc", "move", copy, "/1", "--by", "0,0,1"}, run);
  }
}

void BM_DocFlatten(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const std::string folder = DocumentOf(which).folder.string();
  const fs::path svg = Scratch() / "flattened.svg";
  ToolRun run;
  for (auto _ : state) {
    TimeTool(state, {"doc", "flatten", folder, "--out", svg.string()}, run);
  }
  std::error_code failed;
  g_svgBytes[which] = static_cast<double>(fs::file_size(svg, failed));
  state.counters["svg_KiB"] = g_svgBytes[which] / 1024;
}

// The floors: pugixml's bare parse of the document's two files, and that parse followed
// by saving both as the tool saves a document (temporary file, flush to disk, rename).
void ParseBoth(const fs::path& folder, pugi::xml_document& model, pugi::xml_document& content) {
  if (!model.load_file((folder / Document::kModelFile).c_str()) ||
      !content.load_file((folder / Document::kContentFile).c_str())) {
    Fail("pugixml cannot parse " + folder.string());
  }
}

void SaveFlushed(const pugi::xml_document& document, const fs::path& path) {
  const std::string temporary = path.string() + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  pugi::xml_writer_file writer(file);
  document.save(writer, "  ");
  std::fflush(file);
  ::fsync(::fileno(file));
  std::fclose(file);
  std::rename(temporary.c_str(), path.c_str());
  const int folder = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
  ::fsync(folder);
  ::close(folder);
}

void BM_ParseFloor(benchmark::State& state) {
  const fs::path folder = DocumentOf(static_cast<int>(state.range(0))).folder;
  for (auto _ : state) {
    pugi::xml_document model;
    pugi::xml_document content;
    ParseBoth(folder, model, content);
    benchmark::DoNotOptimize(content.first_child());
  }
}

void BM_ParseSaveFloor(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path copy = FreshCopy(which);
    state.ResumeTiming();
    pugi::xml_document model;
    pugi::xml_document content;
    ParseBoth(copy, model, content);
    SaveFlushed(model, copy / Document::kModelFile);
    SaveFlushed(content, copy / Document::kContentFile);
  }
}

void ToolRuns(benchmark::internal::Benchmark* run) {
  run->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);
}
void Floors(benchmark::internal::Benchmark* run) {
  run->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
}

BENCHMARK(BM_DocList)
    ->Arg(kStamps1)
    ->Arg(kStamps1000)
    ->Arg(kStamps10000)
    ->Arg(kStamps10000Over20)
    ->Arg(kMixed500)
    ->Arg(kMixed5000)
    ->Apply(ToolRuns);
BENCHMARK(BM_DocStamp)->Arg(kStamps1)->Arg(kStamps10000)->Apply(ToolRuns);
BENCHMARK(BM_DocMove)->Arg(kStamps1)->Arg(kStamps10000)->Arg(kFollow5000)->Apply(ToolRuns);
BENCHMARK(BM_DocFlatten)->Arg(kStamps1)->Arg(kStamps10000)->Apply(ToolRuns);
BENCHMARK(BM_ParseFloor)->Arg(kStamps10000)->Arg(kStamps10000Over20)->Apply(Floors);
BENCHMARK(BM_ParseSaveFloor)->Arg(kStamps10000)->Arg(kFollow5000)->Apply(Floors);

// ---- Ratios ----------------------------------------------------------------------------------

std::string Key(const char* benchmark, int which) {
  return std::string(benchmark) + "/" + std::to_string(which) + "/";
}

void PrintOpenRatios(const benchsupport::BestRunReporter& reporter) {
  const auto ms = [&reporter](const std::string& prefix) { return reporter.Find(prefix) / 1e6; };
  for (const int n : {250, 1000}) {
    const double annotated = ms("BM_OpenAnnotated/" + std::to_string(n) + "/");
    const double bare = ms("BM_OpenBare/" + std::to_string(n) + "/");
    if (annotated > 0 && bare > 0) {
      std::printf("%-58s %7.2f\n",
                  ("Open, " + std::to_string(n) + " symbols + " + std::to_string(n) + " stamps / without").c_str(),
                  annotated / bare);
      std::printf("  %.1f ms against %.1f ms: %.1f us per annotation (symbol or stamp)\n", annotated, bare,
                  (annotated - bare) * 1e3 / (2.0 * n));
    }
  }
  const double small = ms("BM_OpenAnnotated/250/") - ms("BM_OpenBare/250/");
  const double large = ms("BM_OpenAnnotated/1000/") - ms("BM_OpenBare/1000/");
  if (small > 0 && large > 0) {
    std::printf("%-58s %7.2f\n", "Open, cost per annotation 1,000 / 250 (about 1)", (large / 1000) / (small / 250));
  }
}

// Memory of a listing above the 1-stamp document's, per annotation, against 16 KiB per
// annotation plus two decoded copies of each distinct picture.
void PrintMemory(const char* label, int which, int images) {
  const auto found = g_listPeakKiB.find(which);
  const auto one = g_listPeakKiB.find(kStamps1);
  if (found == g_listPeakKiB.end() || one == g_listPeakKiB.end()) {
    return;
  }
  const double annotations = DocumentOf(which).annotations;
  constexpr double kDecodedKiB = 256.0 * 256.0 * 4 / 1024;  // every generated picture is 256 x 256
  const double limit = 16 + 2 * kDecodedKiB * images / annotations;
  benchsupport::BestRunReporter::PrintRatio(label, (found->second - one->second) / annotations, limit);
}

void PrintDocumentRatios(const benchsupport::BestRunReporter& reporter) {
  const auto above = [&reporter](const char* benchmark, int which) {
    const double at = reporter.Find(Key(benchmark, which));
    const double base = reporter.Find(Key(benchmark, kStamps1));
    return at > 0 && base > 0 ? at - base : 0.0;
  };
  const auto ratio = [](double x, double y) { return x > 0 && y > 0 ? x / y : 0.0; };
  const auto print = [](const char* label, double value, double limit) {
    if (value > 0) {
      benchsupport::BestRunReporter::PrintRatio(label, value, limit);
    }
  };
  const double parse = reporter.Find(Key("BM_ParseFloor", kStamps10000));
  const double parseSave = reporter.Find(Key("BM_ParseSaveFloor", kStamps10000));

  PrintMemory("doc list memory above 1 stamp, KiB per stamp, 10,000", kStamps10000, 1);
  PrintMemory("  the same, 10,000 stamps over 20 pictures", kStamps10000Over20, 20);
  print("doc list above 1 stamp / parse floor, 10,000 stamps", ratio(above("BM_DocList", kStamps10000), parse), 20);
  print("  the same, 10,000 stamps over 20 pictures",
        ratio(above("BM_DocList", kStamps10000Over20), reporter.Find(Key("BM_ParseFloor", kStamps10000Over20))), 20);
  reporter.PrintRatio("doc list 10,000 / 1,000 stamps", Key("BM_DocList", kStamps10000), Key("BM_DocList", kStamps1000),
                      12);
  reporter.PrintRatio("doc list 5,000 + 5,000 / 500 + 500 symbols and stamps", Key("BM_DocList", kMixed5000),
                      Key("BM_DocList", kMixed500), 12);
  print("doc stamp above 1 stamp / parse + save floor, 10,000", ratio(above("BM_DocStamp", kStamps10000), parseSave),
        10);
  print("doc move above 1 stamp / parse + save floor, 10,000", ratio(above("BM_DocMove", kStamps10000), parseSave), 10);
  print("doc flatten / parse floor, 10,000 stamps", ratio(reporter.Find(Key("BM_DocFlatten", kStamps10000)), parse),
        20);
  if (const auto svg = g_svgBytes.find(kStamps10000); svg != g_svgBytes.end()) {
    const ScaleDocumentFiles& files = DocumentOf(kStamps10000);
    const double allowed = static_cast<double>(files.distinctImageBytes) * 1.4 + 1024.0 * files.annotations;
    print("doc flatten SVG / (picture bytes x 1.4 + 1 KiB a stamp)", svg->second / allowed, 1);
    std::printf("  %.0f bytes against %.0f allowed\n", svg->second, allowed);
  }
  print("doc move of a part 5,000 symbols follow / parse + save floor",
        ratio(reporter.Find(Key("BM_DocMove", kFollow5000)), reporter.Find(Key("BM_ParseSaveFloor", kFollow5000))), 10);
}

}  // namespace

int main(int argc, char** argv) {
  // --write-documents FOLDER: only makes the generated documents there (for profiling).
  const bool writeOnly = argc == 3 && std::string(argv[1]) == "--write-documents";
  if (writeOnly) {
    g_scratch = fs::absolute(argv[2]);
  }
  fs::create_directories(Scratch());
  if (!writeOnly) {
    ToolSpawner::ErrorsFile() = (Scratch() / "tool-errors.txt").string();
    g_spawner.Start();
  }
  symbols_tool::Locations locations;
  locations.base = symbols_tool::ToolSetup::SampleBase();
  std::string error;
  if (!symbols_tool::ToolSetup::Install(locations, error)) {
    Fail(error);
  }
  if (writeOnly) {
    for (int which = 0; which < kDocumentCount; ++which) {
      std::printf("%s\n", DocumentOf(which).folder.c_str());
    }
    oxk::World::SetWorld({});
    return 0;
  }
  benchsupport::InitializeInterleaved(argc, argv);
  benchsupport::BestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nRatios:\n");
  PrintOpenRatios(reporter);
  PrintDocumentRatios(reporter);
  benchmark::Shutdown();
  oxk::World::SetWorld({});
  std::error_code ignored;
  fs::remove_all(Scratch(), ignored);
  return 0;
}
