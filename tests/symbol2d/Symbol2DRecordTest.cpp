// The 2D symbol's record, its preference colours, and applying a record to a symbol.
#include <gtest/gtest.h>

#include "oxannotations/ConstStrings.h"
#include "oxk/Anchor.h"
#include "symbol2d/Symbol2D.h"
#include "symbol2d/Symbol2DInfo.h"
#include "symbol2d/Symbol2DTestSupport.h"

namespace {

using namespace symbol2dtest;
using oxannotations::Symbol2D;
using oxannotations::Symbol2DInfo;
using util::SmartPtr;

constexpr geo::Color kUnsetShapeColor{0.5f, 0.6f, 0.9f, 0.2f};

TEST(Symbol2DInfo, ColoursComeFromTheShapeColourPreferenceWhenTheHostHasOne) {
  {
    oxk::World::SetWorld({});
    const Symbol2DInfo outside;
    EXPECT_EQ(outside.lineColor, geo::Color::BLACK);
    EXPECT_EQ(outside.fillColor, geo::Color::BLACK);
    EXPECT_EQ(outside.lineWidth, 1);
    EXPECT_FLOAT_EQ(outside.transparency, 0.5f);
    EXPECT_TRUE(outside.isBillboard);
    EXPECT_EQ(outside.width, 0.0f);
    EXPECT_EQ(outside.bbXform, geo::Location::ZERO);
  }
  {
    ScopedWorld world(false);
    EXPECT_EQ(Symbol2DInfo().fillColor, geo::Color::BLACK);
  }
  ScopedWorld world;
  const Symbol2DInfo unset;
  EXPECT_EQ(unset.lineColor, kUnsetShapeColor);
  EXPECT_EQ(unset.fillColor, kUnsetShapeColor);
  world.preferences->SetIntUI("Annotations/Shape/shape_color", static_cast<int32_t>(0xFF0000FFu));
  const Symbol2DInfo red;
  EXPECT_EQ(red.lineColor, geo::Color(1, 0, 0, 1));
  EXPECT_EQ(red.fillColor, geo::Color(1, 0, 0, 1));
}

TEST(Symbol2DInfo, CopiesShareTheTagObjects) {
  Symbol2DInfo record;
  record.title = util::Symbol("T");
  record.showTooltipDescription = true;
  record.imageID = 12;
  record.center = geo::DPoint3D(1, 2, 3);
  record.rotateLeft = 270;
  record.sequencerTags.push_back(SmartPtr<oxk::illustration::SequencerTag>(new oxk::illustration::SequencerTag()));
  Symbol2DInfo copy(record);
  EXPECT_TRUE(copy.title == "T");
  EXPECT_TRUE(copy.showTooltipDescription);
  EXPECT_EQ(copy.imageID, 12);
  EXPECT_EQ(copy.center, geo::DPoint3D(1, 2, 3));
  EXPECT_EQ(copy.rotateLeft, 270);
  ASSERT_EQ(copy.sequencerTags.size(), 1u);
  EXPECT_EQ(copy.sequencerTags[0].get(), record.sequencerTags[0].get());
  Symbol2DInfo assigned;
  assigned = record;
  EXPECT_EQ(assigned.sequencerTags[0].get(), record.sequencerTags[0].get());
}

TEST(Symbol2D, DefaultSymbolIsASixtyUnitBlackBillboardAroundTheOrigin) {
  ScopedWorld world;  // the symbol's own defaults win over the preference colours
  SmartPtr<Symbol2D> symbol(new Symbol2D());
  EXPECT_TRUE(symbol->GetClass() == oxannotations::ConstStrings::oxSymbol2D);
  EXPECT_TRUE(symbol->GetPreselectionCursor() == oxannotations::ConstStrings::oxStampPreselectionCursor);
  EXPECT_TRUE(symbol->GetIconName() == oxannotations::ConstStrings::oxStampIcon);
  EXPECT_TRUE(symbol->ShowTooltipTitle());
  EXPECT_FALSE(symbol->ShowTooltipDescription());
  EXPECT_EQ(symbol->GetLineColor(), geo::Color(0, 0, 0, 1));
  EXPECT_EQ(symbol->GetFillColor(), geo::Color(0, 0, 0, 1));
  const geo::DBox box = symbol->GetBBox();
  EXPECT_EQ(box.min, geo::DPoint3D(-30, -30, 0));
  EXPECT_EQ(box.max, geo::DPoint3D(30, 30, 0));
  EXPECT_TRUE(symbol->IsOriginalSize());
  EXPECT_TRUE(symbol->GetImage());
  EXPECT_EQ(symbol->GetImageWidth(), -1);
  EXPECT_EQ(symbol->GetManipulationTypes(), 21);
  EXPECT_EQ(symbol->NumberOfMarkups(), 1);
  EXPECT_TRUE(symbol->AllowGroupDrag());
  EXPECT_EQ(symbol->GetObjectDescription(), "2D Symbol-");
  symbol->SetTitle("Gloves", true);
  EXPECT_EQ(symbol->GetObjectDescription(), "2D Symbol-Gloves");
}

TEST(Symbol2D, ManipulationFollowsScreenSpaceAndBillboard) {
  Symbol2DInfo record;
  record.isBillboard = false;
  EXPECT_EQ(SmartPtr<Symbol2D>(new Symbol2D(record))->GetManipulationTypes(), 42);
  record.screenSpace = true;
  EXPECT_EQ(SmartPtr<Symbol2D>(new Symbol2D(record))->GetManipulationTypes(), 0);
}

TEST(Symbol2D, ApplyingARecordKeepsTheImageObjectAndResolvesItsUrl) {
  ScopedWorld world;
  util::SmartPtr<oxk::MultiRootContainer> container;
  util::SmartPtr<oxk::Structure> structure;
  ASSERT_TRUE(world.world->GetMultiRootContainer(container) && container->GetPrimaryStructure(structure));
  structure->SetAnchor(SmartPtr<oxk::Anchor>(new oxk::Anchor("/models/pump")));

  SmartPtr<Symbol2D> symbol(new Symbol2D());
  const SmartPtr<oxk::Image> image = symbol->GetImage();
  Symbol2DInfo record;
  record.imageName = util::Symbol("Gloves");
  record.imageFileName = util::Symbol("gloves.png");
  record.width = 12.5f;
  record.height = 7.0f;
  record.image = SmartPtr<oxk::Image>(new oxk::Image(util::Symbol("elsewhere.png")));
  symbol->SetSymbolInfo(record);
  EXPECT_EQ(symbol->GetImage().get(), image.get());
  EXPECT_TRUE(image->GetURL() == "file:///models/pump/gloves.png");
  EXPECT_EQ(symbol->GetTitle(), "Gloves");  // an empty title takes the image name
  float width = 0, height = 0;
  symbol->GetOrigSize(width, height);
  EXPECT_EQ(width, 12.5f);
  EXPECT_EQ(height, 7.0f);
  EXPECT_TRUE(symbol->IsOriginalSize());

  record.title = util::Symbol("Wear gloves");
  record.imageFileName = util::Symbol();
  symbol->SetSymbolInfo(record);
  EXPECT_EQ(symbol->GetTitle(), "Wear gloves");
  EXPECT_TRUE(image->GetURL().empty());  // no file name: no url
}

}  // namespace
