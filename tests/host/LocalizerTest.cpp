#include <gtest/gtest.h>

#include "util/Localizer.h"
#include "util/MessageArgs.h"
#include "util/Utf8ToWideStr.h"

namespace {

TEST(Localizer, ShippedCatalogueHoldsTheModuleMessages) {
  util::Localizer localizer("oxbase:oxmodulesStrings");
  ASSERT_TRUE(localizer.IsLoaded());
  EXPECT_EQ(localizer.LocalizeMessage("2047"), "Symbol");
  EXPECT_FALSE(localizer.LocalizeMessage("2048").empty());
  EXPECT_EQ(localizer.LocalizeMessage("5601", util::AssembleArgs("%d", 3)), "Symbol 3");
}

TEST(Localizer, UnknownKeyFollowsTheFailureAction) {
  util::Localizer localizer("oxbase:oxmodulesStrings");
  EXPECT_EQ(localizer.LocalizeMessage("NoSuchKey", util::Localizer::kReturnKey), "NoSuchKey");
  EXPECT_EQ(localizer.LocalizeMessage("NoSuchKey", util::Localizer::kReturnEmpty), "");
  EXPECT_EQ(localizer.LocalizeMessage("NoSuchKey", util::Localizer::kReturnMarked), "!!NoSuchKey!!");
  util::Localizer missing("oxbase:noSuchCatalogue");
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_EQ(missing.LocalizeMessage("2047"), "2047");
}

TEST(AssembleArgs, FormatsOneValuePerConversion) {
  EXPECT_EQ(util::AssembleArgs("%d-%s %.2f", 7, "x", 1.5), (util::MessageArgs{"7", "x", "1.50"}));
  EXPECT_EQ(util::AssembleArgs("100%% %05d", 42), (util::MessageArgs{"00042"}));
  EXPECT_EQ(util::AssembleArgs("%d", 1, 2), (util::MessageArgs{"1"}));
}

TEST(Utf8ToWideStr, DecodesAndReplacesMalformedBytes) {
  EXPECT_EQ(util::Utf8ToWideStr("a\xC3\xA9\xE2\x82\xAC"), std::wstring(L"a\u00E9\u20AC"));
  EXPECT_EQ(util::Utf8ToWideStr("\xF0\x9F\x94\xA7").size(), sizeof(wchar_t) == 4 ? 1u : 2u);
  EXPECT_EQ(util::Utf8ToWideStr("x\xC3"), std::wstring(L"x\uFFFD"));
  EXPECT_EQ(util::Utf8ToWideStr("\xC0\x80"), std::wstring(L"\uFFFD\uFFFD"));  // overlong
}

}  // namespace
