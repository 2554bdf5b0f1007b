#include "text/TextUtilities.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(SizeText, CountsStartedKilobytes) {
    EXPECT_EQ(SizeText(0), "0 KB");
    EXPECT_EQ(SizeText(-5), "0 KB");
    EXPECT_EQ(SizeText(1), "1 KB");
    EXPECT_EQ(SizeText(1023), "1 KB");
    EXPECT_EQ(SizeText(1024), "2 KB");
    EXPECT_EQ(SizeText(5'000'000'000), "4882813 KB");
}

TEST(IsNumberText, AcceptsDigitsAndDotsOnly) {
    EXPECT_FALSE(IsNumberText(""));
    EXPECT_TRUE(IsNumberText("1.5"));
    EXPECT_TRUE(IsNumberText("12"));
    EXPECT_FALSE(IsNumberText("1,5"));
    EXPECT_FALSE(IsNumberText("-1"));
}

TEST(TrimBlanks, RemovesControlBytesAndSpacesAtBothEndsOnly) {
    EXPECT_EQ(TrimBlanks(" \t\r\n TRUE \r"), "TRUE");
    EXPECT_EQ(TrimBlanks("a b"), "a b");
    EXPECT_EQ(TrimBlanks(" \x01 "), "");
    EXPECT_EQ(TrimBlanks("\xa0x\xa0"), "\xa0x\xa0");  // bytes above 127 are not blanks
}

TEST(StripExtension, CutsAtTheLastDot) {
    EXPECT_EQ(StripExtension("a.b.html"), "a.b");
    EXPECT_EQ(StripExtension("chapter.htm"), "chapter");
    EXPECT_EQ(StripExtension("README"), "");
}

TEST(AsciiLower, LowersAsciiLettersOnly) {
    // Bytes above 127 stay whatever the locale: "\xC0" is "À" in Latin-1, a lead byte in UTF-8.
    EXPECT_EQ(AsciiLower("Chapter-1.HTML \xC0\xC3\x89"), "chapter-1.html \xC0\xC3\x89");
    EXPECT_EQ(AsciiLower("@[`{"), "@[`{");  // the neighbours of A-Z and a-z
    EXPECT_EQ(AsciiLower(""), "");
}

TEST(HoldsAtAnyCase, MatchesTheWordAtThePlaceOnly) {
    EXPECT_TRUE(HoldsAtAnyCase("<PRE class=x>", 1, "pre"));
    EXPECT_TRUE(HoldsAtAnyCase("a<Pre", 2, "pre"));  // the word may end the text
    EXPECT_FALSE(HoldsAtAnyCase("a<Pr", 2, "pre"));
    EXPECT_FALSE(HoldsAtAnyCase("<pre", 0, "pre"));
    EXPECT_FALSE(HoldsAtAnyCase("<pre", 9, "pre"));  // past the end
    EXPECT_TRUE(HoldsAtAnyCase("abc", 3, ""));
}

TEST(FindAnyCase, FindsTheFirstPlaceFromTheStart) {
    EXPECT_EQ(FindAnyCase("<p>x</STYLE> </style>", "</style"), 4u);
    EXPECT_EQ(FindAnyCase("<p>x</STYLE> </style>", "</style", 5), 13u);
    EXPECT_EQ(FindAnyCase("<div Role=x>", "role"), 5u);
    EXPECT_EQ(FindAnyCase("</styl", "</style"), std::string_view::npos);  // cut short
    EXPECT_EQ(FindAnyCase("abc", "b", 9), std::string_view::npos);        // past the end
}

TEST(PercentDecode, DecodesWholeSequencesOnly) {
    EXPECT_EQ(PercentDecode("my%20image.png"), "my image.png");
    EXPECT_EQ(PercentDecode("%2e%2E/x"), "../x");
    // Cut or malformed sequences stay as written.
    EXPECT_EQ(PercentDecode("a%zz%4"), "a%zz%4");
    EXPECT_EQ(PercentDecode("100%"), "100%");
    EXPECT_EQ(PercentDecode("%41%"), "A%");
}
}  // namespace
}  // namespace quirebook
