#include "text/PlainText.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(PlainReplace, ReplacesEveryOccurrenceLeftToRightWithoutOverlap) {
    EXPECT_EQ(PlainReplace("a.b.c", ".", "::"), "a::b::c");
    EXPECT_EQ(PlainReplace("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(PlainReplace("aaa", "aa", "b"), "ba");
    EXPECT_EQ(PlainReplace("none", "x", "y"), "none");
    EXPECT_EQ(PlainReplace("abc", "", "y"), "abc");
    EXPECT_EQ(PlainReplace("Strong", "strong", "b"), "Strong");  // case-sensitive by default
    EXPECT_EQ(PlainReplace(std::string("a\0b", 3), std::string("\0", 1), "-"), "a-b");
}

TEST(PlainReplace, IgnoringCaseFoldsAsciiLettersOnly) {
    EXPECT_EQ(PlainReplace("<STRONG>x</strong>", "strong>", "b>", true), "<b>x</b>");
    EXPECT_EQ(PlainReplace("MiXeD mixed", "MIXED", "Kept", true), "Kept Kept");
    EXPECT_EQ(PlainReplace("\xc3\x89", "\xc3\xa9", "e", true), "\xc3\x89");
}

TEST(PositionHelpers, AreOneBasedWithZeroForNotFound) {
    const std::string text = "abcabcABC";
    EXPECT_EQ(PosFrom(text, "abc", 1), 1u);
    EXPECT_EQ(PosFrom(text, "abc", 2), 4u);
    EXPECT_EQ(PosFrom(text, "abc", 5), 0u);
    EXPECT_EQ(PosFrom(text, "abc", 5, true), 7u);
    EXPECT_EQ(PosFrom(text, "abc", 10), 0u);  // start beyond the text
    EXPECT_EQ(PosFrom(text, "", 1), 0u);

    // Only occurrences that end before the limit count.
    EXPECT_EQ(PosBefore(text, "abc", 2, false, 7), 4u);
    EXPECT_EQ(PosBefore(text, "abc", 2, false, 6), 0u);
    EXPECT_EQ(PosBefore(text, "ABC", 1, true, 4), 1u);

    EXPECT_EQ(LastPos(text, "abc", 0), 4u);
    EXPECT_EQ(LastPos(text, "abc", 0, true), 7u);
    EXPECT_EQ(LastPos(text, "abc", 3), 1u);
    EXPECT_EQ(LastPos(text, "abc", 4), 4u);
    EXPECT_EQ(LastPos(text, "x", 0), 0u);
}

TEST(CopyHelpers, CutByOneBasedPositions) {
    EXPECT_EQ(LeftPart("abcdef", 2), "ab");
    EXPECT_EQ(LeftPart("ab", 5), "ab");
    EXPECT_EQ(CopyFrom("abcdef", 2, 3), "bcd");
    EXPECT_EQ(CopyFrom("abcdef", 4, 0), "def");
    EXPECT_EQ(CopyFrom("abcdef", 7, 1), "");
    EXPECT_EQ(CopyToEnd("abcdef", 6), "f");
}

TEST(AppendRange, AppendsAnInclusiveRange) {
    std::string buffer = "<";
    AppendRange(buffer, "0123456789", 4, 2);
    EXPECT_EQ(buffer, "<123");
    AppendRange(buffer, "0123456789", 1, 2);  // last < first: nothing
    EXPECT_EQ(buffer, "<123");
    AppendRange(buffer, "01", 99, 2);  // clipped at the end of the source
    EXPECT_EQ(buffer, "<1231");
}

TEST(TextBetween, TakesTheTextBetweenTheFirstStartAndTheNextEnd) {
    EXPECT_EQ(TextBetween("<title>Hi</title><title>No</title>", "<title>", "</title>"), "Hi");
    EXPECT_EQ(TextBetween("<TITLE>Hi</Title>", "<title>", "</title>", true), "Hi");
    EXPECT_EQ(TextBetween("<TITLE>Hi</Title>", "<title>", "</title>"), "");
    EXPECT_EQ(TextBetween("<title>open", "<title>", "</title>"), "");
    EXPECT_EQ(TextBetween("</title><title>", "<title>", "</title>"), "");
}

}  // namespace
}  // namespace quirebook
