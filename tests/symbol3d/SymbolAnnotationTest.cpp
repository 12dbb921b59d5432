#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "oxannotations/ConstStrings.h"
#include "oxk/AnnoSet.h"
#include "symbol3d/SymbolAnnotation.h"

namespace {

using oxannotations::SymbolAnnotation;
using oxannotations::SymbolInfo;
using util::SmartPtr;

SmartPtr<SymbolAnnotation> NewSymbol() {
  return SmartPtr<SymbolAnnotation>(new SymbolAnnotation());
}

geo::Location Offset(double x) {
  geo::Location l;
  l.SetPos(geo::DPoint3D(x, 0, 0));
  return l;
}

TEST(SymbolAnnotation, StartsAsAnEmptySymbol3D) {
  auto symbol = NewSymbol();
  EXPECT_TRUE(symbol->GetClass() == oxannotations::ConstStrings::oxSymbol3D);
  EXPECT_TRUE(SymbolAnnotation::GetClassStatic() == "symbol3d");
  EXPECT_TRUE(symbol->GetPreselectionCursor() == oxannotations::ConstStrings::oxDistancePreselectionCursor);
  EXPECT_TRUE(symbol->GetIconName() == oxannotations::ConstStrings::oxDistanceIcon);
  EXPECT_EQ(symbol->GetAnnotationType(), 0x100000);
  EXPECT_FALSE(symbol->HasContent());
  EXPECT_FALSE(symbol->IsLegacySymbol());
  EXPECT_EQ(symbol->GetPartCsys(), geo::Location::IDENTITY);
  EXPECT_EQ(symbol->NumberOfMarkups(), 0);
  EXPECT_FALSE(symbol->AllowGroupDrag());
  EXPECT_TRUE(symbol->CanAnimate({}));
  EXPECT_FALSE(symbol->IsEqual(symbol));
}

TEST(SymbolAnnotation, RecordTitleFallsBackToName) {
  auto symbol = NewSymbol();
  SymbolInfo record;
  record.name = util::Symbol("Wrench");
  symbol->SetSymbolInfo(record);
  EXPECT_EQ(symbol->GetTitle(), "Wrench");
  record.title = "Torque";
  symbol->SetSymbolInfo(record);
  EXPECT_EQ(symbol->GetTitle(), "Torque");
  record = SymbolInfo();
  symbol->SetSymbolInfo(record);
  EXPECT_EQ(symbol->GetTitle(), "");
  EXPECT_TRUE(symbol->IsLegacySymbol());
}

TEST(SymbolAnnotation, RecordAppliesFramesAndResetsMissingOnes) {
  auto symbol = NewSymbol();
  SymbolInfo record;
  record.symbolCsysLocation = Offset(5);
  record.hasSymbolCsysLocation = true;
  record.symbolInitLocation = Offset(7);
  record.hasSymbolInitLocation = true;
  record.locPosition = geo::DPoint3D(1, 2, 3);
  record.locScale = 2.0f;
  symbol->SetSymbolInfo(record);
  EXPECT_EQ(symbol->GetPartCsys(), Offset(5));
  EXPECT_EQ(symbol->GetInitLocation(), Offset(7));
  EXPECT_EQ(symbol->GetSymbolLocation().GetPos(), geo::DPoint3D(1, 2, 3));
  EXPECT_NEAR(symbol->GetSymbolLocation().GetMat().GetUniformScale(), 2.0f, 1e-5f);

  symbol->SetPartCsys(Offset(9));
  SymbolInfo bare;
  symbol->SetSymbolInfo(bare);
  EXPECT_EQ(symbol->GetPartCsys(), geo::Location::IDENTITY);
  EXPECT_EQ(symbol->GetInitLocation(), geo::Location::IDENTITY);
}

TEST(SymbolAnnotation, AppearanceOverrideIsBuiltAndKeptWhenLaterRecordHasNone) {
  auto symbol = NewSymbol();
  SymbolInfo record;
  record.appHasOverride = true;
  record.appAmbient = geo::Color(0.1f, 0.2f, 0.3f, 1);
  record.appDiffuse = geo::Color(0.4f, 0.5f, 0.6f, 1);
  record.appShininess = 12;
  symbol->SetSymbolInfo(record);
  ASSERT_TRUE(symbol->HasAppearanceOverride());
  const auto appearance = symbol->GetAppearanceOverride();
  SmartPtr<oxg::Material> material;
  ASSERT_TRUE(appearance->GetMaterial(material));
  EXPECT_EQ(material->GetAmbient(), record.appAmbient);
  EXPECT_EQ(material->GetDiffuse(), record.appDiffuse);
  EXPECT_EQ(material->GetShininess(), 12.0f);

  record.appHasOverride = false;
  symbol->SetSymbolInfo(record);
  EXPECT_FALSE(symbol->HasAppearanceOverride());
  EXPECT_EQ(symbol->GetAppearanceOverride().get(), appearance.get());
}

TEST(SymbolAnnotation, ConnectedPartsAreTakenOnlyForAnnotationSymbolsAndOncePerPart) {
  SymbolInfo record;
  record.connectedParts.push_back({util::Symbol("/1/2"), util::Symbol(), geo::DPoint3D(1, 1, 1), geo::DVec3(0, 0, 1)});
  record.connectedParts.push_back({util::Symbol("/1/3"), util::Symbol("/1"), geo::DPoint3D(), geo::DVec3()});
  record.connectedParts.push_back({util::Symbol("/1/2"), util::Symbol(), geo::DPoint3D(), geo::DVec3()});
  auto plain = NewSymbol();
  plain->SetSymbolInfo(record);
  EXPECT_TRUE(plain->GetConnectedParts().empty());

  record.isAnnotationSymbol = true;
  auto annotationSymbol = NewSymbol();
  annotationSymbol->SetSymbolInfo(record);
  ASSERT_EQ(annotationSymbol->GetConnectedParts().size(), 2u);
  EXPECT_EQ(annotationSymbol->GetConnectedParts()[0].lastPos, geo::DPoint3D(1, 1, 1));
  EXPECT_TRUE(annotationSymbol->GetConnectedParts()[1].assemblyPartId == "/1");
}

TEST(SymbolAnnotation, CloneSharesShapesButNotPerSymbolState) {
  auto symbol = NewSymbol();
  SymbolInfo record;
  record.title = "T";
  record.isAnnotationSymbol = true;
  record.appHasOverride = true;
  record.locPosition = geo::DPoint3D(4, 5, 6);
  record.sequencerTags.push_back(SmartPtr<oxk::illustration::SequencerTag>(new oxk::illustration::SequencerTag()));
  record.connectedParts.push_back({util::Symbol("/p"), util::Symbol(), geo::DPoint3D(), geo::DVec3()});
  symbol->SetSymbolInfo(record);
  symbol->SetAxisId(3);
  symbol->SetSelectedCsys(Offset(2));

  auto cloned = util::DynamicCast<SymbolAnnotation>(symbol->Clone());
  ASSERT_TRUE(cloned);
  EXPECT_TRUE(cloned->CreatedFromFile());
  EXPECT_FALSE(symbol->CreatedFromFile());
  EXPECT_EQ(cloned->GetTitle(), "T");
  EXPECT_EQ(cloned->GetAxisId(), 3);
  geo::Location selected;
  cloned->GetSelectedCsys(selected);
  EXPECT_EQ(selected, Offset(2));
  EXPECT_TRUE(cloned->IsLegacySymbol());
  EXPECT_TRUE(cloned->HasAppearanceOverride());   // the flag is copied...
  EXPECT_FALSE(cloned->GetAppearanceOverride());  // ...the appearance object is not
  EXPECT_TRUE(cloned->GetConnectedParts().empty());
  oxcommon::SequencerTagList tags;
  cloned->GetSequencerTags(tags);
  EXPECT_TRUE(tags.empty());
  EXPECT_EQ(cloned->GetSymbolLocation(), geo::Location());
  EXPECT_EQ(cloned->GetShapeInstance().get(), symbol->GetShapeInstance().get());
}

TEST(SymbolAnnotation, DescriptionsComeFromTheMessageCatalogue) {
  auto symbol = NewSymbol();
  EXPECT_EQ(symbol->GetMarkupName(0), "Symbol 1");
  EXPECT_EQ(symbol->GetObjectDescription(), "Symbol-");
  symbol->SetTitle("Wrench", true);
  EXPECT_EQ(symbol->GetObjectDescription(), "Symbol-Wrench");
  EXPECT_TRUE(symbol->ShowTooltipTitle());
}

TEST(SymbolAnnotation, GetSymbolInfoLeavesTheRecordAlone) {
  auto symbol = NewSymbol();
  SymbolInfo applied;
  applied.title = "applied";
  symbol->SetSymbolInfo(applied);
  SymbolInfo record;
  record.title = "mine";
  record.locScale = 3.0f;
  symbol->GetSymbolInfo(record);
  EXPECT_EQ(record.title, "mine");
  EXPECT_EQ(record.locScale, 3.0f);
}

TEST(SymbolAnnotation, UserDataIdIsOneValueAcrossThreadsAndEventIdsAreFresh) {
  std::vector<int32_t> ids(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < ids.size(); ++i) {
    threads.emplace_back([&ids, i] { ids[i] = SymbolAnnotation::GetUserDataId(); });
  }
  for (auto& t : threads) {
    t.join();
  }
  EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), 1u);
  EXPECT_NE(SymbolAnnotation::GetBaseEventId(), SymbolAnnotation::GetBaseEventId());
  EXPECT_TRUE(SymbolAnnotation::GetSymbolFileName() == "fileName");
}

}  // namespace

namespace {

TEST(SymbolAnnotation, AnnotationSetHoldsTheSymbolAndItPointsBack) {
  auto symbol = NewSymbol();
  util::SmartPtr<oxk::AnnoSet> set(new oxk::AnnoSet());
  ASSERT_TRUE(set->AddAnnotation(util::SmartPtr<oxk::Annotation>(symbol.get())));
  EXPECT_FALSE(set->AddAnnotation(util::SmartPtr<oxk::Annotation>(symbol.get())));
  util::SmartPtr<oxk::AnnoSet> back;
  ASSERT_TRUE(symbol->GetAnnoSet(back));
  EXPECT_EQ(back.get(), set.get());
  back.Reset();
  set.Reset();  // the set goes away first: the symbol must not point at it any more
  EXPECT_FALSE(symbol->GetAnnoSet(back));

  util::SmartPtr<oxk::AnnoSet> other(new oxk::AnnoSet());
  other->AddAnnotation(util::SmartPtr<oxk::Annotation>(symbol.get()));
  EXPECT_TRUE(other->RemoveAnnotationFromSet(symbol.get(), {}));
  EXPECT_FALSE(other->RemoveAnnotationFromSet(symbol.get(), {}));
  EXPECT_FALSE(symbol->GetAnnoSet(back));
}

}  // namespace
