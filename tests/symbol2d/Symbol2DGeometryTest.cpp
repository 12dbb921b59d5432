// The 2D symbol's stamp: attaching, user changes with their undo steps, turning, sizes,
// and its element in a 2D illustration document.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "geo/DMat44.h"
#include "oxannotations/MoveOperationStep.h"
#include "oxannotations/SizeOperationStep.h"
#include "oxk/Operation.h"
#include "oxk/illustration2d/Scene2D.h"
#include "support/TempFolder.h"
#include "support/TestImages.h"
#include "symbol2d/Symbol2DTestSupport.h"

namespace {

using namespace symbol2dtest;
using oxannotations::Symbol2D;
using oxannotations::Symbol2DInfo;
using util::SmartPtr;

Symbol2DInfo Record(double x, double y, float width, float height) {
  Symbol2DInfo record;
  record.title = util::Symbol("Stamp");
  record.description = util::Symbol("A stamp");
  record.showTooltipTitle = true;
  record.center = geo::DPoint3D(x, y, 0);
  record.width = width;
  record.height = height;
  return record;
}

TEST(Symbol2DStamp, AttachingMakesAndConfiguresTheMarkupOnce) {
  ScopedWorld world;
  Symbol2DInfo record = Record(5, 6, 10, 4);
  record.pageNum = 3;
  record.reverse = true;
  record.lineColor = geo::Color(1, 0, 0, 1);
  record.isBillboard = false;
  SmartPtr<Symbol2D> symbol(new Symbol2D(record));
  ScopedScene<oxk::Scene> first;
  ScopedScene<oxk::Scene> second;
  EXPECT_TRUE(symbol->AttachScene({}));
  EXPECT_FALSE(symbol->GetMarkup());

  ASSERT_TRUE(symbol->AttachScene(first.Get()));
  const SmartPtr<oxmk::Stamp> markup = symbol->GetMarkup();
  ASSERT_TRUE(markup);
  EXPECT_TRUE(markup->Is3D());
  EXPECT_EQ(markup->GetAnchor(), 1);
  EXPECT_EQ(markup->GetCenter(), geo::DPoint3D(5, 6, 0));
  EXPECT_EQ(markup->GetWidth(), 10.0f);
  EXPECT_EQ(markup->GetHeight(), 4.0f);
  EXPECT_EQ(markup->GetPageNum(), 3);
  EXPECT_TRUE(markup->GetReverse());
  EXPECT_FALSE(markup->IsBillboard3D());
  EXPECT_EQ(markup->GetLineColor(), geo::Color(1, 0, 0, 1));
  EXPECT_EQ(first->GetAnnotations().size(), 1u);
  ASSERT_TRUE(WaitForLoader());

  EXPECT_TRUE(symbol->AttachScene(first.Get()));  // the same scene again: nothing
  EXPECT_EQ(first->GetAnnotations().size(), 1u);
  symbol->SetFlipHorizontally(true);
  symbol->SetPageNum(4);
  EXPECT_TRUE(markup->GetFlipHorizontally());
  EXPECT_EQ(markup->GetPageNum(), 4);

  ASSERT_TRUE(symbol->DetachScene());
  EXPECT_FALSE(symbol->GetScene());
  EXPECT_TRUE(first->GetMarkups().empty());
  EXPECT_EQ(markup->GetController(), nullptr);
  ASSERT_TRUE(symbol->AttachScene(second.Get()));
  EXPECT_EQ(symbol->GetMarkup().get(), markup.get());  // kept for the next scene
}

TEST(Symbol2DStamp, AStoredPlacementIsUsedOnlyForASymbolFromAFile) {
  ScopedWorld world;
  geo::Location placement;
  placement.Set(geo::DPoint3D(1, 2, 3), geo::Quaternion<float>::FromAxisAngle(1, 0, 0, 0.5f), 1.0f);
  Symbol2DInfo record = Record(0, 0, 1, 1);
  record.bbXform = placement;
  ScopedScene<oxk::Scene> scene;
  SmartPtr<Symbol2D> made(new Symbol2D(record));
  ASSERT_TRUE(made->AttachScene(scene.Get()));
  EXPECT_EQ(made->GetMarkup()->GetLocation().GetMat(), geo::FMat33::IDENTITY);
  SmartPtr<Symbol2D> loaded(new Symbol2D(record));
  loaded->SetCreatedFromFile(true);
  ASSERT_TRUE(loaded->AttachScene(scene.Get()));
  EXPECT_EQ(loaded->GetMarkup()->GetLocation(), placement);
}

class Symbol2DEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    symbol = SmartPtr<Symbol2D>(new Symbol2D(Record(0, 0, 10, 5)));
    ASSERT_TRUE(symbol->AttachScene(scene.Get()));
    ASSERT_TRUE(WaitForLoader());  // the load makes the symbol the markup's controller
    markup = symbol->GetMarkup();
    operation = SmartPtr<oxk::Operation>(new oxk::Operation());
  }

  ScopedWorld world;
  ScopedScene<oxk::Scene> scene;
  SmartPtr<Symbol2D> symbol;
  SmartPtr<oxmk::Stamp> markup;
  SmartPtr<oxk::Operation> operation;
};

TEST_F(Symbol2DEdit, AMoveAloneAddsOneMoveStepThatUndoes) {
  ASSERT_TRUE(markup->ApplyUserChange(geo::DPoint3D(7, 8, 0), 10, 5, operation));
  ASSERT_EQ(operation->GetStepCount(), 1u);
  const auto move = util::DynamicCast<oxannotations::MoveOperationStep>(operation->GetSteps()[0]);
  ASSERT_TRUE(move);
  EXPECT_EQ(move->GetFrom().GetPos(), geo::DPoint3D(0, 0, 0));
  EXPECT_EQ(move->GetTo().GetPos(), geo::DPoint3D(7, 8, 0));
  EXPECT_EQ(symbol->GetCenter(), geo::DPoint3D(7, 8, 0));
  operation->Undo();
  EXPECT_EQ(symbol->GetCenter(), geo::DPoint3D(0, 0, 0));
  EXPECT_EQ(markup->GetCenter(), geo::DPoint3D(0, 0, 0));
  operation->Redo();
  EXPECT_EQ(markup->GetCenter(), geo::DPoint3D(7, 8, 0));
}

TEST_F(Symbol2DEdit, AResizeAloneAddsOneSizeStepThatUndoes) {
  ASSERT_TRUE(markup->ApplyUserChange(geo::DPoint3D(0, 0, 0), 20, 6, operation));
  ASSERT_EQ(operation->GetStepCount(), 1u);
  const auto size = util::DynamicCast<oxannotations::SizeOperationStep>(operation->GetSteps()[0]);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->GetFrom(), geo::DVec3(10, 5, 0));
  EXPECT_EQ(size->GetTo(), geo::DVec3(20, 6, 0));
  EXPECT_EQ(markup->GetWidth(), 20.0f);
  operation->Undo();
  EXPECT_EQ(markup->GetWidth(), 10.0f);
  geo::DVec3 undone;
  symbol->GetMarkupSize(0, undone);
  EXPECT_EQ(undone, geo::DVec3(10, 5, 0));
  operation->Redo();
  EXPECT_EQ(markup->GetHeight(), 6.0f);
}

TEST_F(Symbol2DEdit, WithoutAnOperationTheChangeStaysButNoStepIsMade) {
  ASSERT_TRUE(markup->ApplyUserChange(geo::DPoint3D(1, 1, 0), 3, 3, {}));
  geo::DVec3 size;
  symbol->GetMarkupSize(0, size);
  EXPECT_EQ(size, geo::DVec3(3, 3, 0));
  ASSERT_TRUE(markup->ApplyUserChange(geo::DPoint3D(2, 2, 0), 4, 4, operation));
  ASSERT_EQ(operation->GetStepCount(), 2u);  // both moved and resized
  const auto move = util::DynamicCast<oxannotations::MoveOperationStep>(operation->GetSteps()[0]);
  ASSERT_TRUE(move);
  EXPECT_EQ(move->GetFrom().GetPos(), geo::DPoint3D(1, 1, 0));  // from where the first change left it
  // A markup that is not the symbol's changes nothing.
  SmartPtr<oxmk::Stamp> other(new oxmk::Stamp(false, 1, true));
  EXPECT_TRUE(symbol->MarkupUpdated(SmartPtr<oxk::Markup>(other.get()), other->GetShadow(), operation));
  EXPECT_EQ(operation->GetStepCount(), 2u);
}

TEST_F(Symbol2DEdit, OriginalSizeComesBackAfterAResize) {
  symbol->SetOrigSize(8, 4);
  ASSERT_TRUE(markup->ApplyUserChange(geo::DPoint3D(0, 0, 0), 30, 30, operation));
  symbol->SetToOriginalSize();
  EXPECT_TRUE(symbol->IsOriginalSize());
  EXPECT_EQ(markup->GetWidth(), 8.0f);
  EXPECT_EQ(markup->GetStampShadow()->GetWidth(), 8.0f);  // a new shadow from the new size
}

TEST_F(Symbol2DEdit, LocationsExtentsSelectionAndVisibilityReachTheMarkup) {
  geo::Location location;
  location.Set(geo::DPoint3D(3, 4, 5), geo::Quaternion<float>::FromAxisAngle(0, 0, 1, 1.0f), 1.0f);
  const uint64_t version = markup->GetContentVersion();
  symbol->SetMarkupLocation(0, location);
  geo::Location read;
  symbol->GetMarkupLocation(0, read);
  EXPECT_EQ(read, location);
  EXPECT_EQ(markup->GetStampShadow()->GetOldCenter(), geo::DPoint3D(3, 4, 5));
  EXPECT_GT(markup->GetContentVersion(), version);

  symbol->ApplyExtents2D(geo::DBox2D{10, 20, 30, 60});
  EXPECT_EQ(markup->GetCenter(), geo::DPoint3D(20, 40, 0));
  EXPECT_EQ(markup->GetWidth(), 10.0f);
  EXPECT_EQ(markup->GetHeight(), 20.0f);
  const geo::DBox box = symbol->GetBBox();
  EXPECT_EQ(box.min, geo::DPoint3D(10, 20, 0));
  EXPECT_EQ(box.max, geo::DPoint3D(30, 60, 0));

  symbol->OnSetSelected(true, {});
  EXPECT_TRUE(markup->IsSelected());
  symbol->Hide(false, {}, false);
  EXPECT_FALSE(markup->IsVisible());
  symbol->Show(false, {});
  EXPECT_TRUE(markup->IsVisible());
  SmartPtr<oxk::Markup> shadow;
  EXPECT_TRUE(symbol->GetMarkupShadow(shadow));
  EXPECT_EQ(shadow.get(), markup->GetShadow().get());
}

TEST_F(Symbol2DEdit, ThePixelBoxIsTheMarkupRectangleThroughThePipeline) {
  symbol->ApplyExtents2D(geo::DBox2D{-10, -5, 10, 5});
  geo::Pipeline pipeline;
  geo::DMat44 toPixels;
  toPixels.m[0][0] = 2, toPixels.m[1][1] = -2, toPixels.m[0][3] = 100, toPixels.m[1][3] = 50;
  pipeline.SetCurrentMatrix(toPixels);
  const geo::DBox box = symbol->GetMarkupPixelBBox(pipeline, nullptr, 24);
  EXPECT_EQ(box.min, geo::DPoint3D(80, 40, 0));
  EXPECT_EQ(box.max, geo::DPoint3D(120, 60, 0));
  EXPECT_TRUE(SmartPtr<Symbol2D>(new Symbol2D())->GetMarkupPixelBBox(pipeline, nullptr, 24).IsEmpty());
}

TEST(Symbol2DTurn, TurnsTheImageDataInWholeQuarterTurns) {
  const auto turned = [](int right, int left) {
    SmartPtr<Symbol2D> symbol(new Symbol2D());
    symbol->GetImage()->SetImageData(3, 2, testsupport::TestPixels(3, 2));
    symbol->SetImageRotation(right, left);
    uint32_t width = 0, height = 0;
    symbol->GetImage()->GetSize(width, height);
    const auto pixels = symbol->GetImage()->GetPixels();
    return std::make_tuple(width, height, std::vector<uint8_t>(pixels.begin(), pixels.begin() + 2));
  };
  const auto at = [](uint32_t x, uint32_t y) {
    const auto pixel = testsupport::PixelAt(x, y);
    return std::vector<uint8_t>{pixel[0], pixel[1]};
  };
  EXPECT_EQ(turned(89, 0), std::make_tuple(3u, 2u, at(0, 0)));
  EXPECT_EQ(turned(90, 0), std::make_tuple(2u, 3u, at(0, 1)));    // a quarter clockwise
  EXPECT_EQ(turned(0, 180), std::make_tuple(3u, 2u, at(2, 1)));   // left adds to right
  EXPECT_EQ(turned(90, 180), std::make_tuple(2u, 3u, at(2, 0)));  // three quarters
  EXPECT_EQ(turned(-90, 0), std::make_tuple(2u, 3u, at(2, 0)));   // a quarter back
  SmartPtr<Symbol2D> empty(new Symbol2D());
  empty->SetRotateRight(90);
  empty->SetImageRotation(90, 0);  // no data: nothing to turn
  EXPECT_FALSE(empty->GetImage()->HasImageData());
}

class Symbol2DDocument : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(testsupport::WriteTestPng(folder.File("s.png"), 2, 2)); }
  SmartPtr<Symbol2D> NewSymbol(const Symbol2DInfo& record) {
    SmartPtr<Symbol2D> symbol(new Symbol2D(record));
    symbol->InitImageInfo(util::Symbol(folder.File("s.png")), util::Symbol("s"), util::Symbol("s.png"), 1,
                          record.isBillboard);
    symbol->SetIDPath(util::Symbol("/page/s"));
    return symbol;
  }
  size_t Elements() const { return scene->GetDocument2D()->GetTree()->GetChildren().size(); }

  ScopedWorld world;
  testsupport::TempFolder folder;
  ScopedScene<oxk::illustration2d::Scene2D> scene;
};

TEST_F(Symbol2DDocument, AVisibleBillboardGetsAStampElementThatTheLoadCompletes) {
  Symbol2DInfo record = Record(50, 40, 20, 10);
  record.flipHorizontally = true;
  record.showTooltipDescription = true;
  SmartPtr<Symbol2D> symbol = NewSymbol(record);
  symbol->CreateAnnotation2D(scene.Get());
  ASSERT_EQ(Elements(), 1u);
  const auto stamp = symbol->GetStamp2D();
  ASSERT_TRUE(stamp);
  EXPECT_EQ(stamp.get(), scene->GetDocument2D()->GetTree()->GetChildren()[0].get());
  EXPECT_TRUE(stamp->GetLayer()->GetName() == "Annotation");
  EXPECT_TRUE(stamp->GetIDPath() == "/page/s");
  EXPECT_TRUE(stamp->IsDerivedFromSymbol());
  EXPECT_TRUE(stamp->GetHorFlip());
  EXPECT_FALSE(stamp->GetVerFlip());
  EXPECT_EQ(stamp->GetTitle(), "Stamp");
  EXPECT_EQ(stamp->GetDescription(), "A stamp");
  EXPECT_TRUE(stamp->GetUseTitle());
  EXPECT_TRUE(stamp->GetUseDescription());
  EXPECT_FALSE(stamp->GetImage());  // set once the image has loaded

  SmartPtr<RecordingEvent> done(new RecordingEvent());
  symbol->CompleteAnnotation2D(scene.Get(), SmartPtr<oxk::AsyncEvent>(done.get()));
  ASSERT_TRUE(done->WaitForCompletion(10s));
  EXPECT_EQ(stamp->GetImage().get(), symbol->GetImage().get());
  EXPECT_TRUE(stamp->GetImage()->HasImageData());
  EXPECT_EQ(stamp->GetStampExtents(), (geo::DBox2D{30, 30, 70, 50}));
  EXPECT_TRUE(stamp->GetImageFilename() == "s.png");
  EXPECT_EQ(done->completions, 1);
}

TEST_F(Symbol2DDocument, HiddenOrPlacedSymbolsAndOtherScenesGetNoElement) {
  SmartPtr<Symbol2D> hidden = NewSymbol(Record(0, 0, 1, 1));
  hidden->Hide(false, {}, false);
  hidden->CreateAnnotation2D(scene.Get());
  Symbol2DInfo placed = Record(0, 0, 1, 1);
  placed.isBillboard = false;
  NewSymbol(placed)->CreateAnnotation2D(scene.Get());
  ScopedScene<oxk::Scene> plain;
  NewSymbol(Record(0, 0, 1, 1))->CreateAnnotation2D(plain.Get());
  EXPECT_EQ(Elements(), 0u);
}

}  // namespace
