#include <gtest/gtest.h>

#include "Utf8Text.h"

namespace symbols_tool {
namespace {

TEST(Utf8Text, ControlCharactersAndBrokenBytesAreEscapedLettersAreNot) {
  EXPECT_EQ(EscapeForTerminal("a\nb\tc\x1b[2J\x7f"), "a\\nb\\tc\\x1b[2J\\x7f");
  EXPECT_EQ(EscapeForTerminal("\xc2\x9b"
                              "1m"),
            "\\u009b1m");  // C1 control in UTF-8
  EXPECT_EQ(EscapeForTerminal("\x9b"
                              "1m \xc3"),
            "\\x9b1m \\xc3");                                       // bytes that are not UTF-8
  EXPECT_EQ(EscapeForTerminal("\xe0\x80\x80"), "\\xe0\\x80\\x80");  // an overlong form
  EXPECT_EQ(EscapeForTerminal("Grüße Ωμέγα Привет ✓"), "Grüße Ωμέγα Привет ✓");
}

TEST(Utf8Text, CaseFoldingCoversLatinGreekAndCyrillic) {
  EXPECT_EQ(FoldCase("ABC xyz"), "abc xyz");
  EXPECT_EQ(FoldCase("ÀÉÎÕÜ ÆØÞ ×"), "àéîõü æøþ ×");
  EXPECT_EQ(FoldCase("ĀĆĐĘĞĲŁŃŒŠŸŽ"), "āćđęğĳłńœšÿž");
  EXPECT_EQ(FoldCase("ǍǗȘȚ ḂẞỲ"), "ǎǘșț ḃßỳ");
  EXPECT_EQ(FoldCase("ΑΒΓ ΆΈΉΊΌΎΏ ΣΟΦΟΣ σοφος"), "αβγ άέήίόύώ σοφοσ σοφοσ");
  EXPECT_EQ(FoldCase("ЁЖЩЯ ЂЏ ѢѲ Ґ Ӂ Ӕ"), "ёжщя ђџ ѣѳ ґ ӂ ӕ");
  EXPECT_EQ(FoldCase("ı i ß"), "ı i ß");
  EXPECT_EQ(FoldCase("A\xff"
                     "B"),
            "a\xff"
            "b");
}

}  // namespace
}  // namespace symbols_tool
