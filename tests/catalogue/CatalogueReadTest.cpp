#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "CatalogueTestSupport.h"

namespace oxsymbols {
namespace {

using Access = PartslibraryListAccess;
using oxk::illustration::SequencerTag;

const char* const kStandardExample = R"(<?xml version="1.0" encoding="utf-8"?>
<orbis-library>
  <units>mm</units>
  <information></information>
  <categories>
    <category id="1"><name locid="CategoryTools">ignored</name><tooltip/><description/></category>
  </categories>
  <shapes>
    <shape id="1" categoryId="1">
      <name locid="SymbolTorqueWrench"/>
      <description locid="SymbolTorqueWrenchDesc"/>
      <gallery_thumbnail url="SymbolsLibrary/standard/2D/wrench_64x64.png"/>
      <graphic url="SymbolsLibrary/standard/Shape/wrench.obj"/>
      <scale>1</scale>
      <tags>
        <tag type="torque">
          <description locid="SymbolTorqueWrenchTagDesc"/>
          <quantity unit="Nm">25</quantity>
        </tag>
        <other/>
      </tags>
    </shape>
  </shapes>
  <symbols>
    <symbol id="1" categoryId="1" billboard="false">
      <name>Warning</name>
      <image url="SymbolsLibrary/standard/2D/warning.png"/>
      <flip horizontal="false" vertical="true"/>
      <rotate right="1" left="0"/>
    </symbol>
  </symbols>
</orbis-library>
)";

TEST(CatalogueRead, StandardExampleResolvesKeysTagsAndLocations) {
  ScratchLibrary scratch("example");
  PartslibraryList list;
  Access::Parse(list, kStandardExample, false, true);
  ASSERT_EQ(list.GetCategoryList().size(), 1u);
  EXPECT_EQ(list.GetCategoryList()[0]->GetName(), "Tools");
  ASSERT_EQ(list.GetOlList().size(), 1u);
  const auto& ol = list.GetOlList()[0];
  EXPECT_TRUE(ol->IsStandard());
  EXPECT_EQ(ol->GetName(), "Torque wrench");
  EXPECT_EQ(ol->GetTitle(), "Torque wrench");
  EXPECT_EQ(ol->GetDescription(), "Tighten with a calibrated torque wrench");
  EXPECT_EQ(ol->GetOlGalleryThumbnailUrl(), scratch.base + "/SymbolsLibrary/standard/2D/wrench_64x64.png");
  EXPECT_EQ(ol->GetOlDlgThumbnailUrl(), scratch.base + "/SymbolsLibrary/standard/2D/wrench_192x192.png");
  EXPECT_EQ(ol->GetOlUrl(), scratch.base + "/SymbolsLibrary/standard/Shape/wrench.obj");
  SequencerTagList tags;
  ol->GetSequencerTags(tags);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0]->GetType(), SequencerTag::kTorque);
  EXPECT_EQ(tags[0]->GetName(), "Torque wrench");
  EXPECT_EQ(tags[0]->GetDescription(), "Tightening torque");
  EXPECT_EQ(tags[0]->GetUnits(), "Nm");
  EXPECT_EQ(tags[0]->GetQuantityString(), "25");
  ASSERT_EQ(list.GetCategoryList()[0]->GetChildren().size(), 2u);

  ASSERT_EQ(list.GetImageList().size(), 1u);
  const auto& image = list.GetImageList()[0];
  EXPECT_EQ(image->GetTitle(), "Warning");
  EXPECT_TRUE(image->ShowTooltipTitle());
  EXPECT_TRUE(image->GetFlipVertical());
  EXPECT_EQ(image->GetRotateRight(), 1);
  EXPECT_EQ(list.GetUnits(), "mm");
}

TEST(CatalogueRead, RootMustHaveFiveChildrenUnlessShared) {
  const std::string six =
      LibraryDoc("<category id=\"1\"><name>A</name></category>")
          .insert(std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<orbis-library>").size(), "<extra/>");
  PartslibraryList standard;
  Access::Parse(standard, six, false, true);
  EXPECT_TRUE(standard.GetCategoryList().empty());
  PartslibraryList shared;
  Access::Parse(shared, six, true, false);
  EXPECT_EQ(shared.GetCategoryList().size(), 1u);

  PartslibraryList wrongRoot;
  Access::Parse(wrongRoot,
                "<?xml version=\"1.0\"?><library><units/><information/><categories/><shapes/><symbols/></library>",
                true, false);
  EXPECT_TRUE(wrongRoot.GetUnits().empty());
  PartslibraryList broken;
  Access::Parse(broken, "<?xml version=\"1.0\"?><orbis-library><units>mm</units>", true, false);
  EXPECT_TRUE(broken.GetUnits().empty());
}

TEST(CatalogueRead, ValuesFollowTheirKindsRules) {
  const std::string doc = LibraryDoc(
      "<category id=\"1\"><name>C</name></category>",
      "<shape id=\"2\" categoryId=\"1\"><tags><tag type=\"tool\"/></tags><name>S</name><scale>2.5</scale>"
      "<orientation> 3x</orientation><edit_csys_method>junk</edit_csys_method>"
      "<camera ortho=\"true\" value=\"2\"/><showTooltipTitle>false</showTooltipTitle></shape>"
      "<shape id=\"3\"><scale>none</scale><camera ortho=\"false\" value=\"0.5\" "
      "location=\"1 0 0 0 1 0 0 0 1 4 5 6\"/><shape_csys a=\"0\" b=\"1\" d=\"-1\" e=\"0\" pos_z=\"7\"/></shape>",
      "<symbol id=\"4\" categoryId=\"1\" billboard=\"true\"><scale>2.5</scale><tags><tag>"
      "<quantity locid=\"SymbolTorqueWrenchTagUnit\" unit=\"lbf\">9</quantity></tag></tags></symbol>"
      "<image id=\"4\" categoryId=\"7\"><scale>x</scale></image>");
  PartslibraryList list;
  Access::Parse(list, doc, false, false);
  ASSERT_EQ(list.GetOlList().size(), 2u);
  const auto& first = list.GetOlList()[0];
  EXPECT_EQ(first->GetOlScale(), 2.5);
  EXPECT_EQ(first->GetOlOrientation(), 3);
  EXPECT_EQ(first->GetEditCsysMethod(), 0);
  EXPECT_FALSE(first->IsCameraSet());  // no location: ignored
  EXPECT_FALSE(first->ShowTooltipTitle());
  SequencerTagList tags;
  first->GetSequencerTags(tags);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0]->GetName(), "");  // tags came before the name
  const auto& second = list.GetOlList()[1];
  EXPECT_EQ(second->GetOlScale(), 0.0);
  EXPECT_EQ(second->GetTitle(), "Ol 3");
  bool ortho = true;
  double value = 0;
  geo::Location at;
  ASSERT_TRUE(second->GetCameraData(ortho, value, at));
  EXPECT_FALSE(ortho);
  EXPECT_EQ(at.GetPos(), geo::DPoint3D(4, 5, 6));
  EXPECT_EQ(second->GetOlCsys(), geo::Location(geo::FMat33(0, 1, 0, -1, 0, 0, 0, 0, 1), geo::DPoint3D(0, 0, 7)));

  ASSERT_EQ(list.GetImageList().size(), 2u);
  const auto& symbol = list.GetImageList()[0];
  EXPECT_EQ(symbol->GetImageScale(), 2);
  EXPECT_TRUE(symbol->GetIsBillboardImage());
  EXPECT_EQ(symbol->GetTitle(), "Image 4");
  symbol->GetSequencerTags(tags);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags[0]->GetUnits(), "Nm");
  EXPECT_EQ(tags[0]->GetQuantityString(), "9");
  // Another element name: attributes unread, so identifier 0 and category 0 (filed into 1).
  const auto& unnamed = list.GetImageList()[1];
  EXPECT_EQ(unnamed->GetID(), 0);
  EXPECT_EQ(unnamed->GetCategoryID(), 1);
  EXPECT_EQ(unnamed->GetTitle(), "Image 0");
  EXPECT_EQ(unnamed->GetImageScale(), 0);
}

// Numbers past what a double or an int holds read as the nearest value there is, sign
// kept: never infinity, never an int that wrapped around. A value that only looks out of
// range (a small mantissa with a large exponent) reads as itself.
TEST(CatalogueRead, OutOfRangeNumbersGiveTheNearestValue) {
  constexpr double kMax = std::numeric_limits<double>::max();
  const std::vector<std::pair<std::string, double>> scales = {
      {"1e400", kMax},
      {"-1e400", -kMax},
      {"10e308", kMax},
      {"1e99999999999999999999", kMax},  // an exponent past 64 bits
      {"1e-400", 0.0},
      {"-1e-400", -0.0},
      {"0.00001e-320", 0.0},
      {"-1e-99999999999999999999", -0.0},
      // The digits' own place counts with the exponent.
      {"0." + std::string(1000, '0') + "1e600", 0.0},
      {"1" + std::string(1000, '0') + "e-600", kMax},
      {"0.0001e310", 1e306},
      {"1" + std::string(400, '0') + "e-100", 1e300},
  };
  const std::vector<std::pair<std::string, int>> orientations = {
      {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}, {"3000000000", INT_MAX},
      {"-3000000000", INT_MIN},          {"+2147483647", INT_MAX},           {"-2147483648", INT_MIN},
  };
  std::string shapes;
  for (size_t i = 0; i < scales.size(); ++i) {
    shapes += "<shape id=\"" + std::to_string(i + 1) + "\"><scale>" + scales[i].first + "</scale><orientation>" +
              (i < orientations.size() ? orientations[i].first : "0") + "</orientation></shape>";
  }
  PartslibraryList list;
  Access::Parse(list, LibraryDoc("", shapes), false, false);
  ASSERT_EQ(list.GetOlList().size(), scales.size());
  for (size_t i = 0; i < scales.size(); ++i) {
    const double scale = list.GetOlList()[i]->GetOlScale();
    EXPECT_EQ(scale, scales[i].second) << scales[i].first.substr(0, 30);
    EXPECT_EQ(std::signbit(scale), std::signbit(scales[i].second)) << scales[i].first.substr(0, 30);
  }
  for (size_t i = 0; i < orientations.size(); ++i) {
    EXPECT_EQ(list.GetOlList()[i]->GetOlOrientation(), orientations[i].second) << orientations[i].first;
  }
}

// Identifiers far apart, negative or repeated: a file read must renumber exactly as the
// public add operations do one by one, however the reader tracks identifiers in use.
TEST(CatalogueRead, IdentifiersAnywhereRenumberLikeTheAddOperations) {
  const std::vector<int> ids = {5, 2000000000, 5, -3, -3, 0, 64, 2147483647, 64};
  std::string shapes;
  for (const int id : ids) {
    shapes += "<shape id=\"" + std::to_string(id) + "\"/>";
  }
  PartslibraryList read;
  Access::Parse(read, LibraryDoc("", shapes, ""), false, false);
  PartslibraryList added;
  for (const int id : ids) {
    util::SmartPtr<PartslibraryOlItem> ol(new PartslibraryOlItem());
    ol->SetID(id);
    added.AddOlItem(ol);
  }
  ASSERT_EQ(read.GetOlList().size(), ids.size());
  for (size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(read.GetOlList()[i]->GetID(), added.GetOlList()[i]->GetID()) << "entry " << i;
  }
  EXPECT_EQ(read.GetOlList()[2]->GetID(), 2000000001);
  EXPECT_EQ(read.GetOlList()[8]->GetID(), 1);  // nothing past the largest int: an unused one
}

// An entry element with more attributes than the reader takes in one pass still gives
// the first attribute of each name.
TEST(CatalogueRead, ManyAttributesStillFindTheFirstOfEachName) {
  std::string extra;
  for (int i = 0; i < 20; ++i) {
    extra += " x" + std::to_string(i) + "=\"1\"";
  }
  PartslibraryList list;
  Access::Parse(
      list,
      LibraryDoc("<category id=\"3\"><name>C</name></category>",
                 "<shape" + extra + " id=\"12\" categoryId=\"3\" id=\"13\"/>",
                 "<symbol id=\"8\" billboard=\"true\"" + extra + "><flip vertical=\"true\"" + extra + "/></symbol>"),
      false, false);
  ASSERT_EQ(list.GetOlList().size(), 1u);
  EXPECT_EQ(list.GetOlList()[0]->GetID(), 12);
  EXPECT_EQ(list.GetOlList()[0]->GetCategoryID(), 3);
  ASSERT_EQ(list.GetImageList().size(), 1u);
  EXPECT_EQ(list.GetImageList()[0]->GetID(), 8);
  EXPECT_TRUE(list.GetImageList()[0]->GetIsBillboardImage());
  EXPECT_TRUE(list.GetImageList()[0]->GetFlipVertical());
}

std::string Cat(int id, const std::string& name) {
  return "<category id=\"" + std::to_string(id) + "\"><name>" + name + "</name></category>";
}
std::string Shape(int id, int category) {
  return "<shape id=\"" + std::to_string(id) + "\" categoryId=\"" + std::to_string(category) + "\"/>";
}

TEST(CatalogueReadMerge, SharedStandardAndUserFilesBecomeOneCatalogue) {
  ScratchLibrary scratch("merge");
  scratch.EnableShared(true);
  ScratchLibrary::Put(scratch.SharedFile(), LibraryDoc(Cat(7, "Tools") + Cat(9, "Parts"), Shape(5, 7) + Shape(5, 9)));
  ScratchLibrary::Put(scratch.StandardFile(),
                      LibraryDoc(Cat(1, "Parts") + Cat(2, "Safety"), Shape(3, 1) + Shape(40, 2), "", "std"));
  ScratchLibrary::Put(scratch.UserFile(), LibraryDoc(Cat(2, "Mine"), Shape(40, 2) + Shape(1, 3), "", "user units"));

  PartslibraryList list;
  list.ReadPreferencesXML(false);
  const auto& categories = list.GetCategoryList();
  ASSERT_EQ(categories.size(), 4u);
  EXPECT_EQ(categories[0]->GetName(), "Tools");
  EXPECT_EQ(categories[0]->GetID(), 1);
  EXPECT_EQ(categories[1]->GetID(), 2);  // Parts, shared first
  EXPECT_EQ(categories[2]->GetName(), "Safety");
  EXPECT_EQ(categories[2]->GetID(), 3);
  EXPECT_EQ(categories[3]->GetName(), "Mine");
  EXPECT_EQ(categories[3]->GetID(), 4);  // user 2 was taken

  const auto& ols = list.GetOlList();
  ASSERT_EQ(ols.size(), 6u);
  std::vector<int> ids, cats;
  for (const auto& ol : ols) {
    ids.push_back(ol->GetID());
    cats.push_back(ol->GetCategoryID());
  }
  EXPECT_EQ(ids, (std::vector<int>{5, 6, 7, 40, 41, 1}));
  EXPECT_EQ(cats, (std::vector<int>{1, 2, 2, 3, 2, 3}));
  EXPECT_TRUE(ols[0]->IsShared());
  EXPECT_TRUE(ols[2]->IsStandard());
  EXPECT_FALSE(ols[5]->IsShared() || ols[5]->IsStandard());
  EXPECT_EQ(list.GetUnits(), "user units");
  // Merged categories keep the children of their own file; user entries join them.
  EXPECT_EQ(categories[1]->GetChildren().size(), 2u);
  EXPECT_EQ(categories[2]->GetChildren().size(), 2u);
  EXPECT_EQ(categories[2]->GetChildren()[1].get(), ols[5].get());

  list.ReadPreferencesXML(true);
  EXPECT_EQ(list.GetOlList().size(), 4u);
  EXPECT_EQ(list.GetUnits(), "user units");  // not read again, kept

  scratch.EnableShared(false);
  std::filesystem::remove(scratch.UserFile());
  ScratchLibrary::Put(scratch.StandardFile(), "<?xml version=\"1.0\"?><orbis-library><units>");
  list.ReadPreferencesXML(false);
  EXPECT_TRUE(list.GetOlList().empty());
  EXPECT_TRUE(list.GetCategoryList().empty());
  EXPECT_EQ(list.GetUnits(), "user units");
}

}  // namespace
}  // namespace oxsymbols
