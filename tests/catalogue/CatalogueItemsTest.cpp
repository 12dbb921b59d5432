#include <gtest/gtest.h>

#include "catalogue/PartslibraryCategoryItem.h"
#include "catalogue/PartslibraryImageItem.h"
#include "catalogue/PartslibraryOlItem.h"

namespace oxsymbols {
namespace {

using oxk::illustration::SequencerTag;

TEST(CatalogueItems, FreshShapeHasPlacementDefaultsAndNoCamera) {
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
  EXPECT_EQ(ol->GetOlScale(), 1.0);
  EXPECT_EQ(ol->GetEditCsysMethod(), 1);
  EXPECT_EQ(ol->GetOlCsys(), geo::Location::IDENTITY);
  EXPECT_TRUE(ol->ShowTooltipTitle());
  EXPECT_FALSE(ol->ShowTooltipDescription());
  EXPECT_FALSE(ol->IsCameraSet());
  bool ortho = true;
  double value = 42.0;
  geo::Location location = geo::Location::ZERO;
  EXPECT_FALSE(ol->GetCameraData(ortho, value, location));
  EXPECT_TRUE(ortho);
  EXPECT_EQ(value, 42.0);
  EXPECT_EQ(location, geo::Location::ZERO);
}

TEST(CatalogueItems, CameraDataRoundTripsForBothKinds) {
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
  const geo::Location at(geo::FMat33(0, 1, 0, -1, 0, 0, 0, 0, 1), geo::DPoint3D(1, 2, 3));
  ol->SetCameraData(false, 0.7, at);
  bool ortho = true;
  double value = 0;
  geo::Location location;
  ASSERT_TRUE(ol->GetCameraData(ortho, value, location));
  EXPECT_FALSE(ortho);
  EXPECT_EQ(value, 0.7);
  EXPECT_EQ(location, at);

  ol->SetCameraData(geo::Camera3D::Orthographic(at, 12.5));
  ASSERT_TRUE(ol->GetCameraData(ortho, value, location));
  EXPECT_TRUE(ortho);
  EXPECT_EQ(value, 12.5);
}

TEST(CatalogueItems, EmptyTitleIsGeneratedFromTheCurrentIdentifier) {
  util::SmartPtr<PartslibraryImageItem> image(new PartslibraryImageItem());
  image->SetTitle("");
  EXPECT_EQ(image->GetTitle(), "Image 0");
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
  ol->SetID(-4);
  ol->SetTitle("");
  EXPECT_EQ(ol->GetTitle(), "Ol -4");
  ol->SetID(9);  // a later renumbering keeps the title
  EXPECT_EQ(ol->GetTitle(), "Ol -4");
  ol->SetTitle("Wrench");
  EXPECT_EQ(ol->GetTitle(), "Wrench");
}

TEST(CatalogueItems, RemoveChildTakesTheFirstMatchOnly) {
  util::SmartPtr<PartslibraryCategoryItem> category(new PartslibraryCategoryItem());
  util::SmartPtr<PartslibraryOlItem> a(new PartslibraryOlItem());
  util::SmartPtr<PartslibraryImageItem> b(new PartslibraryImageItem());
  util::SmartPtr<PartslibraryOlItem> c(new PartslibraryOlItem());
  a->SetID(3);
  b->SetID(3);
  c->SetID(4);
  category->AppendChild(a);
  category->AppendChild(b);
  category->AppendChild(c);
  EXPECT_TRUE(category->RemoveChild(3));
  ASSERT_EQ(category->GetChildren().size(), 2u);
  EXPECT_EQ(category->GetChildren()[0].get(), b.get());
  EXPECT_TRUE(category->RemoveChild(3));
  EXPECT_FALSE(category->RemoveChild(3));
  ASSERT_EQ(category->GetChildren().size(), 1u);
  EXPECT_EQ(category->GetChildren()[0].get(), c.get());
}

TEST(CatalogueItems, CopiesShareTagsButNotStrings) {
  util::SmartPtr<PartslibraryImageItem> source(new PartslibraryImageItem(true, false));
  util::SmartPtr<SequencerTag> tag(new SequencerTag());
  source->AddSequencerTag(tag);
  source->SetTitle("original");
  util::SmartPtr<PartslibraryImageItem> copy(new PartslibraryImageItem(*source));
  EXPECT_TRUE(copy->IsShared());
  EXPECT_EQ(copy->GetReferenceCount(), 1);
  SequencerTagList tags;
  tags.push_back(util::SmartPtr<SequencerTag>(new SequencerTag()));
  copy->GetSequencerTags(tags);
  ASSERT_EQ(tags.size(), 1u);
  tags[0]->SetDescription("changed through the copy");
  copy->SetTitle("copy");
  SequencerTagList sourceTags;
  source->GetSequencerTags(sourceTags);
  EXPECT_EQ(sourceTags[0]->GetDescription(), "changed through the copy");
  EXPECT_EQ(source->GetTitle(), "original");

  PartslibraryImageItem moved(std::move(*copy));
  EXPECT_TRUE(copy->GetTitle().empty());
  SequencerTagList left;
  copy->GetSequencerTags(left);
  EXPECT_TRUE(left.empty());
}

TEST(CatalogueItems, SequencerTagEditingKeepsOrder) {
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
  util::SmartPtr<SequencerTag> t0(new SequencerTag()), t1(new SequencerTag()), t2(new SequencerTag());
  ol->AddSequencerTag(t0);
  ol->AddSequencerTag(t1);
  ol->SetSequencerTag(1, t2);
  ol->AddSequencerTag(t1);
  ol->DelSequencerTag(0);
  SequencerTagList tags;
  ol->GetSequencerTags(tags);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags[0].get(), t2.get());
  EXPECT_EQ(tags[1].get(), t1.get());
}

TEST(CatalogueItems, ThumbnailMarkerReplacesFirstOccurrenceOnly) {
  PartslibraryImageItem image;
  std::string url = "/lib/2D/a_64x64_64x64.png";
  image.ComputeDialogThumbnailUrl(url);
  EXPECT_EQ(url, "/lib/2D/a_192x192_64x64.png");
  url = "/lib/2D/plain.png";
  image.ComputeDialogThumbnailUrl(url);
  EXPECT_EQ(url, "/lib/2D/plain.png");
  url = "x-small-y";
  PartslibraryOlItem::ComputeThumbnailUrl(url, "small", "large");
  EXPECT_EQ(url, "x-large-y");
}

}  // namespace
}  // namespace oxsymbols
