#include <gtest/gtest.h>

#include "CatalogueTestSupport.h"
#include "catalogue/PartslibraryUIData.h"

namespace oxsymbols {
namespace {

util::SmartPtr<PartslibraryCategoryItem> Category(int id, const std::string& name) {
  util::SmartPtr<PartslibraryCategoryItem> category(new PartslibraryCategoryItem());
  category->SetID(id);
  category->SetName(name);
  return category;
}

class PickerData : public PartslibraryUIData {
 public:
  PickerData() : PartslibraryUIData("ol_", "img_") {}
};

TEST(CatalogueUIData, EntriesAreGroupedShapesFirstAndEmptyGroupsBorrowTheNext) {
  ScratchLibrary scratch("uidata");
  PartslibraryList list;
  list.AddCategoryItem(Category(1, "Empty"));
  list.AddCategoryItem(Category(2, "Tools"));
  list.AddCategoryItem(Category(3, "Last"));
  util::SmartPtr<PartslibraryImageItem> image(new PartslibraryImageItem(false, true));
  image->SetID(4);
  image->SetCategoryID(2);
  image->SetName("warn");
  image->SetTitle("Warn");
  image->SetDescription("Be careful");
  image->SetImageGalleryThumbnailUrl("SymbolsLibrary/2D/w_64x64.png");
  list.AddImageItem(image);
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
  ol->SetID(7);
  ol->SetCategoryID(2);
  ol->SetName("wrench");
  ol->SetTitle("Wrench");
  list.AddOlItem(ol);
  util::SmartPtr<PartslibraryOlItem> unfiled(new PartslibraryOlItem());
  unfiled->SetID(8);
  unfiled->SetCategoryID(-1);
  list.AddOlItem(unfiled);

  PickerData data;
  EXPECT_EQ(data.Refresh(list), 2u);
  EXPECT_EQ(data.GetNumActualCategories(), 3u);
  EXPECT_EQ(data.GetNames(), (std::vector<std::string>{"ol_wrench7", "img_warn4"}));
  EXPECT_EQ(data.GetUserData(), (std::vector<std::string>{"ol.7", "image.4"}));
  EXPECT_EQ(data.GetgroupItems(), (std::vector<std::string>{"ol_wrench7", "ol_wrench7", ""}));
  EXPECT_EQ(data.GetGroupLabels()[1], L"Tools");
  EXPECT_EQ(data.GetLabels()[1], L"Warn");
  EXPECT_EQ(data.GetTooltips()[1], L"\\b Warn\\b0 \n Be careful");
  EXPECT_EQ(data.GetSharedItems(), (std::vector<bool>{false, true}));
  EXPECT_EQ(data.GetIcons()[1], scratch.base + "/SymbolsLibrary/2D/w_64x64.png");
  EXPECT_EQ(data.GetNumIcons(), 2u);
  EXPECT_EQ(data.GetNumgroupItems(), 3u);

  // A second refresh starts over rather than appending.
  EXPECT_EQ(data.Refresh(list), 2u);
  EXPECT_EQ(data.GetNumNames(), 2u);
  EXPECT_EQ(data.GetNumGroupNames(), 3u);
}

TEST(CatalogueUIData, NothingIsListedWithoutEntriesOrWithoutCategories) {
  PartslibraryList list;
  list.AddCategoryItem(Category(1, "Tools"));
  PartslibraryUIData onlyCategories(list.GetOlList(), list.GetImageList(), list.GetCategoryList());
  EXPECT_EQ(onlyCategories.GetNumItems(), 0u);
  EXPECT_EQ(onlyCategories.GetNumGroupNames(), 0u);

  PartslibraryList noCategories;
  noCategories.AddOlItem(util::SmartPtr<PartslibraryOlItem>(new PartslibraryOlItem()));
  PartslibraryUIData none(noCategories.GetOlList(), noCategories.GetImageList(), noCategories.GetCategoryList());
  EXPECT_EQ(none.GetNumItems(), 0u);
  EXPECT_EQ(none.GetNumNames(), 0u);
}

TEST(CatalogueUIData, DuplicateCategoryIdentifiersListEntriesTwiceAndSharedIconsUseTheSharedFolder) {
  ScratchLibrary scratch("uidata-shared");
  util::SmartPtr<PartslibraryImageItem> image(new PartslibraryImageItem(true, false));
  image->SetID(1);
  image->SetCategoryID(5);
  image->SetImageGalleryThumbnailUrl("SymbolsLibrary/2D/s.png");
  const PartslibraryUIData data(OlList{}, ImageList{image}, CategoryList{Category(5, "A"), Category(5, "B")});
  EXPECT_EQ(data.GetNumItems(), 2u);
  EXPECT_EQ(data.GetIcons()[0], scratch.shared + "/SymbolsLibrary/2D/s.png");
  EXPECT_TRUE(data.GetSharedItems()[0]);
}

// Every list of two snapshots, compared.
void ExpectSameLists(const PartslibraryUIData& a, const PartslibraryUIData& b) {
  EXPECT_EQ(a.GetIcons(), b.GetIcons());
  EXPECT_EQ(a.GetLabels(), b.GetLabels());
  EXPECT_EQ(a.GetTooltips(), b.GetTooltips());
  EXPECT_EQ(a.GetUserData(), b.GetUserData());
  EXPECT_EQ(a.GetNames(), b.GetNames());
  EXPECT_EQ(a.GetSharedItems(), b.GetSharedItems());
  EXPECT_EQ(a.GetGroupNames(), b.GetGroupNames());
  EXPECT_EQ(a.GetGroupLabels(), b.GetGroupLabels());
  EXPECT_EQ(a.GetgroupItems(), b.GetgroupItems());
  EXPECT_EQ(a.GetNumItems(), b.GetNumItems());
  EXPECT_EQ(a.GetNumActualCategories(), b.GetNumActualCategories());
}

TEST(CatalogueUIData, ARefreshWritesOverWhatWasThereAndKeepsEachCategorysListOrder) {
  ScratchLibrary scratch("uidata-refresh");
  PartslibraryList list;
  for (int c = 1; c <= 3; ++c) {
    list.AddCategoryItem(Category(c, "Category " + std::to_string(c)));
  }
  // Entries of the three categories interleaved, with texts long enough to live on the heap.
  for (int i = 1; i <= 9; ++i) {
    util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
    ol->SetID(i);
    ol->SetCategoryID(3 - i % 3);
    ol->SetName("a shape with a rather long name " + std::to_string(i));
    ol->SetTitle("A title long enough for the heap, \xC3\xA9 " + std::to_string(i));
    ol->SetDescription(i % 2 ? "short" : "a description that is a good deal longer than the title");
    ol->SetOlGalleryThumbnailUrl("SymbolsLibrary/Shape/s" + std::to_string(i) + "_64x64.png");
    list.AddOlItem(ol);
  }
  PickerData data;
  EXPECT_EQ(data.Refresh(list), 9u);
  EXPECT_EQ(data.GetUserData(),
            (std::vector<std::string>{"ol.2", "ol.5", "ol.8", "ol.1", "ol.4", "ol.7", "ol.3", "ol.6", "ol.9"}));
  PickerData fresh;
  fresh.Refresh(list);
  ExpectSameLists(data, fresh);

  // Fewer entries, other texts, a category gone: the same as a snapshot made afresh.
  list.DeleteOlItem(5);
  list.DeleteOlItem(2);
  list.GetOlFromOlList(6)->SetTitle("x");
  list.SetCategoryList({list.GetCategoryList()[0], list.GetCategoryList()[2]});
  EXPECT_EQ(data.Refresh(list), 4u);
  PickerData afresh;
  afresh.Refresh(list);
  ExpectSameLists(data, afresh);
  EXPECT_EQ(data.GetLabels()[2], L"x");
}

}  // namespace
}  // namespace oxsymbols
