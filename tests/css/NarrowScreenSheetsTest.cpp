// Tests of fitting a style sheet for narrow screens: the columns kept for blocks the book does not
// hold, the margins that reserve them, and the minimum widths of a layout.
#include "css/NarrowScreenSheets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quirebook {
namespace {

using ::testing::ElementsAre;

// Whether the selectors name a block that no chapter holds: here, the ones naming "gone".
bool Gone(const std::string& selectors) {
    return selectors.find("gone") != std::string::npos;
}

std::vector<std::string> Columns(const std::string& css) {
    std::vector<std::string> found;
    for (const SideColumn& column : AbsentSideColumns(css, Gone))
        found.push_back(column.Selectors + " " + column.Side + " " + column.Width);
    return found;
}

TEST(NarrowScreenSheets, LengthsInPixelsCountAbsoluteAndFontUnits) {
    EXPECT_EQ(LengthInPixels("360px"), 360);
    EXPECT_EQ(LengthInPixels(" 1IN "), 96);
    EXPECT_EQ(LengthInPixels("30pt"), 40);
    EXPECT_EQ(LengthInPixels("2.5em"), 40);
    EXPECT_NEAR(*LengthInPixels("2.54cm"), 96, 1e-9);
    for (const char* other : {"50%", "auto", "10vw", "calc(10px)", "px", "12", "inf", "0x10px"})
        EXPECT_FALSE(LengthInPixels(other)) << other;
}

TEST(NarrowScreenSheets, AColumnIsABlockFloatedOrPinnedWithAColumnsWidthThatNoChapterHolds) {
    EXPECT_THAT(Columns("div.gone { float: left; width: 230px }\n"
                        "div.here { float: left; width: 230px }\n"       // a chapter holds it
                        "div.gone-icon { float: right; width: 40px }\n"  // narrower than an inch
                        "div.gone-full { float: left; width: 100% }\n"  // no column beside the text
                        "div.gone-none { float: left; width: 20em; float: none }\n"
                        "@media screen { nav.gone,\n  aside.gone { FLOAT: Right; width: 25% } }\n"
                        ".gone-pinned { position: fixed; right: 0; width: var(--side) }\n"
                        ".gone-left { position: absolute; left: 0; right: 0; width: 15em }\n"
                        ".gone-flow { position: relative; width: 15em }"),
                ElementsAre("div.gone left 230px", "nav.gone, aside.gone right 25%",
                            ".gone-pinned right var(--side)", ".gone-left left 15em"));
}

TEST(NarrowScreenSheets, MarginsKeptForAnAbsentColumnBecomeZeroOnItsSideAlone) {
    const std::vector<SideColumn> absent = {{"left", "230px", "div.gone"},
                                            {"right", "calc(2em + 10px)", "div.gone-too"}};
    const std::string css =
        "div.wrapper { margin: 0 0 0 230px; color: red }\n"
        "div.two { margin: 1em 230px !important }\n"
        "div.one { padding-left: 230PX; margin-left: 231px }\n"
        "div.other { margin-right: 230px; padding: 5px calc(2em  +  10px) }\n"
        "div.last{margin-left:230px}";
    const NarrowFit fit = FitSheetToNarrowScreens(css, absent);
    EXPECT_EQ(fit.Sheet,
              "div.wrapper { margin: 0 0 0 0; color: red }\n"
              "div.two { margin: 1em 230px 1em 0 !important }\n"
              "div.one { padding-left: 0; margin-left: 231px }\n"
              "div.other { margin-right: 230px; padding: 5px 0 5px calc(2em  +  10px) }\n"
              "div.last{margin-left:0}");
    EXPECT_EQ(fit.FreedMargins, 5u);
    EXPECT_EQ(fit.DroppedMinimumWidths, 0u);
}

TEST(NarrowScreenSheets, LargeMinimumWidthsGoAndSmallOrRelativeOnesStay) {
    const NarrowFit fit = FitSheetToNarrowScreens(
        "div.body { min-width: 360px; max-width: 800px }\n"
        "td { min-width: 20% } .button { min-width: 1in; } .box { MIN-WIDTH: 10em !important; "
        "color: blue }\n"
        ".last { color: red; min-width: 2in }",
        {});
    EXPECT_EQ(fit.Sheet,
              "div.body { max-width: 800px }\n"
              "td { min-width: 20% } .button { min-width: 1in; } .box { color: blue }\n"
              ".last { color: red; }");
    EXPECT_EQ(fit.DroppedMinimumWidths, 3u);
    EXPECT_EQ(fit.FreedMargins, 0u);
}

TEST(NarrowScreenSheets, ASheetWithNothingToFitStaysByteForByte) {
    const std::string css =
        "/* a comment { margin: 0 0 0 230px } */ p { margin: 0 0 0 230px; min-width: 50px }\n"
        "@font-face { font-family: X; src: url(x.woff) }\n@media print { body { min-width: 9in";
    const NarrowFit fit = FitSheetToNarrowScreens(css, {{"right", "230px", "div.gone"}});
    EXPECT_EQ(fit.Sheet, css.substr(0, css.find("min-width: 9in")));
    EXPECT_EQ(fit.DroppedMinimumWidths, 1u);  // in a sheet cut short, the last rule ends there
    EXPECT_EQ(FitSheetToNarrowScreens("", {}).Sheet, "");
}

}  // namespace
}  // namespace quirebook
