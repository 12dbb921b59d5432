// The flattened symbol: its content, its clone, and its one element in a 2D document.
#include <gtest/gtest.h>

#include "oxannotations/ConstStrings.h"
#include "oxk/ContentFile.h"
#include "oxk/illustration2d/Annotation2D.h"
#include "oxk/illustration2d/Scene2D.h"
#include "symbol3d/SymbolAnnotation.h"
#include "symbol3d/SymbolAnnotationFlattened.h"

namespace {

using oxannotations::SymbolAnnotationFlattened;
using oxannotations::SymbolInfoFlattened;
using oxk::SerializedContentElement;
using util::SmartPtr;
using Value = SerializedContentElement::Value;

SmartPtr<SerializedContentElement> NewDocument() {
  return SmartPtr<SerializedContentElement>(new SerializedContentElement(util::Symbol("document")));
}

SymbolInfoFlattened Record() {
  SymbolInfoFlattened record;
  record.title = "Wrench";
  record.description = "Tighten";
  record.showTooltipTitle = true;
  record.fileName = util::Symbol("wrench.obj");
  record.name = util::Symbol("W");
  record.id = util::Symbol("sym3");
  record.xform = geo::FMat33(0, -1, 40, 1, 0, 25, 0, 0, 1);
  return record;
}

// Closes a 2D scene at the end: its annotations detach and it lets go of them.
struct Scene2DGuard {
  Scene2DGuard() : scene(new oxk::illustration2d::Scene2D()) {}
  Scene2DGuard(const Scene2DGuard&) = delete;
  Scene2DGuard& operator=(const Scene2DGuard&) = delete;
  ~Scene2DGuard() { scene->DetachAll(); }
  [[nodiscard]] size_t Elements() const { return scene->GetDocument2D()->GetTree()->GetChildren().size(); }
  SmartPtr<oxk::illustration2d::Scene2D> scene;
};

TEST(FlattenedSymbol, ContentCarriesTheTextsAndTheMatrixOfItsPlacement) {
  SmartPtr<SymbolAnnotationFlattened> symbol(new SymbolAnnotationFlattened());
  symbol->SetSymbolInfo(Record());
  auto document = NewDocument();
  symbol->Visit(document);
  EXPECT_TRUE(document->GetEntries().empty());  // not saved with the document

  auto content = NewDocument();
  symbol->SerializeContent(content);
  const Value* xform = content->FindProperty(util::Symbol("xform"));
  ASSERT_NE(xform, nullptr);
  EXPECT_TRUE(std::get<geo::Location>(*xform).GetPos().IsBad());
  const auto saved = oxk::ContentFile::FromText(oxk::ContentFile::ToText(*content));
  ASSERT_TRUE(saved);

  SmartPtr<SymbolAnnotationFlattened> restored(new SymbolAnnotationFlattened());
  ASSERT_TRUE(restored->InitializeFromSerializedContent(saved, nullptr, nullptr));
  EXPECT_EQ(restored->GetXform(), Record().xform);
  EXPECT_EQ(restored->GetTitle(), "Wrench");
  EXPECT_EQ(restored->GetDescription(), "Tighten");
  EXPECT_TRUE(restored->ShowTooltipTitle());
  EXPECT_TRUE(restored->GetFileName() == "wrench.obj");
  EXPECT_TRUE(restored->GetInstancePathId() == "sym3");

  // Without "xform" the placement is the matrix default, not what the symbol held.
  auto bare = NewDocument();
  bare->AddProperty(util::Symbol("title"), Value(util::Symbol("T")));
  bare->AddProperty(util::Symbol("other"), Value(geo::Location()));
  ASSERT_TRUE(restored->InitializeFromSerializedContent(bare, nullptr));
  EXPECT_EQ(restored->GetXform(), geo::FMat33());
  EXPECT_EQ(restored->GetTitle(), "T");
}

TEST(FlattenedSymbol, TakesTheHandOverOfA3DSymbol) {
  class Shaped : public oxannotations::SymbolAnnotation {
   public:
    void GiveShape() { shapeInstance = SmartPtr<oxk::ShapeInstance>(new oxk::ShapeInstance()); }
  };
  SmartPtr<Shaped> source(new Shaped());
  oxannotations::SymbolInfo record;
  record.title = "Arrow";
  record.id = util::Symbol("sym9");
  source->SetSymbolInfo(record);
  source->GiveShape();
  auto document = NewDocument();
  ASSERT_TRUE(source->Flatten(document, {}, nullptr, nullptr));
  SmartPtr<SymbolAnnotationFlattened> flat(new SymbolAnnotationFlattened());
  ASSERT_TRUE(flat->InitializeFromSerializedContent(
      document->GetChildren(oxannotations::ConstStrings::oxSymbol3DFlattened).at(0), nullptr));
  EXPECT_EQ(flat->GetTitle(), "Arrow");
  EXPECT_TRUE(flat->GetInstancePathId() == "sym9");
}

TEST(FlattenedSymbol, CloneCarriesEveryField) {
  SmartPtr<SymbolAnnotationFlattened> symbol(new SymbolAnnotationFlattened());
  symbol->SetSymbolInfo(Record());
  const auto clone = util::DynamicCast<SymbolAnnotationFlattened>(symbol->Clone());
  ASSERT_TRUE(clone);
  EXPECT_NE(clone.get(), symbol.get());
  EXPECT_TRUE(clone->CreatedFromFile());
  EXPECT_TRUE(clone->GetClass() == oxannotations::ConstStrings::oxSymbol3DFlattened);
  EXPECT_EQ(clone->GetXform(), Record().xform);
  EXPECT_EQ(clone->GetTitle(), "Wrench");
  EXPECT_EQ(clone->GetDescription(), "Tighten");
  EXPECT_TRUE(clone->ShowTooltipTitle());
  EXPECT_FALSE(clone->ShowTooltipDescription());
  EXPECT_TRUE(clone->GetFileName() == "wrench.obj");
  EXPECT_TRUE(clone->GetInstancePathId() == "sym3");
}

TEST(FlattenedSymbol, MakesOneAnnotationElementPerPathHoweverOftenAsked) {
  Scene2DGuard page;
  SmartPtr<SymbolAnnotationFlattened> symbol(new SymbolAnnotationFlattened());
  symbol->SetIDPath(util::Symbol("/views/1/sym3"));
  ASSERT_TRUE(symbol->AttachScene(SmartPtr<oxk::Scene>(page.scene.get())));
  ASSERT_EQ(page.scene->GetAnnotations().size(), 1u);
  EXPECT_EQ(page.scene->GetAnnotations()[0].get(), static_cast<oxk::Annotation*>(symbol.get()));

  symbol->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.scene.get()));
  symbol->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.scene.get()));
  ASSERT_EQ(page.Elements(), 1u);
  const auto element =
      util::DynamicCast<oxk::illustration2d::Annotation2D>(page.scene->GetDocument2D()->GetTree()->GetChildren()[0]);
  ASSERT_TRUE(element);
  EXPECT_TRUE(element->GetIDPath() == "/views/1/sym3");
  EXPECT_TRUE(element->GetLayer()->GetName() == "Annotation");

  // A clone with another path gets an element of its own; a hidden one gets none.
  const auto other = symbol->Clone();
  other->SetIDPath(util::Symbol("/views/1/sym4"));
  other->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.scene.get()));
  EXPECT_EQ(page.Elements(), 2u);
  const auto hidden = symbol->Clone();
  hidden->SetIDPath(util::Symbol("/views/1/sym5"));
  hidden->Hide(false, {}, false);
  hidden->CreateAnnotation2D(SmartPtr<oxk::Scene>(page.scene.get()));
  EXPECT_EQ(page.Elements(), 2u);

  SmartPtr<oxk::Scene> plain(new oxk::Scene());
  const auto elsewhere = symbol->Clone();
  elsewhere->SetIDPath(util::Symbol("/views/1/sym6"));
  elsewhere->CreateAnnotation2D(plain);
  EXPECT_EQ(page.Elements(), 2u);
}

}  // namespace
