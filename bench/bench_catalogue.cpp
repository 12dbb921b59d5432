// Catalogue speed on generated libraries of 1,000, 10,000 and 100,000 shapes (plus as
// many images, in a hundredth as many categories), each against pugixml doing the bare
// equivalent in the same run. The ratios are printed after the table, with a memory line:
// a fresh process reads the largest library as the tool's commands do, and says how high
// its memory went against the size of the files, and how much of it stayed once the
// catalogue was released.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "BenchSupport.h"
#include "catalogue/PartslibraryImageItem.h"
#include "catalogue/PartslibraryList.h"
#include "catalogue/PartslibraryOlItem.h"
#include "catalogue/PartslibraryUIData.h"
#include "geo/XmlElem.h"
#include "oxk/Preferences.h"
#include "oxk/World.h"
#include "util/FileSystem.h"
#include "util/FreedMemory.h"

namespace oxsymbols {
class PartslibraryListAccess {
 public:
  static void Parse(PartslibraryList& list, const std::string& text) { list.ParseFromFile(text, false, true); }
  // As the tool reads the catalogue: with a report of what each file gave.
  static void ReadReported(PartslibraryList& list) {
    LoadReport report;
    list.ReadPreferencesXML(false, report);
  }
};
}  // namespace oxsymbols

namespace {

using oxsymbols::PartslibraryImageItem;
using oxsymbols::PartslibraryList;
using oxsymbols::PartslibraryOlItem;

// A library file in the writer's layout: shapes, images and categories with the usual
// children; every fifth shape has a coordinate system, every tenth entry tags, every
// twentieth shape a camera.
std::string GenerateLibrary(int shapes, int categories, int firstId, const char* prefix) {
  categories = std::max(1, categories);
  std::string text =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<orbis-library>\n  <units>mm</units>\n"
      "  <information>generated</information>\n  <categories>\n";
  for (int c = 1; c <= categories; ++c) {
    text += "    <category id=\"" + std::to_string(c) + "\">\n      <name>" + prefix + " category " +
            std::to_string(c) +
            "</name>\n      <tooltip>tip</tooltip>\n      <description>about &amp; more</description>\n"
            "    </category>\n";
  }
  text += "  </categories>\n  <shapes>\n";
  const auto tags = [](int i) {
    if (i % 10 != 0) {
      return std::string();
    }
    return std::string(
        "      <tags>\n        <tag type=\"torque\">\n          <description>Torque</description>\n"
        "          <quantity unit=\"Nm\">25</quantity>\n        </tag>\n      </tags>\n");
  };
  for (int i = 0; i < shapes; ++i) {
    const std::string id = std::to_string(firstId + i);
    text +=
        "    <shape id=\"" + id + "\" categoryId=\"" + std::to_string(i % categories + 1) + "\">\n      <name>" +
        prefix + " shape " + id + "</name>\n      <title>Shape " + id +
        "</title>\n      <showTooltipTitle>true</showTooltipTitle>\n      <description>A generated shape "
        "entry</description>\n      <showTooltipDescription>false</showTooltipDescription>\n      "
        "<tooltip></tooltip>\n      <gallery_thumbnail url=\"SymbolsLibrary/standard/2D/shape" +
        id + "_64x64.png\"/> \n      <graphic url=\"SymbolsLibrary/standard/Shape/shape" + id +
        ".obj\"/> \n      <scale>1.5</scale>\n      <orientation>" + (i % 5 == 0 ? "1" : "0") + "</orientation>\n" +
        (i % 5 == 0 ? "      <shape_csys a=\"1\" b=\"0\" c=\"0\" d=\"0\" e=\"1\" f=\"0\" g=\"0\" h=\"0\" i=\"1\" "
                      "pos_x=\"0\" pos_y=\"0\" pos_z=\"10\"/> \n"
                    : "") +
        "      <axis_name>Z</axis_name>\n      <distance_from_csys>2.5</distance_from_csys>\n      "
        "<axis_id>2</axis_id>\n      <annotation_to_symbol>false</annotation_to_symbol>\n      "
        "<use_current_orientation>false</use_current_orientation>\n      <edit_csys_method>1</edit_csys_method>\n" +
        tags(i) +
        (i % 20 == 0 ? "      <camera ortho=\"true\" value=\"120\" location=\"1 0 0 0 1 0 0 0 1 0 0 500\"/>\n" : "") +
        "    </shape>\n";
  }
  text += "  </shapes>\n  <symbols>\n";
  for (int i = 0; i < shapes; ++i) {
    const std::string id = std::to_string(firstId + i);
    text += "    <symbol id=\"" + id + "\" categoryId=\"" + std::to_string(i % categories + 1) +
            "\" billboard=\"false\">\n      <name>" + prefix + " image " + id + "</name>\n      <title>Image " + id +
            "</title>\n      <showTooltipTitle>true</showTooltipTitle>\n      <description>A generated image "
            "entry</description>\n      <showTooltipDescription>false</showTooltipDescription>\n      "
            "<tooltip></tooltip>\n      <gallery_thumbnail url=\"SymbolsLibrary/standard/2D/image" +
            id + "_64x64.png\"/> \n      <image url=\"SymbolsLibrary/standard/2D/image" + id +
            ".png\"/> \n      <scale>1</scale>\n      <flip horizontal=\"false\" vertical=\"false\"/> \n      "
            "<rotate right=\"0\" left=\"0\"/> \n" +
            tags(i) + "    </symbol>\n";
  }
  text += "  </symbols>\n</orbis-library>\n";
  return text;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

// One generated library per size: a standard file with all shapes and images and a
// user file with a tenth as many, whose identifiers clash with the standard ones.
struct Library {
  std::string base;
  std::string standardText;
  std::string userText;
};

// Where the libraries are written: the temporary folder, or the one --write-library gave.
std::string g_libraryFolder;

const Library& LibraryOf(int shapes) {
  static std::map<int, Library> libraries;
  auto found = libraries.find(shapes);
  if (found != libraries.end()) {
    return found->second;
  }
  Library library;
  library.base = g_libraryFolder.empty()
                     ? (std::filesystem::temp_directory_path() /
                        ("oxsymbols-bench-" + std::to_string(::getpid()) + "-" + std::to_string(shapes)))
                           .string()
                     : g_libraryFolder;
  library.standardText = GenerateLibrary(shapes, shapes / 100, 1, "std");
  library.userText = GenerateLibrary(shapes / 10, shapes / 1000, 1, "user");
  WriteFile(library.base + "/SymbolsLibrary/standard/PartSymbolLibrary.xml", library.standardText);
  WriteFile(library.base + "/SymbolsLibrary/PartSymbolLibrary.xml", library.userText);
  return libraries.emplace(shapes, std::move(library)).first->second;
}

void UseBase(const std::string& base) {
  util::SmartPtr<oxk::World> world(new oxk::World());
  util::SmartPtr<oxk::Preferences> preferences(new oxk::Preferences());
  preferences->SetBaseURL(util::Symbol(base));
  world->SetIllustrationPreferences(preferences);
  oxk::World::SetWorld(world);
}

// Reads the standard and user files into a new list per iteration. A first load does
// not pay for releasing the list it made, so that can be left outside the timing.
void ReadLibraries(benchmark::State& state, bool timeRelease) {
  const Library& library = LibraryOf(static_cast<int>(state.range(0)));
  UseBase(library.base);
  {
    PartslibraryList warmUp;  // first touch of the allocator's memory stays out of the timing
    warmUp.ReadPreferencesXML(false);
  }
  for (auto _ : state) {
    auto list = std::make_unique<PartslibraryList>();
    list->ReadPreferencesXML(false);
    benchmark::DoNotOptimize(list->GetOlList().data());
    if (!timeRelease) {
      state.PauseTiming();
    }
    list.reset();
    if (!timeRelease) {
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(library.standardText.size() + library.userText.size()));
}

void BM_ReadPreferencesXML(benchmark::State& state) {
  ReadLibraries(state, true);
}

void BM_ReadPreferencesXMLAlone(benchmark::State& state) {
  ReadLibraries(state, false);
}

// Children both entry kinds share; false when the child is none of them.
template <class Entry>
bool AddBareCommon(pugi::xml_node child, std::string_view name, Entry& entry) {
  if (name == "name") {
    entry.SetName(child.value());
  } else if (name == "title") {
    entry.SetTitle(child.value());
  } else if (name == "description") {
    entry.SetDescription(child.value());
  } else if (name == "showTooltipTitle") {
    entry.SetShowTooltipTitle(child.text().as_bool());
  } else if (name == "showTooltipDescription") {
    entry.SetShowTooltipDescription(child.text().as_bool());
  } else {
    return false;
  }
  return true;
}

// One entry of either kind; readOwn takes the children only that kind has.
template <class Entry, class ReadOwn>
void AddBareEntry(pugi::xml_node elem, std::vector<util::SmartPtr<Entry>>& out, ReadOwn readOwn) {
  util::SmartPtr<Entry> entry(new Entry(false, true));
  entry->SetID(elem.attribute("id").as_int());
  entry->SetCategoryID(elem.attribute("categoryId").as_int());
  for (pugi::xml_node child = elem.first_child(); child; child = child.next_sibling()) {
    const std::string_view name = child.name();
    if (!AddBareCommon(child, name, *entry)) {
      readOwn(child, name, *entry);
    }
  }
  out.push_back(std::move(entry));
}

void ReadBareShapeChild(pugi::xml_node child, std::string_view name, const std::string& base, PartslibraryOlItem& ol) {
  if (name == "tooltip") {
    ol.SetOlTooltip(child.value());
  } else if (name == "gallery_thumbnail") {
    std::string url = base + '/' + child.first_attribute().value();
    ol.SetOlDlgThumbnailUrl(url);
    ol.SetOlGalleryThumbnailUrl(std::move(url));
  } else if (name == "graphic") {
    ol.SetOlUrl(base + '/' + child.first_attribute().value());
  } else if (name == "scale") {
    ol.SetOlScale(child.text().as_double());
  } else if (name == "distance_from_csys") {
    ol.SetDistanceFromCsys(child.text().as_double());
  } else if (name == "orientation") {
    ol.SetOlOrientation(child.text().as_int());
  } else if (name == "axis_id") {
    ol.SetAxisId(child.text().as_int());
  } else if (name == "edit_csys_method") {
    ol.SetEditCsysMethod(child.text().as_int());
  } else if (name == "axis_name") {
    ol.SetAxisName(child.value());
  } else if (name == "annotation_to_symbol") {
    ol.SetAnnotationSymbol(child.text().as_bool());
  } else if (name == "use_current_orientation") {
    ol.SetUseCurrentOrientation(child.text().as_bool());
  }
}

void ReadBareImageChild(pugi::xml_node child, std::string_view name, const std::string& base,
                        PartslibraryImageItem& image) {
  if (name == "tooltip") {
    image.SetImageTooltip(child.value());
  } else if (name == "gallery_thumbnail") {
    std::string url = base + '/' + child.first_attribute().value();
    image.SetImageDlgThumbnailUrl(url);
    image.SetImageGalleryThumbnailUrl(std::move(url));
  } else if (name == "image") {
    image.SetImageUrl(base + '/' + child.first_attribute().value());
  } else if (name == "scale") {
    image.SetImageScale(child.text().as_int());
  } else if (name == "flip") {
    image.SetFlipHorizontal(child.attribute("horizontal").as_bool());
    image.SetFlipVertical(child.attribute("vertical").as_bool());
  } else if (name == "rotate") {
    image.SetRotateRight(child.attribute("right").as_int());
    image.SetRotateLeft(child.attribute("left").as_int());
  }
}

// A floor for reading, not a design: the same sized reads and in-place parses, then a
// bare pugixml walk that makes the same entry objects with their texts, numbers and
// joined urls, and releases them. It leaves out what reading also has to do (element
// names as symbols, children by index, identifier and category rules, tags, coordinate
// systems, cameras, message keys), so the reader can only be slower.
void BM_BareEntriesFloor(benchmark::State& state) {
  const Library& library = LibraryOf(static_cast<int>(state.range(0)));
  const std::string files[] = {library.base + "/SymbolsLibrary/standard/PartSymbolLibrary.xml",
                               library.base + "/SymbolsLibrary/PartSymbolLibrary.xml"};
  for (auto _ : state) {
    std::vector<util::SmartPtr<PartslibraryOlItem>> shapes;
    std::vector<util::SmartPtr<PartslibraryImageItem>> images;
    for (const std::string& file : files) {
      std::unique_ptr<char[]> text;
      size_t size = 0;
      if (!util::FileSystem::ReadFile(file, text, size)) {
        state.SkipWithError("cannot read the generated library");
        return;
      }
      pugi::xml_document document;
      (void)document.load_buffer_inplace(text.get(), size, pugi::parse_default | pugi::parse_embed_pcdata);
      const pugi::xml_node root = document.first_child();
      for (pugi::xml_node elem = root.child("shapes").first_child(); elem; elem = elem.next_sibling()) {
        AddBareEntry(elem, shapes, [&](pugi::xml_node child, std::string_view name, PartslibraryOlItem& ol) {
          ReadBareShapeChild(child, name, library.base, ol);
        });
      }
      for (pugi::xml_node elem = root.child("symbols").first_child(); elem; elem = elem.next_sibling()) {
        AddBareEntry(elem, images, [&](pugi::xml_node child, std::string_view name, PartslibraryImageItem& image) {
          ReadBareImageChild(child, name, library.base, image);
        });
      }
    }
    benchmark::DoNotOptimize(shapes.data());
    benchmark::DoNotOptimize(images.data());
  }
}

void BM_PugixmlParse(benchmark::State& state) {
  const Library& library = LibraryOf(static_cast<int>(state.range(0)));
  {
    pugi::xml_document warmUp;
    warmUp.load_buffer(library.standardText.data(), library.standardText.size());
  }
  for (auto _ : state) {
    pugi::xml_document standard;
    pugi::xml_document user;
    benchmark::DoNotOptimize(standard.load_buffer(library.standardText.data(), library.standardText.size()));
    benchmark::DoNotOptimize(user.load_buffer(library.userText.data(), library.userText.size()));
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(library.standardText.size() + library.userText.size()));
}

// What the host XML layer alone takes to give the reader its trees: one sized read of
// each file and the in-place parse. The rest of ReadPreferencesXML is the catalogue's.
void BM_XmlLayerReadAndParse(benchmark::State& state) {
  const Library& library = LibraryOf(static_cast<int>(state.range(0)));
  const std::string standard = library.base + "/SymbolsLibrary/standard/PartSymbolLibrary.xml";
  const std::string user = library.base + "/SymbolsLibrary/PartSymbolLibrary.xml";
  geo::FreeXml(geo::ParseXmlFile(standard));  // warm-up, outside the timing
  for (auto _ : state) {
    geo::XmlElem* standardRoot = geo::ParseXmlFile(standard);
    geo::XmlElem* userRoot = geo::ParseXmlFile(user);
    benchmark::DoNotOptimize(standardRoot);
    benchmark::DoNotOptimize(userRoot);
    geo::FreeXml(standardRoot);
    geo::FreeXml(userRoot);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(library.standardText.size() + library.userText.size()));
}

void BM_WritePartslibraryListToXML(benchmark::State& state) {
  const Library& library = LibraryOf(static_cast<int>(state.range(0)));
  UseBase(library.base);
  PartslibraryList list;
  list.ReadPreferencesXML(false);
  const std::string path = library.base + "/written.xml";
  (void)list.WritePartslibraryListToXML(path, true);  // warm-up, outside the timing
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.WritePartslibraryListToXML(path, true));
  }
}

// The same document saved by pugixml, with the same flush to disk and rename.
void BM_PugixmlSave(benchmark::State& state) {
  const Library& library = LibraryOf(static_cast<int>(state.range(0)));
  UseBase(library.base);
  PartslibraryList list;
  list.ReadPreferencesXML(false);
  const std::string path = library.base + "/written.xml";
  (void)list.WritePartslibraryListToXML(path, true);
  pugi::xml_document document;
  document.load_file(path.c_str());
  const std::string temporary = library.base + "/.pugixml.tmp";
  const auto save = [&] {
    FILE* file = std::fopen(temporary.c_str(), "wb");
    pugi::xml_writer_file writer(file);
    document.save(writer, "  ");
    std::fflush(file);
    ::fsync(::fileno(file));
    std::fclose(file);
    std::rename(temporary.c_str(), path.c_str());
    const int folder = ::open(library.base.c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(folder);
    ::close(folder);
  };
  save();  // warm-up, outside the timing
  for (auto _ : state) {
    save();
  }
}

// Entries in total (half shapes, half images) in the given number of categories.
void BM_UIDataRefresh(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  const int categories = static_cast<int>(state.range(1));
  PartslibraryList list;
  oxsymbols::PartslibraryListAccess::Parse(list, GenerateLibrary(entries / 2, categories, 1, "ui"));
  oxsymbols::PartslibraryUIData data(list.GetOlList(), list.GetImageList(), list.GetCategoryList());
  for (auto _ : state) {
    benchmark::DoNotOptimize(data.Refresh(list));
  }
  state.counters["categories"] = static_cast<double>(list.GetCategoryList().size());
}

// A floor for the picker data: the strings a refresh writes, copied over strings that
// already hold them, list after list, without reading the catalogue or converting text.
// Its growth from 10,000 to 100,000 entries is what the memory alone costs once the
// lists no longer fit in the caches.
void BM_UIDataCopyFloor(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  const int categories = static_cast<int>(state.range(1));
  PartslibraryList list;
  oxsymbols::PartslibraryListAccess::Parse(list, GenerateLibrary(entries / 2, categories, 1, "ui"));
  const oxsymbols::PartslibraryUIData data(list.GetOlList(), list.GetImageList(), list.GetCategoryList());
  auto icons = data.GetIcons();
  auto labels = data.GetLabels();
  auto tooltips = data.GetTooltips();
  auto userData = data.GetUserData();
  auto names = data.GetNames();
  const auto copyOver = [](const auto& from, auto& to) {
    for (size_t i = 0; i < from.size(); ++i) {
      to[i].assign(from[i]);
    }
  };
  for (auto _ : state) {
    copyOver(data.GetIcons(), icons);
    copyOver(data.GetLabels(), labels);
    copyOver(data.GetTooltips(), tooltips);
    copyOver(data.GetUserData(), userData);
    copyOver(data.GetNames(), names);
    benchmark::DoNotOptimize(names.data());
    benchmark::ClobberMemory();
  }
}

// The three library sizes. Reading and parsing run three times each; the ratios use the
// best run of each, which is steadier than one run on a shared machine.
void LibrarySizes(benchmark::internal::Benchmark* run) {
  run->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0)->Repetitions(3);
}

BENCHMARK(BM_ReadPreferencesXML)->Apply(LibrarySizes);
BENCHMARK(BM_PugixmlParse)->Apply(LibrarySizes);
BENCHMARK(BM_ReadPreferencesXMLAlone)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->Repetitions(3);
BENCHMARK(BM_BareEntriesFloor)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0)->Repetitions(3);
BENCHMARK(BM_XmlLayerReadAndParse)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->Repetitions(3);
BENCHMARK(BM_WritePartslibraryListToXML)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_PugixmlSave)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
// Entries / categories: a hundredth as many categories, plus the largest size in few
// categories, so that a cost per category and entry would show apart from cache effects.
BENCHMARK(BM_UIDataRefresh)
    ->Args({10000, 100})
    ->Args({100000, 1000})
    ->Args({100000, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->Repetitions(3);
BENCHMARK(BM_UIDataCopyFloor)
    ->Args({10000, 100})
    ->Args({100000, 1000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0)
    ->Repetitions(3);

// ---- Memory of a fresh read ----------------------------------------------------------

// A line of /proc/self/status in KiB ("VmHWM", "VmRSS"); 0 when it is not there.
long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
      return std::stol(line.substr(length + 1));
    }
  }
  return 0;
}

constexpr const char* kMemoryChild = "--catalogue-memory-of";

// The child: reads the library under base, then releases it. Prints the memory in use
// before the read, the peak, and what is still in use after the release, in KiB.
int MemoryChild(const std::string& base) {
  UseBase(base);
  const long before = StatusKiB("VmRSS");
  long peak = 0;
  {
    PartslibraryList list;
    oxsymbols::PartslibraryListAccess::ReadReported(list);
    peak = StatusKiB("VmHWM");
    if (list.GetOlList().empty()) {
      return 1;
    }
  }
  std::printf("%ld %ld %ld\n", before, peak, StatusKiB("VmRSS"));
  return 0;
}

// Runs the child on the largest library and prints the memory line.
void PrintMemoryOfFreshRead() {
  const Library& library = LibraryOf(100000);
  const std::string output = library.base + "/memory.txt";
  char self[] = "/proc/self/exe";
  std::string flag = kMemoryChild;
  std::string base = library.base;
  char* const argv[] = {self, flag.data(), base.data(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t child = 0;
  int status = 1;
  if (posix_spawn(&child, self, &actions, nullptr, argv, environ) == 0) {
    ::waitpid(child, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
  long before = 0;
  long peak = 0;
  long after = 0;
  std::ifstream in(output);
  if (status != 0 || !(in >> before >> peak >> after)) {
    std::printf("Memory of a fresh read: the child failed\n");
    return;
  }
  const double fileKiB = static_cast<double>(library.standardText.size() + library.userText.size()) / 1024;
  benchsupport::BestRunReporter::PrintRatio("Fresh read of the 100,000 library: peak memory / file size",
                                            static_cast<double>(peak - before) / fileKiB, 3);
  std::printf("  %.0f MiB of files, peak %.0f MiB above the start, %.0f MiB still held after the release\n",
              fileKiB / 1024, static_cast<double>(peak - before) / 1024, static_cast<double>(after - before) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kMemoryChild) == 0) {
    return MemoryChild(argv[2]);
  }
  // --write-library FOLDER: only writes the largest library there (for profiling).
  if (argc == 3 && std::strcmp(argv[1], "--write-library") == 0) {
    g_libraryFolder = std::filesystem::absolute(argv[2]).string();
    std::printf("%s\n", LibraryOf(100000).base.c_str());
    return 0;
  }
  // Both sides run with an allocator that keeps freed memory, so repeated runs measure
  // parsing and reading rather than the cost of faulting fresh pages in. The catalogue's
  // own return of freed memory is off here too; the fresh-read child above keeps it on
  // and measures what it gives back.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  util::FreedMemory::SetReturning(false);
  benchsupport::InitializeInterleaved(argc, argv);
  benchsupport::BestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios:\n");
  reporter.PrintRatio("ReadPreferencesXML / pugixml parse, 100,000", "BM_ReadPreferencesXML/100000/",
                      "BM_PugixmlParse/100000/", 3);
  // Not limits: how the read divides between the XML layer and the catalogue.
  reporter.PrintShare("  of which XML layer read + parse / pugixml parse", "BM_XmlLayerReadAndParse/100000/", "",
                      "BM_PugixmlParse/100000/");
  reporter.PrintShare("  of which catalogue (read - XML layer) / pugixml parse", "BM_ReadPreferencesXML/100000/",
                      "BM_XmlLayerReadAndParse/100000/", "BM_PugixmlParse/100000/");
  reporter.PrintShare("  read alone, the list released untimed / pugixml parse", "BM_ReadPreferencesXMLAlone/100000/",
                      "", "BM_PugixmlParse/100000/");
  reporter.PrintShare("  floor: bare walk making the entries / pugixml parse", "BM_BareEntriesFloor/100000/", "",
                      "BM_PugixmlParse/100000/");
  reporter.PrintRatio("ReadPreferencesXML 100,000 / 10,000", "BM_ReadPreferencesXML/100000/",
                      "BM_ReadPreferencesXML/10000/", 12);
  reporter.PrintRatio("WritePartslibraryListToXML / pugixml save+fsync, 100,000",
                      "BM_WritePartslibraryListToXML/100000/", "BM_PugixmlSave/100000/", 2);
  reporter.PrintRatio("PartslibraryUIData::Refresh 100,000 / 10,000 entries", "BM_UIDataRefresh/100000/1000/",
                      "BM_UIDataRefresh/10000/100/", 12);
  reporter.PrintShare("  floor: copying its strings over, 100,000 / 10,000 entries", "BM_UIDataCopyFloor/100000/1000/",
                      "", "BM_UIDataCopyFloor/10000/100/");
  reporter.PrintShare("  Refresh / that floor, 100,000 entries", "BM_UIDataRefresh/100000/1000/", "",
                      "BM_UIDataCopyFloor/100000/1000/");
  reporter.PrintRatio("PartslibraryUIData::Refresh 100,000: 1,000 / 10 categories", "BM_UIDataRefresh/100000/1000/",
                      "BM_UIDataRefresh/100000/10/", 2);
  PrintMemoryOfFreshRead();
  benchmark::Shutdown();
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), ignored)) {
    if (entry.path().filename().string().rfind("oxsymbols-bench-" + std::to_string(::getpid()) + "-", 0) == 0) {
      std::filesystem::remove_all(entry.path(), ignored);
    }
  }
  return 0;
}
