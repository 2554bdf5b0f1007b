#include "html/LimitedPass.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/PatternHelpers.h"
#include "text/RegexError.h"

namespace quirebook {
namespace {

TEST(RunLimitedPass, AHostilePageLosesOnlyThePassThatFailed) {
    ChapterReport report;
    const std::string hostile = "<p>" + std::string(40, 'a') + "!b</p>";
    std::string text = hostile;
    RunLimitedPass(report, "c1.htm", "the nested pass", text, [](const std::string& t) {
        return ReplacePattern(ReplacePattern(t, "<p>", "<div>"), "(a+)+b", "x");
    });
    EXPECT_EQ(text, hostile);  // not even the first half of the failed pass stays
    EXPECT_THAT(report.Log(), ::testing::StartsWith("c1.htm: the nested pass was left out: "));
    EXPECT_THAT(report.Log(), ::testing::HasSubstr("(a+)+b"));

    RunLimitedPass(report, "c1.htm", "a sound pass", text,
                   [](const std::string& t) { return ReplacePattern(t, "<p>", "<div>"); });
    EXPECT_EQ(text, "<div>" + std::string(40, 'a') + "!b</p>");
}

TEST(RunLimitedPass, OtherErrorsStillReachTheCaller) {
    ChapterReport report;
    std::string text = "x";
    EXPECT_THROW(RunLimitedPass(report, "c", "p", text,
                                [](const std::string& t) { return ReplacePattern(t, "(", ""); }),
                 RegexError);
}

}  // namespace
}  // namespace quirebook
