#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "CatalogueTestSupport.h"

namespace oxsymbols {
namespace {

using Access = PartslibraryListAccess;

util::SmartPtr<PartslibraryCategoryItem> Category(int id, const std::string& name = "") {
  util::SmartPtr<PartslibraryCategoryItem> category(new PartslibraryCategoryItem());
  category->SetID(id);
  category->SetName(name.empty() ? "cat" + std::to_string(id) : name);
  return category;
}

util::SmartPtr<PartslibraryImageItem> Image(int id, int categoryId) {
  util::SmartPtr<PartslibraryImageItem> image(new PartslibraryImageItem());
  image->SetID(id);
  image->SetCategoryID(categoryId);
  return image;
}

util::SmartPtr<PartslibraryOlItem> Ol(int id, int categoryId) {
  util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
  ol->SetID(id);
  ol->SetCategoryID(categoryId);
  return ol;
}

TEST(CatalogueListIds, NewIdentifierIsOneAboveTheLargestFromZero) {
  PartslibraryList list;
  EXPECT_EQ(list.CalculateIdForNewImageInList(), 1);
  list.AddImageItem(Image(3, -1));
  list.AddImageItem(Image(7, -1));
  list.AddImageItem(Image(-2, -1));
  EXPECT_EQ(list.CalculateIdForNewImageInList(), 8);
  list.AddOlItem(Ol(-5, -1));
  EXPECT_EQ(list.CalculateIdForNewShapeInList(), 1);
}

TEST(CatalogueListIds, TakenIdentifierBecomesLargestPlusOneInItsOwnSpace) {
  PartslibraryList list;
  for (int id : {1, 2, 5}) {
    list.AddCategoryItem(Category(id));
  }
  auto clash = Category(2);
  list.AddCategoryItem(clash);
  EXPECT_EQ(clash->GetID(), 6);
  auto free = Category(4);
  list.AddCategoryItem(free);
  EXPECT_EQ(free->GetID(), 4);
  EXPECT_EQ(list.GetCategoryFromCategoryList(6).get(), clash.get());

  // Shapes and images do not share identifiers with each other.
  auto ol = Ol(2, 1);
  auto image = Image(2, 1);
  list.AddOlItem(ol);
  list.AddImageItem(image);
  EXPECT_EQ(ol->GetID(), 2);
  EXPECT_EQ(image->GetID(), 2);
  auto negative = Ol(-3, 1);
  list.AddOlItem(negative);
  auto again = Ol(-3, 1);
  list.AddOlItem(again);
  EXPECT_EQ(again->GetID(), 3);
}

// Past the largest int there is no "one more": every rule that would go there picks an
// identifier no entry of the kind has, so identifiers never repeat.
TEST(CatalogueListIds, NoRuleRepeatsAnIdentifierAtTheLargestInt) {
  PartslibraryList list;
  for (int id : {INT_MAX, 1, 2}) {
    list.AddImageItem(Image(id, -1));
  }
  EXPECT_EQ(list.CalculateIdForNewImageInList(), 3);
  auto clash = Image(INT_MAX, -1);
  list.AddImageItem(clash);
  EXPECT_EQ(clash->GetID(), 3);
  auto again = Image(1, -1);
  list.AddImageItem(again);
  EXPECT_EQ(again->GetID(), 4);

  // The merge moves incoming entries past the largest; at the largest int it cannot.
  PartslibraryList other;
  for (int id : {1, INT_MAX, 5, 5}) {
    other.AddOlItem(Ol(id, -1));
  }
  PartslibraryList merged;
  merged.AddOlItem(Ol(5, -1));
  Access::Merge(merged, other);
  std::set<int> seen;
  for (const auto& ol : merged.GetOlList()) {
    EXPECT_TRUE(seen.insert(ol->GetID()).second) << "identifier " << ol->GetID() << " repeats";
  }
  EXPECT_EQ(seen.size(), 5u);

  // Categories merged by name past the largest int, likewise.
  PartslibraryList full;
  full.AddCategoryItem(Category(INT_MAX, "last"));
  PartslibraryList incoming;
  incoming.AddCategoryItem(Category(1, "a"));
  incoming.AddCategoryItem(Category(2, "b"));
  Access::Merge(full, incoming);
  ASSERT_EQ(full.GetCategoryList().size(), 3u);
  EXPECT_EQ(full.GetCategoryList()[1]->GetID(), 1);
  EXPECT_EQ(full.GetCategoryList()[2]->GetID(), 2);
}

TEST(CatalogueListFiling, EntriesGoToTheirCategoryOrTheSmallestOne) {
  PartslibraryList list;
  auto none = Image(1, -1);
  list.AddImageItem(none);  // no categories yet: only listed
  EXPECT_EQ(none->GetCategoryID(), -1);
  auto orphanEarly = Image(2, 7);
  list.AddImageItem(orphanEarly);
  EXPECT_EQ(orphanEarly->GetCategoryID(), 7);

  auto c5 = Category(5);
  auto c3 = Category(3);
  list.AddCategoryItem(c5);
  list.AddCategoryItem(c3);
  auto filed = Ol(1, 5);
  auto orphan = Ol(2, 99);
  auto unfiled = Ol(3, -1);
  list.AddOlItem(filed);
  list.AddOlItem(orphan);
  list.AddOlItem(unfiled);
  ASSERT_EQ(c5->GetChildren().size(), 1u);
  EXPECT_EQ(c5->GetChildren()[0].get(), filed.get());
  ASSERT_EQ(c3->GetChildren().size(), 1u);
  EXPECT_EQ(orphan->GetCategoryID(), 3);
  EXPECT_EQ(list.GetOlList().size(), 3u);

  // Deleting removes from the list but not from the category.
  list.DeleteOlItem(42);
  EXPECT_EQ(list.GetOlList().size(), 3u);
  list.DeleteOlItem(1);
  EXPECT_EQ(list.GetOlList().size(), 2u);
  EXPECT_EQ(c5->GetChildren().size(), 1u);
  EXPECT_FALSE(list.GetOlFromOlList(1));
}

TEST(CatalogueListFiling, SetCategoryListSkipsMinusOneAndLaterDuplicatesWin) {
  PartslibraryList list;
  auto first = Category(2);
  auto second = Category(2);
  auto none = Category(-1);
  list.SetCategoryList({first, none, second});
  auto entry = Image(1, 2);
  list.AddImageItem(entry);
  EXPECT_TRUE(first->GetChildren().empty());
  EXPECT_EQ(second->GetChildren().size(), 1u);
  EXPECT_EQ(list.GetCategoryFromCategoryList(2).get(), first.get());  // lookups walk the list
  auto unknown = Ol(1, 50);
  PartslibraryListAccess::Append(list, unknown);
  EXPECT_EQ(unknown->GetCategoryID(), 2);
}

TEST(CatalogueListLookup, NamesAreCaseSensitiveAndTagsAreCopiedOut) {
  PartslibraryList list;
  list.AddCategoryItem(Category(1, "Tools"));
  EXPECT_TRUE(list.GetCategoryFromCategoryList(std::string("Tools")));
  EXPECT_FALSE(list.GetCategoryFromCategoryList(std::string("tools")));

  auto ol = Ol(4, 1);
  util::SmartPtr<oxk::illustration::SequencerTag> tag(new oxk::illustration::SequencerTag());
  ol->AddSequencerTag(tag);
  list.AddOlItem(ol);
  SequencerTagList out;
  EXPECT_FALSE(list.GetOlSequencerTagsByID(5, out));
  EXPECT_TRUE(out.empty());
  ASSERT_TRUE(list.GetOlSequencerTagsByID(4, out));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].get(), tag.get());
  EXPECT_FALSE(list.GetImageSequencerTagsByID(4, out));

  list.SetUnits("mm");
  list.SetInformation("about");
  list.Clear();
  EXPECT_TRUE(list.GetOlList().empty());
  EXPECT_TRUE(list.GetCategoryList().empty());
  EXPECT_EQ(list.GetUnits(), "mm");
  EXPECT_EQ(list.GetInformation(), "about");
}

TEST(CatalogueListMerge, CategoriesCollapseByNameAndEntriesFollow) {
  PartslibraryList into;
  into.AddCategoryItem(Category(1, "Tools"));
  into.AddCategoryItem(Category(4, "Safety"));
  into.AddImageItem(Image(4, 1));

  PartslibraryList other;
  auto safety = Category(1, "Safety");
  auto parts = Category(2, "Parts");
  other.AddCategoryItem(safety);
  other.AddCategoryItem(parts);
  std::vector<util::SmartPtr<PartslibraryImageItem>> images;
  for (int category : {1, 2, 9}) {
    images.push_back(Image(0, category));
    other.AddImageItem(images.back());
  }
  for (auto& image : images) {
    image->SetID(1);  // identifiers 1, 1, 1 as a file may carry them
  }
  images[2]->SetCategoryID(9);
  auto high = Image(20, 2);
  other.AddImageItem(high);
  auto after = Image(3, 2);
  other.AddImageItem(after);

  PartslibraryListAccess::Merge(into, other);
  ASSERT_EQ(into.GetCategoryList().size(), 3u);  // "Safety" collapsed, "Parts" appended
  EXPECT_EQ(parts->GetID(), 5);
  EXPECT_EQ(images[0]->GetCategoryID(), 4);  // old Safety 1 -> existing Safety 4
  EXPECT_EQ(images[1]->GetCategoryID(), 5);  // old Parts 2 -> 5
  EXPECT_EQ(images[2]->GetCategoryID(), 1);  // 9 names nothing: the first category
  EXPECT_EQ(images[0]->GetID(), 5);
  EXPECT_EQ(images[1]->GetID(), 6);
  EXPECT_EQ(images[2]->GetID(), 7);
  EXPECT_EQ(high->GetID(), 20);
  EXPECT_EQ(after->GetID(), 21);
  // The merge files nothing itself; appended categories keep the children they had.
  EXPECT_TRUE(into.GetCategoryFromCategoryList(4)->GetChildren().empty());
  const size_t partsChildren = parts->GetChildren().size();

  // The rebuilt index files later additions into merged categories.
  auto late = Ol(1, 5);
  into.AddOlItem(late);
  EXPECT_EQ(parts->GetChildren().size(), partsChildren + 1);
}

TEST(CatalogueListMerge, WithoutCategoriesEveryEntryGoesToZero) {
  PartslibraryList into;
  PartslibraryList other;
  auto image = Image(3, 8);
  auto ol = Ol(3, -1);
  other.AddImageItem(image);
  other.AddOlItem(ol);
  PartslibraryListAccess::Merge(into, other);
  EXPECT_EQ(image->GetCategoryID(), 0);
  EXPECT_EQ(ol->GetCategoryID(), 0);
  EXPECT_EQ(into.GetImageList().size(), 1u);
}

TEST(CatalogueListMerge, KeepsUnitsAndCategoryIdsThatExist) {
  PartslibraryList into;
  into.SetUnits("mm");
  into.AddCategoryItem(Category(2, "A"));
  into.AddCategoryItem(Category(3, "B"));
  PartslibraryList other;
  other.SetUnits("inch");
  auto kept = Ol(1, 3);
  other.AddOlItem(kept);
  PartslibraryListAccess::Merge(into, other);
  EXPECT_EQ(kept->GetCategoryID(), 3);
  EXPECT_EQ(into.GetUnits(), "mm");
}

}  // namespace
}  // namespace oxsymbols
