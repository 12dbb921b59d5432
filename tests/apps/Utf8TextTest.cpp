#include <gtest/gtest.h>

#include "ToolSetup.h"
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

// The catalogue's wide labels: every length of sequence, and U+FFFD for what is no
// character (a lone surrogate, a value past U+10FFFF, a negative wchar_t).
TEST(Utf8Text, WideLabelsBecomeUtf8) {
  EXPECT_EQ(WideToUtf8(L"A\u00e9\u20ac\U0001F600"), "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");
  EXPECT_EQ(WideToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                                    static_cast<wchar_t>(-1), L'b'}),
            "a\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"
            "b");
  EXPECT_EQ(WideToUtf8(std::wstring{static_cast<wchar_t>(0x7F), static_cast<wchar_t>(0x80), static_cast<wchar_t>(0x7FF),
                                    static_cast<wchar_t>(0x800), static_cast<wchar_t>(0xFFFF),
                                    static_cast<wchar_t>(0x10FFFF)}),
            "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf4\x8f\xbf\xbf");
}

}  // namespace
}  // namespace symbols_tool
