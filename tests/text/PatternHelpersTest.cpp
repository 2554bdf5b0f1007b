#include "text/PatternHelpers.h"

#include <gtest/gtest.h>

#include "text/Regex.h"

namespace quirebook {
namespace {

TEST(PatternHelpers, RewriteInPlaceAndDelete) {
    std::string text = "<P CLASS=x>one</p>\n<p>two</P>";
    ReplacePatternInPlace(text, "<p[^>]*>", "<p>");
    EXPECT_EQ(text, "<p>one</p>\n<p>two</P>");
    DeletePattern(text, "</?p>");
    EXPECT_EQ(text, "one\ntwo");
}

TEST(PatternHelpers, PassesRunOneAfterAnotherOnTheSharedEngine) {
    // Each pass sees the result of the one before.
    std::string text = "<b>bold</b>";
    ReplacePatternInPlace(text, "<b>", "<strong>");
    ReplacePatternInPlace(text, "<strong>(.*?)</b>", "<strong>$1</strong>");
    EXPECT_EQ(text, "<strong>bold</strong>");
    EXPECT_EQ(SharedRegex().Options(), preCaseLess | preSingleLine);
    EXPECT_EQ(SharedRegex().Pattern(), "<strong>(.*?)</b>");
}

}  // namespace
}  // namespace quirebook
