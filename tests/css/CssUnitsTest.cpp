#include "css/CssUnits.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

// The style scaled against a fixed base, in em values or, with `keywords`, size keywords.
std::string Scaled(std::string_view style, int base, bool keywords = false) {
    OptionFlags options;
    options.BaseFontSize = base;
    options.SevenLevelFontSize = keywords;
    return ScaleFontSizes(style, options);
}

TEST(ConvertPointsToPixels, RoundsFourThirdsExactlyWithHalvesToEven) {
    EXPECT_EQ(ConvertPointsToPixels("12pt 10.5pt 9pt 1.5pt 0.75pt"), "16px 14px 12px 2px 1px");
    // 0.375pt, 1.125pt, 1.875pt and 2.625pt are exactly 0.5, 1.5, 2.5 and 3.5 pixels.
    EXPECT_EQ(ConvertPointsToPixels("0.375pt 1.125pt 1.875pt 2.625pt"), "0px 2px 2px 4px");
    // Just above a half: a binary floating-point reading would see the half and round to 0.
    EXPECT_EQ(ConvertPointsToPixels("0.37500000000000001pt"), "1px");
    EXPECT_EQ(ConvertPointsToPixels("123456789012345678901234pt"), "164609052016460905201645px");
    EXPECT_EQ(ConvertPointsToPixels("5.pt .5pt 0pt 007pt 0.0pt"), "7px 1px 0px 9px 0px");
}

TEST(ConvertPointsToPixels, RewritesOnlyTheNumbersAndTheirUnit) {
    EXPECT_EQ(ConvertPointsToPixels("p{font-size:12PT;\r\n\tmargin:0pt 0pt 6.0pt 0pt}"),
              "p{font-size:16px;\r\n\tmargin:0px 0px 8px 0px}");
    EXPECT_EQ(ConvertPointsToPixels("x5pt"), "x7px");
    // Runs of digits and dots that are not one number stay as written.
    EXPECT_EQ(ConvertPointsToPixels("a:1.2.3pt; b:.pt; c:..pt; d:2pt"),
              "a:1.2.3pt; b:.pt; c:..pt; d:3px");
    EXPECT_EQ(ConvertPointsToPixels("no points here"), "no points here");
}

TEST(ScaleFontSizes, KeepsThreeSignificantDigitsInPlainNotation) {
    EXPECT_EQ(Scaled("a{font-size:14px}b{font-size:12px}c{font-size:16px}", 16),
              "a{font-size:0.875em}b{font-size:0.75em}c{font-size:1em}");
    // Word's heading sizes stay apart: 13, 14 and 16 points over an 11-point body.
    EXPECT_EQ(Scaled("h3{font-size:17px}h2{font-size:19px}h1{font-size:21px}", 15),
              "h3{font-size:1.13em}h2{font-size:1.27em}h1{font-size:1.4em}");
    EXPECT_EQ(Scaled("font-size:10px", 20), "font-size:0.5em");
    // Halves round away from zero, also where rounding carries into a new digit.
    EXPECT_EQ(Scaled("a{font-size:1.0005px}b{font-size:15.992px}c{font-size:1599.2px}", 1),
              "a{font-size:1em}b{font-size:16em}c{font-size:1600em}");
    EXPECT_EQ(Scaled("a{font-size:1.2345px}b{font-size:1.2355px}", 1),
              "a{font-size:1.23em}b{font-size:1.24em}");
    // Large and small quotients are written out in full, never as "1E1".
    EXPECT_EQ(Scaled("a{font-size:152px}b{font-size:170px}c{font-size:1600px}", 16),
              "a{font-size:9.5em}b{font-size:10.6em}c{font-size:100em}");
    EXPECT_EQ(Scaled("font-size:1px", 16), "font-size:0.0625em");
    EXPECT_EQ(Scaled("font-size:1px", 255), "font-size:0.00392em");
    EXPECT_EQ(Scaled("font-size:99999999999999999999px", 255), "font-size:392000000000000000em");
}

TEST(ScaleFontSizes, FollowsEachFontToThePixelsOfItsOwnDeclaration) {
    EXPECT_EQ(Scaled("h1{font:bold 24px Arial}", 16), "h1{font:bold 1.5em Arial}");
    // The "px" must come before the declaration's ";" and the rule's "}".
    EXPECT_EQ(Scaled("p{font-family:Arial; margin:12px}", 16), "p{font-family:Arial; margin:12px}");
    EXPECT_EQ(Scaled("b{font-weight:bold} p{margin:8px;}", 16),
              "b{font-weight:bold} p{margin:8px;}");
    EXPECT_EQ(Scaled("p{font-size:0px;font-size:large;font-size:px}", 16),
              "p{font-size:0px;font-size:large;font-size:px}");
    // A second "font" in the same declaration must not scale the value a second time.
    EXPECT_EQ(Scaled("p{font-family:fontish 32px;}", 16), "p{font-family:fontish 2em;}");
    // A fraction belongs to the size; a run that is not one number is left alone.
    EXPECT_EQ(Scaled("p{font-size:10.5px}", 16), "p{font-size:0.656em}");
    EXPECT_EQ(Scaled("p{font-size:1.2.5px}", 16), "p{font-size:1.2.5px}");
    EXPECT_EQ(Scaled("FONT-SIZE:24px;font-size:24PX", 16), "FONT-SIZE:24px;font-size:24PX");
}

TEST(ScaleFontSizes, GivesKeywordsByExactRatioToTheBase) {
    EXPECT_EQ(Scaled("font:9px;font:10px;font:13px;font:16px;font:17px;font:24px;font:36px;"
                     "font:48px",
                     16, true),
              "font:xx-small;font:x-small;font:small;font:small;font:medium;font:large;"
              "font:x-large;font:xx-large");
    // Sizes on the thresholds 0.6, 0.8, 1.5, 2.2 and 3 times a base of 20 belong above them.
    EXPECT_EQ(Scaled("font:12px;font:16px;font:20px;font:30px;font:44px;font:60px", 20, true),
              "font:x-small;font:small;font:small;font:large;font:x-large;font:xx-large");
    EXPECT_EQ(Scaled("font:9.59px;font:9.6px;font:16.0px;font:16.01px", 16, true),
              "font:xx-small;font:x-small;font:small;font:medium");
    EXPECT_EQ(Scaled("font:123456789012345678901px", 16, true), "font:xx-large");
}

TEST(ScaleFontSizes, DetectsTheBaseFromTheFirstParagraphRule) {
    OptionFlags options;
    EXPECT_EQ(ScaleFontSizes("p {font-size:20px;} h1{font-size:40px;}", options),
              "p {font-size:1em;} h1{font-size:2em;}");
    EXPECT_EQ(options.BaseFontSize, 20);
    // Once detected the base stays in force.
    EXPECT_EQ(ScaleFontSizes("p {font-size:10px;}", options), "p {font-size:0.5em;}");
    EXPECT_EQ(options.BaseFontSize, 20);

    // Values that do not read as a whole pixel size from 1 to 255 fall back to 16.
    for (const char* style : {"p{color:red}", "p{font-size:small;}", "p{font-size:120%;}",
                              "p{font-size:0px;}", "p{font-size:18px}", "p{font-size:300px;}",
                              "p{font-size:1em;}", "p{font-size:12.5px;}", ""}) {
        OptionFlags fallback;
        ScaleFontSizes(style, fallback);
        EXPECT_EQ(fallback.BaseFontSize, 16) << style;
    }
    // Word's points: the base comes from the converted paragraph size.
    OptionFlags word;
    EXPECT_EQ(ScaleFontSizes(ConvertPointsToPixels("p {font-size:12.0pt;}"), word),
              "p {font-size:1em;}");
    EXPECT_EQ(word.BaseFontSize, 16);
}

}  // namespace
}  // namespace quirebook
