#include "text/Regex.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/PatternHelpers.h"

namespace quirebook {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(SharedRegexMatching, IsCaselessDotAllAndNeverEmpty) {
    EXPECT_EQ(ReplacePattern("a   b  c", " +", " "), "a b c");
    EXPECT_EQ(ReplacePattern("nothing here", "zz+", "y"), "nothing here");
    // An empty match is never reported, so "x*" replaces nothing at all.
    EXPECT_EQ(ReplacePattern("abc", "x*", "-"), "abc");
    EXPECT_EQ(ReplacePattern("ABC", "abc", "x"), "x");
    EXPECT_EQ(ReplacePattern("a\nc a\r\nc", "a.c", "x"), "x a\r\nc");
    EXPECT_EQ(ReplacePattern("a\r\nc", "a..c", "x"), "x");
}

TEST(SharedRegexMatching, BytesAreCharactersAndClassesAreAscii) {
    // No UTF mode: invalid UTF-8 and NUL bytes are ordinary characters.
    const std::string binary("\xff\x00\xfe<p>\x00", 7);
    EXPECT_EQ(ReplacePattern(binary, "<p>.", "P"), std::string("\xff\x00\xfeP", 4));
    EXPECT_EQ(ReplacePattern("caf\xc3\xa9!", "\\w+", "W"), "W\xc3\xa9!");
    // Case folding covers ASCII letters only.
    EXPECT_EQ(ReplacePattern("\xc3\xa9", "\xc3\x89", "x"), "\xc3\xa9");
}

TEST(RegexReplace, ExpandsGroupsOnlyWhenTheReplacementHasADollar) {
    EXPECT_EQ(ReplacePattern("<a id=\"a b\">", "(id=\"[^\"]+?) ([^\"]+?\")", "$1_$2"),
              "<a id=\"a_b\">");
    EXPECT_EQ(ReplacePattern("ab", "(a)(b)", "[$5]"), "[]");
    EXPECT_EQ(ReplacePattern("ab", "(a)(b)", "\\1\\\\"), "\\1\\\\");
    EXPECT_EQ(ReplacePattern("ab", "(a)(b)", "\\2$$"), "b$");
}

TEST(RegexReplace, MatchesDoNotOverlapAndInsertedTextIsNotSearchedAgain) {
    EXPECT_EQ(ReplacePattern("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(ReplacePattern("ab", "a", "aa"), "aab");
    EXPECT_EQ(ReplacePattern("xyz", "x|y|z", "$0$0"), "xxyyzz");
}

TEST(RegexWalk, MatchNextContinuesWhereThePreviousMatchEnded) {
    Regex regex(preCaseLess | preSingleLine);
    regex.SetPattern("<(h[1-6])>");
    regex.SetSubject("x<H1>yy<h2>");
    ASSERT_TRUE(regex.MatchNext());
    EXPECT_EQ(regex.MatchedText(), "<H1>");
    EXPECT_EQ(regex.MatchStart(), 2u);
    EXPECT_EQ(regex.MatchEnd(), 6u);
    EXPECT_EQ(regex.MatchLength(), 4u);
    EXPECT_EQ(regex.Submatch(1), "H1");
    ASSERT_TRUE(regex.MatchNext());
    EXPECT_EQ(regex.MatchStart(), 8u);
    EXPECT_FALSE(regex.MatchNext());
    ASSERT_TRUE(regex.MatchFirst());
    EXPECT_EQ(regex.MatchStart(), 2u);
}

TEST(RegexWalk, SubmatchCountIsTheHighestGroupThatTookPart) {
    Regex regex;
    regex.SetPattern("(a)|(b)");
    regex.SetSubject("b");
    ASSERT_TRUE(regex.MatchNext());
    EXPECT_EQ(regex.SubmatchCount(), 2);
    EXPECT_EQ(regex.Submatch(1), "");
    EXPECT_EQ(regex.Submatch(2), "b");
    EXPECT_EQ(regex.Submatch(3), "");
    regex.SetPattern("(a)(b)?");
    regex.SetSubject("a");
    ASSERT_TRUE(regex.MatchNext());
    EXPECT_EQ(regex.SubmatchCount(), 1);
}

TEST(RegexWalk, ReplaceMatchShiftsTheSearchPastTheInsertedText) {
    Regex regex;
    regex.SetPattern("a(\\d+)");
    regex.SetSubject("a1 a22 a333");
    std::vector<std::string> seen;
    while (regex.MatchNext()) {
        seen.push_back(regex.Submatch(1));
        regex.ReplaceMatch("<a$1a>");  // the inserted "a>" must not be matched again
    }
    EXPECT_THAT(seen, ElementsAre("1", "22", "333"));
    EXPECT_EQ(regex.Subject(), "<a1a> <a22a> <a333a>");
}

TEST(RegexWalk, OnReplaceMayChangeTheInsertedTextAndOnMatchSeesEverySearch) {
    Regex regex;
    int matches = 0;
    regex.OnMatch = [&](Regex&) { ++matches; };
    regex.OnReplace = [](Regex& sender, std::string& with) { with += sender.Submatch(0); };
    regex.SetPattern("b");
    regex.SetSubject("abc");
    ASSERT_TRUE(regex.MatchNext());
    EXPECT_EQ(regex.ReplaceMatch("-"), "a-bc");
    EXPECT_FALSE(regex.MatchNext());
    EXPECT_EQ(matches, 1);
}

TEST(RegexWalk, MatchAllListsEveryMatchInOrder) {
    Regex regex(preCaseLess);
    regex.SetPattern("[a-c]+");
    EXPECT_THAT(regex.MatchAll("AB-x-c--bb"), ElementsAre("AB", "c", "bb"));
    EXPECT_TRUE(regex.MatchAll("xyz").empty());
}

TEST(RegexOptions, MapOntoTheEngineFlags) {
    Regex regex;
    regex.SetPattern("^b.c$");
    EXPECT_TRUE(regex.MatchAll("a\nB\nc").empty());
    regex.SetOptions(preCaseLess | preSingleLine | preMultiLine);
    EXPECT_THAT(regex.MatchAll("a\nB\nc"), ElementsAre("B\nc"));
    regex.SetOptions(preUnGreedy);
    regex.SetPattern("a.+");
    EXPECT_THAT(regex.MatchAll("abc"), ElementsAre("ab"));
    regex.SetOptions(preExtended);
    regex.SetPattern("a b # comment");
    EXPECT_THAT(regex.MatchAll("ab"), ElementsAre("ab"));
}

TEST(RegexCompilation, EachDistinctPatternIsCompiledOncePerProcess) {
    Regex first(preCaseLess);
    first.SetPattern("compile-once-[0-9]+");
    ASSERT_TRUE((first.SetSubject("compile-once-1"), first.MatchNext()));
    const auto compiled = PatternCompilationCount();
    first.SetPattern("compile-once-[0-9]+");  // the same text again changes nothing
    EXPECT_TRUE(first.MatchFirst());
    Regex second(preCaseLess);
    second.SetPattern("compile-once-[0-9]+");
    second.SetSubject("compile-once-2");
    EXPECT_TRUE(second.MatchNext());
    EXPECT_EQ(PatternCompilationCount(), compiled);
    // Other options make another compiled form.
    Regex third(preSingleLine);
    third.SetPattern("compile-once-[0-9]+");
    third.SetSubject("compile-once-3");
    EXPECT_TRUE(third.MatchNext());
    EXPECT_EQ(PatternCompilationCount(), compiled + 1);
}

TEST(RegexErrors, CarryTheComponentsMessages) {
    Regex regex;
    regex.SetSubject("text");
    try {
        regex.MatchNext();
        FAIL() << "an empty pattern must raise";
    } catch (const RegexError& error) {
        EXPECT_STREQ(error.what(),
                     "Regex.Compile() - Please specify a regular expression in RegEx first");
    }
    regex.SetPattern("(unclosed");
    try {
        regex.MatchNext();
        FAIL() << "a rejected pattern must raise";
    } catch (const RegexError& error) {
        EXPECT_STREQ(error.what(), "(unclosed");
    }
    regex.SetPattern("x");
    regex.SetSubject("y");
    EXPECT_FALSE(regex.MatchNext());
    EXPECT_THROW(regex.MatchedText(), std::logic_error);
    try {
        regex.MatchStart();
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "REQUIRE: There must be a successful match first");
    }
}

TEST(RegexErrors, AFailedPassLeavesTheTextAsItWas) {
    std::string text = "keep me";
    EXPECT_THROW(ReplacePatternInPlace(text, "(bad", "x"), RegexError);
    EXPECT_EQ(text, "keep me");
}

// Whatever the input, a pass neither crashes nor hangs: catastrophic backtracking stops at the
// match limit with an error naming the pattern, and the text is left untouched.
TEST(RegexReliability, CatastrophicBacktrackingStopsAtTheLimit) {
    const std::string hostile = std::string(40, 'a') + "!b";
    std::string text = hostile;
    const std::string pattern = "(a+)+b";
    try {
        ReplacePatternInPlace(text, pattern, "x");
        FAIL() << "the match limit must stop this pass";
    } catch (const RegexLimitError& error) {
        EXPECT_THAT(error.what(), HasSubstr("\"(a+)+b\""));
    }
    EXPECT_EQ(text, hostile);
}

TEST(RegexReliability, FiftyMegabytesOnOneLine) {
    const std::string paragraph =
        std::string("<p class=x>Some words &amp; more<br></p>\xe9") + '\0';
    std::string text;
    text.reserve((50u << 20) + paragraph.size());
    while (text.size() < (50u << 20)) text += paragraph;
    const std::size_t paragraphs = text.size() / paragraph.size();

    std::string result = ReplacePattern(text, "<p[^>]*>(.*?)</p>", "<div>$1</div>");
    EXPECT_EQ(result.size(), text.size() - paragraphs * 4);
    DeletePattern(result, "<br>");
    EXPECT_EQ(result.size(), text.size() - paragraphs * 8);
    // A lazy scan that never finds its end on a huge text still finishes.
    EXPECT_EQ(ReplacePattern(text, "<script.*?</script>", ""), text);
}

}  // namespace
}  // namespace quirebook
