#include "text/ReplacementExpansion.h"

#include <gtest/gtest.h>

#include "text/Regex.h"

namespace quirebook {
namespace {

// Expands `replacement` for the first match of `pattern` in `subject`.
std::string Expand(const std::string& pattern, const std::string& subject,
                   const std::string& replacement) {
    Regex regex(preCaseLess | preSingleLine);
    regex.SetPattern(pattern);
    regex.SetSubject(subject);
    if (!regex.MatchNext()) throw std::runtime_error("no match");
    return ExpandReplacement(replacement, regex);
}

const char* const kTwelveGroups = "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)";

TEST(ReplacementExpansion, DollarDigitTakesTwoDigitsOnlyWhenThatGroupExists) {
    EXPECT_EQ(Expand(kTwelveGroups, "abcdefghijkl", "$12"), "l");
    EXPECT_EQ(Expand(kTwelveGroups, "abcdefghijkl", "$13"), "a3");
    EXPECT_EQ(Expand("(x)(y)", "xy", "$12"), "x2");
    EXPECT_EQ(Expand("(x)(y)", "xy", "$0/$2$1"), "xy/yx");
    EXPECT_EQ(Expand(kTwelveGroups, "abcdefghijkl", "\\12\\1"), "la");
}

TEST(ReplacementExpansion, BracedNumbersAndNamesSelectGroups) {
    EXPECT_EQ(Expand("(?<word>[a-z]+)-(\\d)", "ab-7", "${word}:${2}:${02}"), "ab:7:7");
    EXPECT_EQ(Expand("(?<word>[a-z]+)", "ab", "\\g<word>!"), "ab!");
    EXPECT_EQ(Expand("(?<word>[a-z]+)", "ab", "[\\g<nosuch>]"), "[]");
    EXPECT_EQ(Expand("(?<word>[a-z]+)", "ab", "[${nosuch}]"), "[]");
    EXPECT_EQ(Expand("(x)", "x", "${9}|${123456789}"), "|");
}

TEST(ReplacementExpansion, ChangesCaseOfAGroup) {
    const std::string pattern = "(.+)";
    EXPECT_EQ(Expand(pattern, "hELLO wORLD-x", "\\U1"), "HELLO WORLD-X");
    EXPECT_EQ(Expand(pattern, "hELLO wORLD-x", "\\L1"), "hello world-x");
    EXPECT_EQ(Expand(pattern, "hELLO wORLD-x", "\\F1"), "Hello world-x");
    EXPECT_EQ(Expand(pattern, "hELLO wORLD-x", "\\I1"), "Hello World-X");
}

TEST(ReplacementExpansion, EscapesAndLeftoversStayAsWritten) {
    const std::string pattern = "(a)";
    EXPECT_EQ(Expand(pattern, "a", "$$1"), "$1");
    EXPECT_EQ(Expand(pattern, "a", "\\$1"), "$1");
    EXPECT_EQ(Expand(pattern, "a", "\\\\1"), "\\1");
    EXPECT_EQ(Expand(pattern, "a", "$x \\q ${ ${} \\g<> \\Ux"), "$x \\q ${ ${} \\g<> \\Ux");
    // The last byte is always copied as it is.
    EXPECT_EQ(Expand(pattern, "a", "cost $"), "cost $");
    EXPECT_EQ(Expand(pattern, "a", "$1\\"), "a\\");
    EXPECT_EQ(Expand(pattern, "a", "$"), "$");
}

TEST(ReplacementExpansion, GroupsThatTookNoPartInsertNothing) {
    EXPECT_EQ(Expand("(a)|(b)", "a", "[$2][${2}][\\U2]"), "[][][]");
    EXPECT_EQ(Expand("(a)(b)?", "a", "<$1$2>"), "<a>");
}

}  // namespace
}  // namespace quirebook
