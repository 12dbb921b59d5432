// The library check on a catalogue given to it directly. Loading keeps identifiers
// unique, so identifiers held twice only reach the check from a list changed after it
// was read; the check must still name each of them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "LibraryCheck.h"

namespace symbols_tool {
namespace {

using oxsymbols::PartslibraryCategoryItem;
using oxsymbols::PartslibraryImageItem;
using oxsymbols::PartslibraryOlItem;

template <class Item>
util::SmartPtr<Item> Entry(int id, const std::string& name) {
  util::SmartPtr<Item> item(new Item());
  item->SetID(id);
  item->SetName(name);
  return item;
}

// The check's lines of one kind, as its JSON lists them.
std::vector<std::string> Lines(const LibraryCheck& check, const std::string& kind) {
  const nlohmann::json json = check.Json();
  std::vector<std::string> lines;
  for (const auto& problem : json["problems"]) {
    if (problem["kind"] == kind) {
      lines.push_back(problem["text"].get<std::string>());
    }
  }
  return lines;
}

TEST(LibraryCheck, IdentifiersHeldTwiceAreNamedOncePerKindAndIdentifier) {
  oxsymbols::PartslibraryList list;
  list.SetCategoryList({Entry<PartslibraryCategoryItem>(1, "a"), Entry<PartslibraryCategoryItem>(2, "b"),
                        Entry<PartslibraryCategoryItem>(1, "c")});
  std::vector<util::SmartPtr<PartslibraryOlItem>> shapes;
  for (int id : {5, 6, 7, 8}) {
    shapes.push_back(Entry<PartslibraryOlItem>(id, "shape"));
    list.AddOlItem(shapes.back());
  }
  const auto image = Entry<PartslibraryImageItem>(5, "image");
  list.AddImageItem(image);
  list.AddImageItem(Entry<PartslibraryImageItem>(9, "other"));
  // Identifiers changed in place, past the list's own clash rule.
  shapes[1]->SetID(5);
  shapes[3]->SetID(5);
  image->SetID(9);

  const oxsymbols::LoadReport report;
  const ThumbnailFiles thumbnails(std::vector<std::string>{});
  const LibraryCheck check(report, list, thumbnails);
  EXPECT_EQ(Lines(check, "duplicateId"),
            (std::vector<std::string>{"category identifier 1 is held by 2 entries in the catalogue",
                                      "shape identifier 5 is held by 3 entries in the catalogue",
                                      "image identifier 9 is held by 2 entries in the catalogue"}));
  EXPECT_EQ(check.Json()["counts"]["duplicateId"], 3);
}

// Each library file gets a line of what it gave, counts spelled in the singular for one.
TEST(LibraryCheck, FileLinesCountWhatEachFileGave) {
  oxsymbols::LoadReport report;
  report.files.resize(2);
  report.files[0].origin = oxsymbols::LibraryOrigin::kStandard;
  report.files[0].path = "/lib/standard.xml";
  report.files[0].status = oxsymbols::LibraryFileReport::Status::kRead;
  report.files[0].counts = {1, 0, 2};
  report.files[1].path = "/lib/user.xml";
  report.files[1].status = oxsymbols::LibraryFileReport::Status::kRead;
  report.files[1].counts = {2, 1, 1};
  const oxsymbols::PartslibraryList list;
  const ThumbnailFiles thumbnails(std::vector<std::string>{});
  std::ostringstream out;
  LibraryCheck(report, list, thumbnails).WriteText(out, false);
  EXPECT_EQ(out.str(),
            "standard library: /lib/standard.xml\n  read: 1 category, 0 shapes, 2 images\n"
            "user library: /lib/user.xml\n  read: 2 categories, 1 shape, 1 image\nno problems\n");
}

}  // namespace
}  // namespace symbols_tool
