#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "oxannotations/ConstStrings.h"
#include "oxk/ContentFile.h"
#include "symbol3d/SerializedContentVisitor.h"
#include "symbol3d/SymbolAnnotation.h"

namespace {

using oxannotations::SymbolAnnotation;
using oxannotations::SymbolInfo;
using oxk::SerializedContentElement;
using oxk::illustration::SequencerTag;
using util::SmartPtr;
using Value = SerializedContentElement::Value;

// The shape instance normally comes from attaching to a scene; here it is handed in.
class ShapedSymbol : public SymbolAnnotation {
 public:
  void GiveShape(const SmartPtr<oxk::ShapeInstance>& shape) { shapeInstance = shape; }
};

SmartPtr<SerializedContentElement> NewDocument() {
  return SmartPtr<SerializedContentElement>(new SerializedContentElement(util::Symbol("document")));
}

SmartPtr<oxk::ShapeInstance> NewShape(const geo::Location& location) {
  SmartPtr<oxk::ShapeInstance> shape(new oxk::ShapeInstance());
  shape->SetLocation(location, false);
  return shape;
}

SmartPtr<SequencerTag> NewTag(SequencerTag::Type type, const char* description, const char* units,
                              const char* quantity) {
  SmartPtr<SequencerTag> tag(new SequencerTag());
  tag->SetType(type);
  tag->SetDescription(description);
  tag->SetName("Wrench");
  tag->SetUnits(units);
  tag->SetQuantityString(quantity);
  return tag;
}

geo::Location Frame(double x, float angle) {
  geo::Location l;
  l.Set(geo::DPoint3D(x, 2 * x, -x), geo::Quaternion<float>::FromAxisAngle(0, 1, 0, angle), 1.0f);
  return l;
}

std::vector<util::Symbol> Keys(const SerializedContentElement& element) {
  std::vector<util::Symbol> keys;
  for (const auto& entry : element.GetEntries()) {
    keys.push_back(entry.key);
  }
  return keys;
}

// A full symbol, saved to a real file and loaded into a fresh symbol.
TEST(SymbolContent, SavedSymbolLoadsBackWithEveryField) {
  SmartPtr<ShapedSymbol> symbol(new ShapedSymbol());
  SymbolInfo record;
  record.title = "Torque <wrench>";
  record.description = "Tighten & check";
  record.showTooltipTitle = true;
  record.showTooltipDescription = true;
  record.fileName = util::Symbol("wrench.obj");
  record.name = util::Symbol("Wrench");
  record.id = util::Symbol("sym7");
  record.isAnnotationSymbol = true;
  record.symbolCsysLocation = Frame(3, 0.5f);
  record.hasSymbolCsysLocation = true;
  record.symbolInitLocation = Frame(-1, 1.0f);
  record.hasSymbolInitLocation = true;
  record.connectedParts.push_back(
      {util::Symbol("/1/4"), util::Symbol(), geo::DPoint3D(1, 2, 3), geo::DVec3(0.5, 0, 0)});
  record.connectedParts.push_back(
      {util::Symbol("/1/5"), util::Symbol("/1"), geo::DPoint3D(4, 5, 6), geo::DVec3(0, 0, -2)});
  record.sequencerTags.push_back(NewTag(SequencerTag::kTorque, "Tightening torque", "Nm", "25"));
  symbol->SetSymbolInfo(record);

  geo::Location placed;
  placed.Set(geo::DPoint3D(10, 20, 30), geo::Quaternion<float>::FromAxisAngle(0, 0, 1, 0.25f), 2.0f);
  auto shape = NewShape(placed);
  SmartPtr<oxg::Material> material(new oxg::Material(geo::Color(0.1f, 0.1f, 0.1f, 1), geo::Color(0.8f, 0.2f, 0.2f, 1),
                                                     geo::Color(0, 0, 0, 1), geo::Color(1, 1, 1, 1), 30.0f));
  shape->SetAppearanceOverride(SmartPtr<oxg::Appearance>(new oxg::Appearance(material)));
  shape->SetTransparency(0.25f);
  symbol->GiveShape(shape);

  auto document = NewDocument();
  symbol->Visit(document);
  const auto children = document->GetChildren(oxannotations::ConstStrings::oxSymbol3D);
  ASSERT_EQ(children.size(), 1u);
  EXPECT_TRUE(children[0]->IsClosed());

  const auto reloaded = oxk::ContentFile::FromText(oxk::ContentFile::ToText(*document));
  ASSERT_TRUE(reloaded);
  const auto content = reloaded->GetChildren(oxannotations::ConstStrings::oxSymbol3D).at(0);

  SmartPtr<SymbolAnnotation> restored(new SymbolAnnotation());
  EXPECT_TRUE(restored->InitializeFromSerializedContent(content, nullptr));
  EXPECT_EQ(restored->GetTitle(), "Torque <wrench>");
  EXPECT_EQ(restored->GetDescription(), "Tighten & check");
  EXPECT_TRUE(restored->ShowTooltipTitle());
  EXPECT_TRUE(restored->ShowTooltipDescription());
  EXPECT_TRUE(restored->GetFileName() == "wrench.obj");
  EXPECT_TRUE(restored->IsLegacySymbol());
  EXPECT_TRUE(restored->IsAnnotationSymbol());
  EXPECT_EQ(restored->GetPartCsys(), record.symbolCsysLocation);
  EXPECT_EQ(restored->GetInitLocation(), record.symbolInitLocation);
  EXPECT_TRUE(restored->GetSymbolLocation().IsApproximately(placed));

  ASSERT_EQ(restored->GetConnectedParts().size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const auto& a = record.connectedParts[i];
    const auto b = restored->GetConnectedParts()[i];
    EXPECT_TRUE(a.partId == b.partId);
    EXPECT_TRUE(a.assemblyPartId == b.assemblyPartId);
    EXPECT_EQ(a.lastPos, b.lastPos);
    EXPECT_EQ(a.offset, b.offset);
  }

  oxcommon::SequencerTagList tags;
  restored->GetSequencerTags(tags);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0]->GetType(), SequencerTag::kTorque);
  EXPECT_EQ(tags[0]->GetDescription(), "Tightening torque");
  EXPECT_EQ(tags[0]->GetName(), "Wrench");
  EXPECT_EQ(tags[0]->GetUnits(), "Nm");
  EXPECT_EQ(tags[0]->GetQuantityString(), "25");

  ASSERT_TRUE(restored->HasAppearanceOverride());
  SmartPtr<oxg::Material> restoredMaterial;
  ASSERT_TRUE(restored->GetAppearanceOverride()->GetMaterial(restoredMaterial));
  EXPECT_EQ(restoredMaterial->GetDiffuse(), material->GetDiffuse());
  EXPECT_EQ(restoredMaterial->GetShininess(), 30.0f);
}

TEST(SymbolContent, WrittenKeysFollowTheAppearanceOfTheLiveShape) {
  SmartPtr<ShapedSymbol> symbol(new ShapedSymbol());
  auto shape = NewShape(geo::Location::IDENTITY);
  symbol->GiveShape(shape);

  auto plain = NewDocument();
  symbol->SerializeContent(plain);
  auto keys = Keys(*plain);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), util::Symbol("appHasOverride")), 1);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), util::Symbol("appAmbient")), 0);
  const Value* flag = plain->FindProperty(util::Symbol("appHasOverride"));
  ASSERT_NE(flag, nullptr);
  EXPECT_FALSE(std::get<bool>(*flag));

  shape->SetAppearanceOverride(SmartPtr<oxg::Appearance>(new oxg::Appearance({})));
  auto noMaterial = NewDocument();
  symbol->SerializeContent(noMaterial);
  keys = Keys(*noMaterial);
  for (const char* key : {"appAmbient", "appTransp", "appShininess", "appHasOverride"}) {
    EXPECT_EQ(std::count(keys.begin(), keys.end(), util::Symbol(key)), 0) << key;
  }
  // The host's own content comes first, then the common texts in their order.
  ASSERT_GE(keys.size(), 8u);
  EXPECT_TRUE(keys[0] == oxk::Annotation::VisibleKey());
  EXPECT_TRUE(keys[1] == "title");
  EXPECT_TRUE(keys[7] == "ID");
}

TEST(SymbolContent, WithoutShapeNothingIsWrittenAndFlattenFails) {
  SmartPtr<SymbolAnnotation> symbol(new SymbolAnnotation());
  auto document = NewDocument();
  symbol->Visit(document);
  EXPECT_TRUE(document->GetEntries().empty());
  EXPECT_FALSE(symbol->Flatten(document, {}, nullptr, nullptr));
  EXPECT_TRUE(document->GetEntries().empty());
}

TEST(SymbolContent, FlattenHandsOverOnlyTextsAndNames) {
  SmartPtr<ShapedSymbol> symbol(new ShapedSymbol());
  SymbolInfo record;
  record.title = "T";
  record.id = util::Symbol("s1");
  symbol->SetSymbolInfo(record);
  symbol->GiveShape(NewShape(geo::Location::IDENTITY));
  auto document = NewDocument();
  EXPECT_TRUE(symbol->Flatten(document, {}, nullptr, nullptr));
  const auto flat = document->GetChildren(oxannotations::ConstStrings::oxSymbol3DFlattened);
  ASSERT_EQ(flat.size(), 1u);
  const auto keys = Keys(*flat[0]);
  const std::vector<util::Symbol> expected = {oxk::Annotation::VisibleKey(), "title", "description", "showTooltipTitle",
                                              "showTooltipDescription",      "name",  "fileName",    "ID"};
  EXPECT_EQ(keys, expected);
}

TEST(SymbolContent, AbsentKeysGiveDefaultsAndStrayKeysReachTheHost) {
  auto content = NewDocument();
  content->AddProperty(util::Symbol("attachedToPartId"), Value(util::Symbol("/stray")));  // before any part
  content->AddProperty(util::Symbol("sequencerTagName"), Value(util::Symbol("stray")));   // before any tag
  content->AddProperty(util::Symbol("appTransp"), Value(0.9f));
  content->AddProperty(util::Symbol("isAnnotationSymbol"), Value(true));
  content->AddProperty(util::Symbol("somebodyElses"), Value(int32_t{3}));
  content->AddProperty(util::Symbol("title"), Value(geo::Color()));  // right key, wrong type
  auto part = content->StartContent(util::Symbol("attachedToPart"));
  part->AddProperty(util::Symbol("attachedToPartId"), Value(util::Symbol("/1/2")));
  part->EndContent();
  auto other = content->StartContent(util::Symbol("unrelated"));
  other->AddProperty(util::Symbol("inside"), Value(true));
  other->EndContent();

  SmartPtr<SymbolAnnotation> probe(new SymbolAnnotation());
  oxannotations::SerializedContentVisitor visitor(probe);
  content->Visit(visitor, true);
  const auto& unhandled = visitor.GetUnhandledKeys();
  EXPECT_EQ(unhandled, (std::vector<util::Symbol>{"somebodyElses", "title", "inside"}));
  EXPECT_EQ(visitor.GetInfo().connectedParts.size(), 1u);
  EXPECT_TRUE(visitor.GetInfo().sequencerTags.empty());

  SmartPtr<SymbolAnnotation> symbol(new SymbolAnnotation());
  EXPECT_TRUE(symbol->InitializeFromSerializedContent(content, nullptr));
  EXPECT_EQ(symbol->GetTitle(), "");
  EXPECT_EQ(symbol->GetPartCsys(), geo::Location::IDENTITY);
  EXPECT_EQ(symbol->GetInitLocation(), geo::Location::IDENTITY);
  EXPECT_FALSE(symbol->HasAppearanceOverride());
  ASSERT_EQ(symbol->GetConnectedParts().size(), 1u);
  EXPECT_TRUE(symbol->GetConnectedParts()[0].partId == "/1/2");
  EXPECT_TRUE(symbol->GetConnectedParts()[0].assemblyPartId.empty());
}

TEST(SymbolContent, HostVisibilityTravelsWithTheContent) {
  SmartPtr<ShapedSymbol> symbol(new ShapedSymbol());
  symbol->GiveShape(NewShape(geo::Location::IDENTITY));
  symbol->Hide(false, {}, false);
  auto document = NewDocument();
  symbol->Visit(document);
  SmartPtr<SymbolAnnotation> restored(new SymbolAnnotation());
  ASSERT_TRUE(restored->IsVisible());
  restored->InitializeFromSerializedContent(document->GetChildren(oxannotations::ConstStrings::oxSymbol3D).at(0),
                                            nullptr);
  EXPECT_FALSE(restored->IsVisible());
}

}  // namespace
