#include "text/utf8.h"

#include <gtest/gtest.h>

namespace kv::text {
namespace {

TEST(Utf8Test, CountsCodePointsAndInvalidBytesAsOneEach) {
    EXPECT_EQ(CharCount(""), 0u);
    EXPECT_EQ(CharCount("abc"), 3u);
    EXPECT_EQ(CharCount("ä€😀"), 3u);
    EXPECT_EQ(CharCount("\xff\xfe"), 2u);
    EXPECT_EQ(CharCount("\xe2\x82"), 2u);      // truncated sequence
    EXPECT_EQ(CharCount("\xc0\xaf"), 2u);      // overlong form
    EXPECT_EQ(CharCount("\xed\xa0\x80"), 3u);  // surrogate
    EXPECT_EQ(CharCount(std::string("a\0b", 3)), 3u);
}

TEST(Utf8Test, CutNeverSplitsACharacter) {
    EXPECT_EQ(CutChars("abcdef", 3), "abc");
    EXPECT_EQ(CutChars("abc", 30), "abc");
    EXPECT_EQ(CutChars("ääää", 2), "ää");
    EXPECT_EQ(CutChars("a€b", 2), "a€");
    EXPECT_EQ(CutChars("😀😀", 1), "😀");
    EXPECT_EQ(CutChars("\xff\xff\xff", 2), "\xff\xff");
    EXPECT_EQ(CutChars("abc", 0), "");
}

TEST(Utf8Test, AppendEncodesEveryRange) {
    std::string s;
    AppendUtf8(s, U'A');
    AppendUtf8(s, U'é');
    AppendUtf8(s, U'€');
    AppendUtf8(s, U'😀');
    EXPECT_EQ(s, "Aé€😀");
}

}  // namespace
}  // namespace kv::text
