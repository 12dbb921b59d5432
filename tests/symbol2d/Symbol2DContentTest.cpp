// The "symbol2d" content: writing, reading back through the content visitor, and the
// flattened form.
#include <gtest/gtest.h>

#include <algorithm>

#include "oxannotations/ConstStrings.h"
#include "oxk/ContentFile.h"
#include "oxk/Pipeline.h"
#include "symbol2d/Symbol2DTestSupport.h"

namespace {

using namespace symbol2dtest;
using oxannotations::Symbol2D;
using oxannotations::Symbol2DInfo;
using oxk::SerializedContentElement;
using oxk::illustration::SequencerTag;
using util::SmartPtr;
using Value = SerializedContentElement::Value;

SmartPtr<SerializedContentElement> NewDocument() {
  return SmartPtr<SerializedContentElement>(new SerializedContentElement(util::Symbol("document")));
}

SmartPtr<SerializedContentElement> ContentOf(Symbol2D& symbol) {
  auto document = NewDocument();
  symbol.Visit(document);
  const auto saved = oxk::ContentFile::FromText(oxk::ContentFile::ToText(*document));
  return saved ? saved->GetChildren(oxannotations::ConstStrings::oxSymbol2D).at(0) : nullptr;
}

std::vector<util::Symbol> Keys(const SerializedContentElement& element) {
  std::vector<util::Symbol> keys;
  for (const auto& entry : element.GetEntries()) {
    keys.push_back(entry.key);
  }
  return keys;
}

bool Has(const SerializedContentElement& element, const char* key) {
  const auto keys = Keys(element);
  return std::find(keys.begin(), keys.end(), util::Symbol(key)) != keys.end();
}

Symbol2DInfo FullRecord() {
  Symbol2DInfo record;
  record.title = util::Symbol("Hot <surface>");
  record.description = util::Symbol("Let it cool & wait");
  record.showTooltipTitle = false;
  record.showTooltipDescription = true;
  record.imageID = 42;
  record.imageName = util::Symbol("hot");
  record.imageFileName = util::Symbol("hot.png");
  record.center = geo::DPoint3D(1.5, -2.25, 3);
  record.width = 11;
  record.height = 7.5f;
  record.lineColor = geo::Color(0.1f, 0.2f, 0.3f, 0.4f);
  record.lineWidth = 3;
  record.lineStipple = 5;
  record.fillColor = geo::Color(0.9f, 0.8f, 0.7f, 0.6f);
  record.transparency = 0.25f;
  record.screenSpace = true;
  record.anchor = 6;
  record.reverse = true;
  record.flipHorizontally = true;
  record.rotateRight = 90;
  record.rotateLeft = 180;
  record.isBillboard = false;
  record.pageNum = 2;
  for (const auto type : {SequencerTag::kSafety, SequencerTag::kTool}) {
    SmartPtr<SequencerTag> tag(new SequencerTag());
    tag->SetType(type);
    tag->SetDescription(type == SequencerTag::kTool ? "Wrench" : "Heat");
    tag->SetName("n");
    tag->SetUnits("u");
    tag->SetQuantityString("2");
    record.sequencerTags.push_back(tag);
  }
  return record;
}

TEST(Symbol2DContent, EveryFieldAndTagLoadsBackFromASavedDocument) {
  ScopedWorld world;
  ScopedScene<oxk::Scene> scene;
  SmartPtr<Symbol2D> symbol(new Symbol2D(FullRecord()));
  ASSERT_TRUE(symbol->AttachScene(scene.Get()));
  ASSERT_TRUE(WaitForLoader());
  geo::Location placed;
  placed.Set(geo::DPoint3D(1.5, -2.25, 3), geo::Quaternion<float>::FromAxisAngle(0, 1, 0, 0.75f), 1.0f);
  symbol->GetMarkup()->SetLocation(placed);
  symbol->Hide(false, {}, false);

  const auto content = ContentOf(*symbol);
  ASSERT_TRUE(content);
  const auto keys = Keys(*content);
  ASSERT_GE(keys.size(), 3u);
  EXPECT_TRUE(keys[0] == oxk::Annotation::VisibleKey());
  EXPECT_TRUE(keys[1] == "title");

  SmartPtr<Symbol2D> restored(new Symbol2D());
  ASSERT_TRUE(restored->InitializeFromSerializedContent(content, nullptr));
  EXPECT_TRUE(restored->CreatedFromFile());
  EXPECT_FALSE(restored->IsVisible());
  EXPECT_EQ(restored->GetTitle(), "Hot <surface>");
  EXPECT_EQ(restored->GetDescription(), "Let it cool & wait");
  EXPECT_FALSE(restored->ShowTooltipTitle());
  EXPECT_TRUE(restored->ShowTooltipDescription());
  EXPECT_TRUE(restored->GetImageName() == "hot");
  EXPECT_TRUE(restored->GetImageFileName() == "hot.png");
  EXPECT_EQ(restored->GetCenter(), geo::DPoint3D(1.5, -2.25, 3));
  float width = 0, height = 0;
  restored->GetOrigSize(width, height);
  EXPECT_EQ(width, 11.0f);
  EXPECT_EQ(height, 7.5f);
  EXPECT_EQ(restored->GetLineColor(), geo::Color(0.1f, 0.2f, 0.3f, 0.4f));
  EXPECT_EQ(restored->GetLineWidth(), 3);
  EXPECT_EQ(restored->GetLineStipple(), 5);
  EXPECT_EQ(restored->GetFillColor(), geo::Color(0.9f, 0.8f, 0.7f, 0.6f));
  EXPECT_EQ(restored->GetTransparency(), 0.0f);  // its image had loaded: opaque
  EXPECT_TRUE(restored->IsScreenSpace());
  EXPECT_EQ(restored->GetAnchor(), 6);
  EXPECT_TRUE(restored->GetReverse());
  EXPECT_TRUE(restored->GetFlipHorizontally());
  EXPECT_EQ(restored->GetRotateRight(), 90);
  EXPECT_EQ(restored->GetRotateLeft(), 180);
  EXPECT_FALSE(restored->IsBillboard3D());
  EXPECT_EQ(restored->GetPageNum(), 2);
  oxcommon::SequencerTagList tags;
  restored->GetSequencerTags(tags);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags[0]->GetType(), SequencerTag::kSafety);
  EXPECT_EQ(tags[0]->GetDescription(), "Heat");
  EXPECT_EQ(tags[1]->GetType(), SequencerTag::kTool);
  EXPECT_EQ(tags[1]->GetDescription(), "Wrench");
  EXPECT_EQ(tags[1]->GetName(), "n");
  EXPECT_EQ(tags[1]->GetUnits(), "u");
  EXPECT_EQ(tags[1]->GetQuantityString(), "2");

  // The markup's placement was saved (not the record's) and is applied at attachment.
  ScopedScene<oxk::Scene> other;
  ASSERT_TRUE(restored->AttachScene(other.Get()));
  ASSERT_TRUE(WaitForLoader());
  EXPECT_TRUE(restored->GetMarkup()->GetLocation().IsApproximately(placed));

  // The three-argument form reads the same.
  SmartPtr<Symbol2D> again(new Symbol2D());
  ASSERT_TRUE(again->InitializeFromSerializedContent(content, nullptr, nullptr));
  EXPECT_EQ(again->GetRotateLeft(), 180);
  EXPECT_EQ(again->GetTitle(), "Hot <surface>");
}

TEST(Symbol2DContent, OnlyAPlacedAttachedSymbolWritesItsPlacement) {
  ScopedWorld world;
  Symbol2DInfo record = FullRecord();
  const auto detached = ContentOf(*SmartPtr<Symbol2D>(new Symbol2D(record)));
  EXPECT_FALSE(Has(*detached, "bbXform"));  // never attached
  EXPECT_EQ(std::get<float>(*detached->FindProperty(util::Symbol("transparency"))), 0.25f);
  record.isBillboard = true;
  ScopedScene<oxk::Scene> scene;
  SmartPtr<Symbol2D> billboard(new Symbol2D(record));
  ASSERT_TRUE(billboard->AttachScene(scene.Get()));
  ASSERT_TRUE(WaitForLoader());
  EXPECT_FALSE(Has(*ContentOf(*billboard), "bbXform"));
  const auto written = ContentOf(*SmartPtr<Symbol2D>(new Symbol2D()));
  EXPECT_TRUE(Has(*written, "width"));  // a never attached symbol writes its record
}

TEST(Symbol2DContent, AbsentKeysTakeTheRecordDefaultsAndFlagsCountAsTurns) {
  ScopedWorld world;
  auto content = NewDocument();
  content->AddProperty(util::Symbol("rotateRight"), Value(true));
  content->AddProperty(util::Symbol("rotateLeft"), Value(false));
  content->AddProperty(util::Symbol("sequencerTagName"), Value(util::Symbol("stray")));  // before any tag
  SmartPtr<Symbol2D> symbol(new Symbol2D());
  ASSERT_TRUE(symbol->InitializeFromSerializedContent(content, nullptr));
  EXPECT_EQ(symbol->GetRotateRight(), 1);
  EXPECT_EQ(symbol->GetRotateLeft(), 0);
  geo::DVec3 size;
  symbol->GetMarkupSize(0, size);
  EXPECT_EQ(size, geo::DVec3(0, 0, 0));  // not the 30 of a new symbol
  float width = 1, height = 1;
  symbol->GetOrigSize(width, height);
  EXPECT_EQ(width, 0.0f);
  EXPECT_EQ(height, 0.0f);
  EXPECT_EQ(symbol->GetFillColor(), geo::Color(0.5f, 0.6f, 0.9f, 0.2f));  // the preference default
  oxcommon::SequencerTagList tags;
  symbol->GetSequencerTags(tags);
  EXPECT_TRUE(tags.empty());
}

TEST(Symbol2DContent, KeysTheReaderDoesNotOwnAreTracedAndIgnored) {
  TraceCapture traces;
  auto content = NewDocument();
  content->AddProperty(util::Symbol("somebodysSymbol"), Value(util::Symbol("x")));
  content->AddProperty(util::Symbol("imageName"), Value(int32_t{5}));  // right key, wrong type
  content->AddProperty(util::Symbol("somebodysFloat"), Value(1.0f));
  content->AddProperty(util::Symbol("somebodysColor"), Value(geo::Color()));
  content->AddProperty(util::Symbol("somebodysPoint"), Value(geo::DPoint3D()));
  content->AddProperty(util::Symbol("somebodysLocation"), Value(geo::Location()));
  content->AddProperty(oxk::Annotation::VisibleKey(), Value(false));
  SmartPtr<Symbol2D> symbol(new Symbol2D());
  ASSERT_TRUE(symbol->InitializeFromSerializedContent(content, nullptr));
  ASSERT_EQ(traces.records.size(), 5u);
  EXPECT_EQ(traces.records[0].message, "Unhandle symbol somebodysSymbol\n");
  EXPECT_EQ(traces.records[0].type, 2);
  EXPECT_EQ(traces.records[0].component, "symbol3d");
  EXPECT_EQ(traces.records[0].subComponent, "symbol2d");
  EXPECT_EQ(traces.records[1].message, "Unhandle int32 imageName\n");
  EXPECT_EQ(traces.records[2].message, "Unhandle float somebodysFloat\n");
  EXPECT_EQ(traces.records[3].message, "Unhandle color somebodysColor\n");
  EXPECT_EQ(traces.records[4].message, "Unhandle point somebodysPoint\n");
  EXPECT_TRUE(symbol->GetImageName().empty());
  EXPECT_FALSE(symbol->IsVisible());  // the host's own bool key reaches the host
}

TEST(Symbol2DContent, FlatteningWritesThePixelBoxAsCentreAndSize) {
  ScopedWorld world;
  ScopedScene<oxk::Scene> scene;
  Symbol2DInfo record = FullRecord();
  record.center = geo::DPoint3D(0, 0, 0);
  record.width = 10;
  record.height = 5;
  SmartPtr<Symbol2D> symbol(new Symbol2D(record));
  ASSERT_TRUE(symbol->AttachScene(scene.Get()));
  ASSERT_TRUE(WaitForLoader());
  oxk::Pipeline pipeline;
  geo::DMat44 toPixels;
  toPixels.m[0][0] = toPixels.m[1][1] = 3;
  toPixels.m[0][3] = 200;
  pipeline.SetCurrentMatrix(toPixels);
  auto document = NewDocument();
  EXPECT_TRUE(symbol->Flatten(document, {}, nullptr, &pipeline));
  const auto flat = document->GetChildren(oxannotations::ConstStrings::oxSymbol2D).at(0);
  EXPECT_EQ(std::get<geo::DPoint3D>(*flat->FindProperty(util::Symbol("center"))), geo::DPoint3D(200, 0, 0));
  EXPECT_EQ(std::get<float>(*flat->FindProperty(util::Symbol("width"))), 30.0f);
  EXPECT_EQ(std::get<float>(*flat->FindProperty(util::Symbol("height"))), 15.0f);
  EXPECT_EQ(std::get<int32_t>(*flat->FindProperty(util::Symbol("rotateLeft"))), 180);
}

}  // namespace
