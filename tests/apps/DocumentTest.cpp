// Documents driven as a host drives the module: symbols placed on parts and welds,
// parts moved and hidden, saved, reopened and flattened, in process (what a host
// integrator relies on) and through the tool (what its users meet, bad input included).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "Document.h"
#include "DocumentFlattener.h"
#include "DocumentOperations.h"
#include "ToolSetup.h"
#include "catalogue/PartslibraryList.h"
#include "component/ComponentEntry.h"
#include "geo/XmlElem.h"
#include "oxk/World.h"
#include "support/TempFolder.h"
#include "support/TextFiles.h"
#include "support/ToolRun.h"

namespace {

namespace fs = std::filesystem;
using symbols_tool::AnnotationView;
using symbols_tool::Document;
using testsupport::Count;
using testsupport::Slurp;

std::map<std::string, AnnotationView> ById(const Document& document) {
  std::map<std::string, AnnotationView> views;
  for (const AnnotationView& view : symbols_tool::DescribeAnnotations(document)) {
    views[view.idPath] = view;
  }
  return views;
}

void ExpectSame(const AnnotationView& a, const AnnotationView& b) {
  EXPECT_EQ(a.type, b.type) << a.idPath;
  EXPECT_EQ(a.title, b.title) << a.idPath;
  EXPECT_NEAR(a.position.x, b.position.x, 1e-6) << a.idPath;
  EXPECT_NEAR(a.position.y, b.position.y, 1e-6) << a.idPath;
  EXPECT_NEAR(a.position.z, b.position.z, 1e-6) << a.idPath;
  EXPECT_EQ(a.width, b.width) << a.idPath;
  EXPECT_EQ(a.height, b.height) << a.idPath;
  EXPECT_EQ(a.visible, b.visible) << a.idPath;
  ASSERT_EQ(a.parts.size(), b.parts.size()) << a.idPath;
  for (size_t i = 0; i < a.parts.size(); ++i) {
    EXPECT_EQ(a.parts[i].part, b.parts[i].part);
    EXPECT_EQ(a.parts[i].assembly, b.parts[i].assembly);
    EXPECT_NEAR(a.parts[i].offset.x, b.parts[i].offset.x, 1e-6);
    EXPECT_NEAR(a.parts[i].offset.y, b.parts[i].offset.y, 1e-6);
    EXPECT_NEAR(a.parts[i].offset.z, b.parts[i].offset.z, 1e-6);
  }
}

geo::DBox ShaftBox(const Document& document) {
  Document::Part shaft;
  EXPECT_TRUE(document.FindPart("/SHAFT", shaft));
  return document.WorldBox(shaft.instances);
}

class DocumentRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    symbols_tool::Locations locations;
    locations.base = SYMBOLS_BINARY_DIR "/apps/samples";
    std::string error;
    ASSERT_TRUE(symbols_tool::ToolSetup::Install(locations, error)) << error;
    catalogue.ReadPreferencesXML(false);
    model = SYMBOLS_BINARY_DIR "/apps/samples/models/pump/model.xml";
    folder = (scratch / "pump").string();
    ASSERT_TRUE(Document::Create(model, folder, error)) << error;
  }
  void TearDown() override { oxk::World::SetWorld({}); }

  testsupport::TempFolder temp;
  const fs::path scratch = temp.Path();
  std::string model;
  std::string folder;
  oxsymbols::PartslibraryList catalogue;
};

// The road of the demo, checked where a host relies on it.
TEST_F(DocumentRoad, SymbolsFollowTheirPartsAndComeBackAsTheyWereSaved) {
  std::string error;
  std::map<std::string, AnnotationView> saved;
  util::Symbol onShaft, onWeld, stamp;
  geo::DBox shaftBefore;
  {
    Document document;
    ASSERT_TRUE(document.Open(folder, Document::Access::kWrite, error)) << error;
    shaftBefore = ShaftBox(document);
    ASSERT_TRUE(symbols_tool::PlaceSymbol(document, *catalogue.GetOlFromOlList(3), {"/SHAFT"}, onShaft, error))
        << error;
    ASSERT_TRUE(symbols_tool::PlaceSymbol(document, *catalogue.GetOlFromOlList(10), {"/FLANGE"}, onWeld, error))
        << error;
    symbols_tool::StampRequest request;
    request.centerX = 100;
    request.centerY = 400;
    request.rotate = 90;
    request.flip = true;
    ASSERT_TRUE(symbols_tool::StampSymbol(document, *catalogue.GetImageFromImageList(2), request, stamp, error))
        << error;

    auto before = ById(document);
    // Placed from the frames: the arrow (scale 2, no frame of its own) stands on the
    // shaft's top; the weld's symbol is connected through its first member.
    EXPECT_EQ(before[onShaft.str()].position.z, 55.0);
    ASSERT_EQ(before[onWeld.str()].parts.size(), 1u);
    EXPECT_EQ(before[onWeld.str()].parts[0].part, "/FLANGE/A");
    EXPECT_EQ(before[onWeld.str()].parts[0].assembly, "/FLANGE");

    ASSERT_TRUE(symbols_tool::MovePart(document, "/SHAFT", geo::DVec3(5, -7, 25), error)) << error;
    auto after = ById(document);
    const geo::DPoint3D& was = before[onShaft.str()].position;
    const geo::DPoint3D& now = after[onShaft.str()].position;
    EXPECT_EQ(now.x - was.x, 5.0);
    EXPECT_EQ(now.y - was.y, -7.0);
    EXPECT_EQ(now.z - was.z, 25.0);
    ExpectSame(after[onWeld.str()], before[onWeld.str()]);  // not on the moved part

    ASSERT_TRUE(symbols_tool::ShowPart(document, "/FLANGE", false, error)) << error;
    EXPECT_FALSE(ById(document)[onWeld.str()].visible);
    EXPECT_TRUE(ById(document)[onShaft.str()].visible);
    ASSERT_TRUE(document.Save(error)) << error;
    saved = ById(document);
  }

  Document reopened;
  ASSERT_TRUE(reopened.Open(folder, Document::Access::kWrite, error)) << error;
  // The move was saved with the model, not only with the symbols.
  const geo::DBox shaftAfter = ShaftBox(reopened);
  EXPECT_NEAR(shaftAfter.min.x - shaftBefore.min.x, 5.0, 1e-9);
  EXPECT_NEAR(shaftAfter.min.y - shaftBefore.min.y, -7.0, 1e-9);
  EXPECT_NEAR(shaftAfter.max.z - shaftBefore.max.z, 25.0, 1e-9);
  auto restored = ById(reopened);
  ASSERT_EQ(restored.size(), saved.size());
  for (const auto& [id, view] : saved) {
    ExpectSame(restored[id], view);
  }
  // Saved again unchanged, the content is the same bytes.
  const std::string content = Slurp(fs::path(folder) / Document::kContentFile);
  ASSERT_TRUE(reopened.Save(error)) << error;
  EXPECT_EQ(Slurp(fs::path(folder) / Document::kContentFile), content);

  // Showing the weld again shows its symbol with it.
  ASSERT_TRUE(symbols_tool::ShowPart(reopened, "/FLANGE", true, error)) << error;
  EXPECT_TRUE(ById(reopened)[onWeld.str()].visible);
}

TEST_F(DocumentRoad, FlatteningGivesAMarkerPerShownSymbolAndAnImagePerStampTheSameEachTime) {
  std::string error;
  Document document;
  ASSERT_TRUE(document.Open(folder, Document::Access::kWrite, error)) << error;
  util::Symbol id;
  ASSERT_TRUE(symbols_tool::PlaceSymbol(document, *catalogue.GetOlFromOlList(3), {"/1/4"}, id, error)) << error;
  ASSERT_TRUE(symbols_tool::PlaceSymbol(document, *catalogue.GetOlFromOlList(10), {"/FLANGE"}, id, error)) << error;
  ASSERT_TRUE(symbols_tool::StampSymbol(document, *catalogue.GetImageFromImageList(1), {}, id, error)) << error;

  symbols_tool::FlattenSummary summary;
  const fs::path first = scratch / "first.svg", second = scratch / "second.svg";
  ASSERT_TRUE(symbols_tool::FlattenToSvg(document, first.string(), summary, error)) << error;
  EXPECT_EQ(summary.parts, 7u);
  EXPECT_EQ(summary.markers, 2u);
  EXPECT_EQ(summary.stamps, 1u);
  const std::string page = Slurp(first);
  EXPECT_EQ(Count(page, "<g class=\"part\""), 7u);
  EXPECT_EQ(Count(page, "class=\"annotation\""), 2u);
  EXPECT_EQ(Count(page, "<image "), 1u);
  EXPECT_NE(page.find(">Check marker</text>"), std::string::npos);
  ASSERT_TRUE(symbols_tool::FlattenToSvg(document, second.string(), summary, error)) << error;
  EXPECT_EQ(Slurp(second), page);

  // A hidden part takes its symbol off the page with it.
  ASSERT_TRUE(symbols_tool::ShowPart(document, "/FLANGE", false, error)) << error;
  ASSERT_TRUE(symbols_tool::FlattenToSvg(document, second.string(), summary, error)) << error;
  EXPECT_EQ(summary.parts, 5u);
  EXPECT_EQ(summary.markers, 1u);
}

// The sample pump as a drawing: a group per part with its model path and name, lines
// from the meshes, the motor partly behind the housing (its hidden lines dashed, never
// solid), each symbol drawn as its shape; and a page that stays well-formed when a
// part's file holds coordinates that are not numbers or far out of the page.
TEST_F(DocumentRoad, FlatteningDrawsThePumpFromItsMeshesWithHiddenLinesDashed) {
  std::string error;
  {
    Document document;
    ASSERT_TRUE(document.Open(folder, Document::Access::kWrite, error)) << error;
    util::Symbol id;
    ASSERT_TRUE(symbols_tool::PlaceSymbol(document, *catalogue.GetOlFromOlList(3), {"/SHAFT"}, id, error)) << error;
    symbols_tool::FlattenSummary summary;
    const fs::path out = scratch / "pump.svg";
    ASSERT_TRUE(symbols_tool::FlattenToSvg(document, out.string(), summary, error)) << error;
    const std::string page = Slurp(out);
    geo::XmlElem* root = geo::ParseXml(page);
    ASSERT_NE(root, nullptr) << page;
    geo::FreeXml(root);

    const auto group = [&page](const std::string& path) {
      const size_t start = page.find("<g class=\"part\" data-path=\"" + path + "\"");
      return start == std::string::npos ? std::string() : page.substr(start, page.find("</g>", start) - start);
    };
    const std::string motor = group("/1/4");
    ASSERT_FALSE(motor.empty()) << page;
    EXPECT_NE(motor.find("data-name=\"Motor\""), std::string::npos);
    EXPECT_NE(motor.find("<title>Motor (/1/4)</title>"), std::string::npos);
    EXPECT_NE(motor.find("class=\"area\""), std::string::npos);
    EXPECT_NE(motor.find("class=\"outline\""), std::string::npos);
    EXPECT_NE(motor.find("class=\"hidden\""), std::string::npos);  // behind the housing
    // Every dashed path is a hidden one, and every hidden one is dashed.
    EXPECT_EQ(Count(page, "class=\"hidden\""), Count(page, "stroke-dasharray=\"3 2\""));
    // The flange plates' bores: rings with holes, drawn with the even-odd rule.
    const std::string flange = group("/7");
    ASSERT_FALSE(flange.empty());
    const size_t area = flange.find("class=\"area\"");
    ASSERT_NE(area, std::string::npos);
    EXPECT_GE(Count(flange.substr(area, flange.find("/>", area) - area), " Z"), 2u);
    // The symbol is its shape in the annotation's group, with its title.
    const size_t annotation = page.find("<g class=\"annotation\" data-path=\"" + id.str() + "\"");
    ASSERT_NE(annotation, std::string::npos);
    const std::string symbol = page.substr(annotation, page.find("</g>", annotation) - annotation);
    EXPECT_NE(symbol.find("class=\"outline\""), std::string::npos);
    EXPECT_NE(symbol.find(">Arrow</text>"), std::string::npos);
  }

  // A hostile shape file: coordinates that are not numbers, and one far away.
  std::ofstream(fs::path(folder) / "shaft.obj", std::ios::trunc)
      << "v 0 0 0\nv 1e30 0 0\nv nan 1 1\nv 0 inf 0\nv 10 10 10\nv 0 10 0\n"
         "f 1 2 3\nf 1 3 4\nf 1 5 6\nf 2 5 6\n";
  Document document;
  ASSERT_TRUE(document.Open(folder, Document::Access::kRead, error)) << error;
  symbols_tool::FlattenSummary summary;
  const fs::path out = scratch / "hostile.svg";
  ASSERT_TRUE(symbols_tool::FlattenToSvg(document, out.string(), summary, error)) << error;
  const std::string page = Slurp(out);
  EXPECT_EQ(page.find("nan"), std::string::npos);
  EXPECT_EQ(page.find("inf"), std::string::npos);
  geo::XmlElem* root = geo::ParseXml(page);
  EXPECT_NE(root, nullptr);
  geo::FreeXml(root);
}

TEST_F(DocumentRoad, PackedFilesNeverReplaceAnotherOfTheSameName) {
  std::string error;
  Document document;
  ASSERT_TRUE(document.Open(folder, Document::Access::kWrite, error)) << error;
  const fs::path a = scratch / "a/mark.obj", b = scratch / "b/mark.obj";
  fs::create_directories(a.parent_path());
  fs::create_directories(b.parent_path());
  std::ofstream(a) << "v 0 0 0\n";
  std::ofstream(b) << "v 1 1 1\n";
  std::string name;
  ASSERT_TRUE(document.Pack(a.string(), Document::PackKind::kShape, name, error)) << error;
  EXPECT_EQ(name, "mark.obj");
  ASSERT_TRUE(document.Pack(b.string(), Document::PackKind::kShape, name, error)) << error;
  EXPECT_EQ(name, "mark-2.obj");
  ASSERT_TRUE(document.Pack(a.string(), Document::PackKind::kShape, name, error))
      << error;  // the same bytes: packed once
  EXPECT_EQ(name, "mark.obj");
  EXPECT_FALSE(document.Pack((scratch / "none.obj").string(), Document::PackKind::kShape, name, error));
  // Packed files join the document when it is saved, not before.
  EXPECT_FALSE(fs::exists(fs::path(folder) / "mark.obj"));
  ASSERT_TRUE(document.Save(error)) << error;
  EXPECT_EQ(Slurp(fs::path(folder) / "mark.obj"), Slurp(a));
  EXPECT_EQ(Slurp(fs::path(folder) / "mark-2.obj"), Slurp(b));
}

TEST_F(DocumentRoad, WhatCannotBeDoneLeavesTheDocumentAsItWas) {
  std::string error;
  Document document;
  ASSERT_TRUE(document.Open(folder, Document::Access::kWrite, error)) << error;
  const std::string modelText = Slurp(fs::path(folder) / Document::kModelFile);
  util::Symbol id;
  EXPECT_FALSE(symbols_tool::PlaceSymbol(document, *catalogue.GetOlFromOlList(3), {"/NOPE"}, id, error));
  EXPECT_NE(error.find("/NOPE"), std::string::npos);
  // Not an annotation symbol: it connects to no part.
  EXPECT_FALSE(symbols_tool::PlaceSymbol(document, *catalogue.GetOlFromOlList(1), {"/SHAFT"}, id, error));
  EXPECT_NE(error.find("not an annotation symbol"), std::string::npos) << error;
  EXPECT_FALSE(symbols_tool::MovePart(document, "/9/9", geo::DVec3(1, 0, 0), error));
  EXPECT_NE(error.find("no part at /9/9"), std::string::npos) << error;
  EXPECT_TRUE(document.GetAnnotations().empty());
  EXPECT_EQ(Slurp(fs::path(folder) / Document::kModelFile), modelText);
  EXPECT_FALSE(Document::Create(model, folder, error));  // not an empty folder

  // An annotation with nothing to save is never dropped silently: nothing is written.
  const std::string content = Slurp(fs::path(folder) / Document::kContentFile);
  util::SmartPtr<util::RefCounted> made;
  ASSERT_TRUE(OXDllCreateComponent("create", "annotation", "symbol3d", made));
  ASSERT_TRUE(document.Add(util::DynamicCast<oxk::Annotation>(made), util::Symbol("/lost")));
  EXPECT_FALSE(document.Save(error));
  EXPECT_NE(error.find("/lost"), std::string::npos);
  EXPECT_EQ(Slurp(fs::path(folder) / Document::kContentFile), content);
}

// Through the tool: what a person types, and what the files look like afterwards.
class DocumentCommands : public ::testing::Test {
 protected:
  using Result = testsupport::ToolResult;

  void SetUp() override {
    if (!testsupport::HaveTool()) {
      GTEST_SKIP() << "built without the tool";
    }
  }
  Result Run(const std::string& args, const std::string& environment = "") const {
    return testsupport::RunTool(scratch, args, environment);
  }
  // The annotation with that identifier as a fresh `doc list --json` gives it.
  nlohmann::json Listed(const std::string& id) const {
    const nlohmann::json list = nlohmann::json::parse(Run("doc list --json " + doc.string()).out);
    for (const nlohmann::json& item : list["annotations"]) {
      if (item["id"] == id) {
        return item;
      }
    }
    return nullptr;
  }
  std::string Files() const {
    return Slurp(doc / Document::kContentFile) + "\n--\n" + Slurp(doc / Document::kModelFile);
  }

  testsupport::TempFolder temp;
  const fs::path scratch = temp.Path();
  const fs::path doc = scratch / "doc";
};

TEST_F(DocumentCommands, TheDemoWalksTheWholeRoadAndItsPageShowsEverySymbol) {
  const Result demo = Run("demo --out " + (scratch / "demo").string());
  ASSERT_EQ(demo.status, 0) << demo.err;
  EXPECT_NE(demo.out.find("5. moved the part /SHAFT by (0, 0, 25)"), std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("followed it from (80, 0, 55) to (80, 0, 80)"), std::string::npos) << demo.out;
  const std::string page = Slurp(scratch / "demo/pump.svg");
  EXPECT_EQ(Count(page, "class=\"annotation\""), 2u);
  EXPECT_EQ(Count(page, "<image "), 2u);
  EXPECT_NE(Slurp(scratch / "demo/gallery.html").find("<html"), std::string::npos);
  // Running it again replaces its own output, and only into its own folder.
  EXPECT_EQ(Run("demo --out " + (scratch / "demo").string()).status, 0);
  fs::create_directories(scratch / "mine");
  std::ofstream(scratch / "mine/keep.txt") << "mine";
  EXPECT_EQ(Run("demo --out " + (scratch / "mine").string()).status, 1);
  EXPECT_EQ(Slurp(scratch / "mine/keep.txt"), "mine");
}

TEST_F(DocumentCommands, BadInputIsNamedInOneLineAndTheDocumentIsLeftUntouched) {
  ASSERT_EQ(Run("doc new " SYMBOLS_BINARY_DIR "/apps/samples/models/pump/model.xml " + doc.string()).status, 0);
  ASSERT_EQ(Run("doc place " + doc.string() + " --shape 3 --part /SHAFT").status, 0);
  const std::string files = Files();

  const Result part = Run("doc place " + doc.string() + " --shape 3 --part /NOPE");
  EXPECT_EQ(part.status, 1);
  EXPECT_EQ(part.err, "symbols: no part at /NOPE in the model or its SBOM\n");
  const Result shape = Run("doc place " + doc.string() + " --shape 99 --part /SHAFT");
  EXPECT_EQ(shape.status, 1);
  EXPECT_EQ(shape.err, "symbols: no shape with identifier 99\n");
  EXPECT_EQ(Run("doc stamp " + doc.string() + " --image 99 --center 1,2 --size 3,4").status, 1);
  EXPECT_EQ(Run("doc move " + doc.string() + " /NOPE --by 1,2,3").status, 1);
  EXPECT_EQ(Run("doc hide " + doc.string() + " /NOPE").status, 1);
  for (const char* usage : {" --image 1 --center 1 --size 3,4", " --image 1 --center 1,2 --size 0,4",
                            " --image 1 --center 1,2 --size 3,4 --rotate 45", " --image 1 --center a,b --size 3,4"}) {
    const Result bad = Run("doc stamp " + doc.string() + usage);
    EXPECT_EQ(bad.status, 2) << usage;
    EXPECT_EQ(Count(bad.err, "\n"), 1u) << bad.err;
  }
  EXPECT_EQ(Run("doc move " + doc.string() + " /SHAFT --by 1,2").status, 2);
  EXPECT_EQ(Files(), files);

  // A damaged content file is refused and never written over.
  std::ofstream(doc / Document::kContentFile, std::ios::app) << "<broken";
  const std::string damaged = Files();
  const Result open = Run("doc move " + doc.string() + " /SHAFT --by 1,0,0");
  EXPECT_EQ(open.status, 1);
  EXPECT_NE(open.err.find("cannot be read"), std::string::npos) << open.err;
  EXPECT_EQ(Run("doc list " + doc.string()).status, 1);
  EXPECT_EQ(Files(), damaged);

  // A symbol whose file went missing is said so, and kept as it was saved.
  std::ofstream(doc / Document::kContentFile, std::ios::trunc) << files.substr(0, files.find("\n--\n"));
  const std::string content = Slurp(doc / Document::kContentFile);
  fs::remove(doc / "arrow.obj");
  const Result lost = Run("doc hide " + doc.string() + " /1/4");
  EXPECT_EQ(lost.status, 0) << lost.err;
  EXPECT_NE(lost.err.find("is kept but not shown: its file arrow.obj could not be loaded\n"), std::string::npos)
      << lost.err;
  EXPECT_EQ(Count(lost.err, "\n"), 1u);
  EXPECT_EQ(Slurp(doc / Document::kContentFile), content);

  EXPECT_EQ(Run("doc list " + (scratch / "nothing").string()).status, 1);
  EXPECT_EQ(Run("doc new /no/such/model.xml " + (scratch / "other").string()).status, 1);
  EXPECT_FALSE(fs::exists(scratch / "other"));
}

TEST_F(DocumentCommands, ListShowsEachAnnotationAsTextOrJson) {
  ASSERT_EQ(Run("doc new " SYMBOLS_BINARY_DIR "/apps/samples/models/pump/model.xml " + doc.string()).status, 0);
  ASSERT_EQ(Run("doc place " + doc.string() + " --shape 10 --part /FLANGE").status, 0);
  ASSERT_EQ(Run("doc stamp " + doc.string() + " --image 1 --center 10,20 --size 30,40 --page 2").status, 0);
  const Result text = Run("doc list " + doc.string());
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("2 annotations"), std::string::npos);
  EXPECT_NE(text.out.find("part /FLANGE/A (weld /FLANGE)"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("at 10,20, 30 x 40, page 2"), std::string::npos) << text.out;
  const Result json = Run("doc list --json " + doc.string());
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find("\"assembly\": \"/FLANGE\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"type\": \"symbol2d\""), std::string::npos) << json.out;
  // Saved turns to the left count against those to the right, in whole quarter turns
  // as drawn, whatever wrote them.
  std::string content = Slurp(doc / Document::kContentFile);
  const std::string left = "<property key=\"rotateLeft\" type=\"int\">0</property>";
  ASSERT_NE(content.find(left), std::string::npos) << content;
  content.replace(content.find(left), left.size(), "<property key=\"rotateLeft\" type=\"int\">-91</property>");
  std::ofstream(doc / Document::kContentFile, std::ios::trunc) << content;
  EXPECT_NE(Run("doc list " + doc.string()).out.find("turned 270 degrees clockwise\n"), std::string::npos);
  const Result hide = Run("doc hide " + doc.string() + " /FLANGE");
  ASSERT_EQ(hide.status, 0) << hide.err;
  EXPECT_NE(hide.out.find("is now hidden"), std::string::npos) << hide.out;
  EXPECT_NE(Run("doc list " + doc.string()).out.find("hidden"), std::string::npos);
}

TEST_F(DocumentCommands, ChangesAnswerInJsonWithWhatTheyMadeOnlyOnceSaved) {
  using nlohmann::json;
  const Result made = Run("doc new --json " SYMBOLS_BINARY_DIR "/apps/samples/models/pump/model.xml " + doc.string());
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(json::parse(made.out)["document"], fs::absolute(doc).lexically_normal().string());

  // What place and stamp answer is what a later listing finds, entry included.
  const Result placed = Run("doc place " + doc.string() + " --shape 10 --part /FLANGE --json");
  ASSERT_EQ(placed.status, 0) << placed.err;
  const json symbol = json::parse(placed.out)["annotation"];
  EXPECT_EQ(symbol, Listed(symbol["id"])) << placed.out;
  EXPECT_FALSE(symbol["entry"]["name"].get<std::string>().empty()) << placed.out;
  EXPECT_FALSE(symbol["entry"].contains("id")) << "a 3D symbol does not record its entry's identifier";
  const Result stamped =
      Run("doc stamp " + doc.string() + " --image 2 --center 100,80 --size 40,20 --rotate -90 --flip --page 1 --json");
  ASSERT_EQ(stamped.status, 0) << stamped.err;
  const json stamp = json::parse(stamped.out)["annotation"];
  EXPECT_EQ(stamp, Listed(stamp["id"])) << stamped.out;
  EXPECT_EQ(stamp["entry"]["id"], 2);
  EXPECT_EQ(stamp["rotation"], 270);
  EXPECT_EQ(stamp["flip"], true);
  EXPECT_EQ(stamp["reverse"], false);
  EXPECT_EQ(stamp["page"], 1);
  const Result text = Run("doc list " + doc.string());
  EXPECT_NE(text.out.find("page 1\n  turned 270 degrees clockwise, mirrored left to right\n  from image 2 \""),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("  from shape \"" + symbol["entry"]["name"].get<std::string>() + "\", file "),
            std::string::npos)
      << text.out;

  // A weld's move answers with each member and the symbol, and what it prints, as text or
  // JSON, is what the next command reads from the saved files.
  const Result moved = Run("doc move " + doc.string() + " /FLANGE --by 0,0,5 --json");
  ASSERT_EQ(moved.status, 0) << moved.err;
  const json move = json::parse(moved.out);
  ASSERT_EQ(move["parts"].size(), 2u) << moved.out;
  for (const json& part : move["parts"]) {
    EXPECT_DOUBLE_EQ(part["after"][2].get<double>() - part["before"][2].get<double>(), 5) << moved.out;
  }
  ASSERT_EQ(move["symbols"].size(), 1u) << moved.out;
  EXPECT_EQ(move["symbols"][0]["after"], Listed(symbol["id"])["position"]) << moved.out;
  const Result movedText = Run("doc move " + doc.string() + " /FLANGE --by 0,0,5");
  ASSERT_EQ(movedText.status, 0) << movedText.err;
  const std::string listed = Run("doc list " + doc.string()).out;
  const size_t arrow = movedText.out.find(" -> ");
  ASSERT_NE(arrow, std::string::npos) << movedText.out;
  const std::string printed = movedText.out.substr(arrow + 4, movedText.out.find('\n', arrow) - arrow - 4);
  EXPECT_NE(listed.find("  at " + printed + "\n"), std::string::npos) << movedText.out << listed;

  const Result hidden = Run("doc hide " + doc.string() + " /FLANGE --json");
  ASSERT_EQ(hidden.status, 0) << hidden.err;
  const json hide = json::parse(hidden.out);
  EXPECT_EQ(hide["visible"], false);
  ASSERT_EQ(hide["symbols"].size(), 1u);
  EXPECT_EQ(hide["symbols"][0]["visible"], false);
  EXPECT_EQ(hide["parts"][0]["visible"], false);

  // A command that fails, or is stopped before its change is in, answers nothing on
  // standard output.
  const std::string files = Files();
  for (const std::string& failing :
       {"doc move " + doc.string() + " /NOPE --by 1,0,0 --json", "doc show " + doc.string() + " /NOPE --json",
        "doc place " + doc.string() + " --shape 99 --part /SHAFT --json",
        "doc stamp " + doc.string() + " --image 1 --center 5000,10 --size 10,10 --json"}) {
    const Result failed = Run(failing);
    EXPECT_EQ(failed.status, 1) << failing;
    EXPECT_EQ(failed.out, "") << failing;
    EXPECT_EQ(Count(failed.err, "\n"), 1u) << failing << ": " << failed.err;
  }
  const Result killed = Run("doc show " + doc.string() + " /FLANGE --json", "SYMBOLS_KILL_AT_WRITE_STEP=1");
  EXPECT_NE(killed.status, 0);
  EXPECT_EQ(killed.out, "");
  EXPECT_EQ(Files(), files);
}

TEST_F(DocumentCommands, StampsLieOnTheirPagesInPageUnitsFromTheBottomLeft) {
  ASSERT_EQ(Run("doc new " SYMBOLS_BINARY_DIR "/apps/samples/models/pump/model.xml " + doc.string()).status, 0);
  ASSERT_EQ(Run("doc stamp " + doc.string() + " --image 1 --center 50,40 --size 20,20").status, 0);
  ASSERT_EQ(Run("doc stamp " + doc.string() + " --image 2 --center 800,500 --size 30,30 --page 7").status, 0);
  // Half off a corner is still on the page.
  ASSERT_EQ(Run("doc stamp " + doc.string() + " --image 1 --center 0,595 --size 10,10 --page 7").status, 0);
  const std::string files = Files();
  for (const char* off : {"--center -10,300 --size 20,20", "--center 300,605 --size 20,20",
                          "--center 900,300 --size 100,10", "--center 300,-5 --size 20,10 --page 2"}) {
    const Result refused = Run("doc stamp " + doc.string() + " --image 1 " + off);
    EXPECT_EQ(refused.status, 1) << off;
    EXPECT_EQ(Count(refused.err, "\n"), 1u) << refused.err;
    EXPECT_NE(refused.err.find("entirely off its page"), std::string::npos) << refused.err;
  }
  EXPECT_EQ(Files(), files);

  const Result flattened = Run("doc flatten " + doc.string() + " --out -");
  ASSERT_EQ(flattened.status, 0) << flattened.err;
  EXPECT_NE(flattened.err.find("3 stamps; 2 pages in one SVG"), std::string::npos) << flattened.err;
  const std::string& svg = flattened.out;
  EXPECT_EQ(Count(svg, "class=\"sheet\""), 2u);
  const size_t first = svg.find("<g class=\"sheet\" data-page=\"0\">");
  const size_t seventh = svg.find("<g class=\"sheet\" data-page=\"7\" transform=\"translate(0 615)\">");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(seventh, std::string::npos);
  EXPECT_NE(svg.find("height=\"1210\" viewBox=\"0 0 842 1210\""), std::string::npos) << "two pages and the gap";
  // y upwards: 40 up is 595 - 40 - 10 down from the top of the page.
  const size_t low = svg.find(" x=\"40\" y=\"545\" width=\"20\" height=\"20\"");
  EXPECT_GT(low, first);
  EXPECT_LT(low, seventh);
  EXPECT_GT(svg.find(" x=\"785\" y=\"80\" width=\"30\" height=\"30\""), seventh);
  EXPECT_GT(svg.find(" x=\"-5\" y=\"-5\" width=\"10\" height=\"10\""), seventh);
  // Each stamp places its picture, which the page holds once.
  EXPECT_EQ(Count(svg, "<use href=\"#picture-"), 3u);
  EXPECT_EQ(Count(svg, "<image "), 2u);
}

}  // namespace
