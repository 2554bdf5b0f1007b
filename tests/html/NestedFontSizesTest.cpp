// Tests of nested font sizes: a size set inside another sized element is written as a quotient of
// the size around it, so that it shows as the document gives it; everything else stays as it was.
#include "html/NestedFontSizes.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

// Word's style sheet for a document with 12-point body text: Heading 1 at 16 pt, a 14-point
// character style, an 8-point note class.
constexpr const char* kSheet =
    "p.MsoNormal {font-size:1em}\n"
    "h1 {font-size:1.33em; font-weight:bold}\n"
    "span.Big {font-size:1.17em}\n"
    ".Note {font:italic 0.667em/1.2 serif}\n"
    "@media print { span.Big {font-size:3em} }\n";

TEST(NestedFontSizes, ASizeInsideASizedElementIsWrittenAgainstIt) {
    // 14 pt inside the 16-point heading: 1.17 / 1.33 of the heading's size.
    EXPECT_EQ(WithNestedFontSizes("<h1>Title <span class=Big>big</span></h1>", kSheet),
              "<h1>Title <span style=\"font-size:0.88em\" class=Big>big</span></h1>");
    // An existing style attribute keeps its declarations, and the size is added last, so that
    // it wins over a size the attribute already had.
    EXPECT_EQ(WithNestedFontSizes(
                  "<h1><span class=Big style='color:red;font-size:1.17em'>x</span></h1>", kSheet),
              "<h1><span class=Big style=\"color:red;font-size:1.17em;font-size:0.88em\">x</span>"
              "</h1>");
    // The size given by the "font" shorthand nests as well, and deeper levels each take the
    // level around them.
    EXPECT_EQ(
        WithNestedFontSizes("<h1><span class=Note>n <span class=Big>b</span></span></h1>", kSheet),
        "<h1><span style=\"font-size:0.502em\" class=Note>n <span style=\"font-size:1.75em\" "
        "class=Big>b</span></span></h1>");
}

TEST(NestedFontSizes, WhatDoesNotNestStaysByteForByte) {
    // Sizes at the body text's level, absolute sizes and keywords, rules under a condition.
    for (const char* body : {
             "<p class=MsoNormal><span class=Big>big</span></p>",
             "<h1><span style='font-size:14pt'>points</span> <span "
             "style='font-size:larger'>k</span></h1>",
             "<p><span class=Big>big</span></p>",
         })
        EXPECT_EQ(WithNestedFontSizes(body, kSheet), body) << body;
    // A page whose sheet sets no relative size other than the body text's is left alone.
    const std::string body = "<h1><span class=Big>x</span></h1>";
    EXPECT_EQ(WithNestedFontSizes(body, "p {font-size:1em} h1 {color:red}"), body);
}

TEST(NestedFontSizes, TheCascadeDecidesWhichSizeAnElementHas) {
    // An inline size wins over the class's; an important rule wins over the inline size and
    // keeps its importance.
    EXPECT_EQ(
        WithNestedFontSizes("<h1><span class=Big style='font-size:0.5em'>x</span></h1>", kSheet),
        "<h1><span class=Big style=\"font-size:0.5em;font-size:0.376em\">x</span></h1>");
    EXPECT_EQ(WithNestedFontSizes("<h1><b style='font-size:0.5em'>x</b></h1>",
                                  "h1 {font-size:2em} b {font-size:1.5em !important}"),
              "<h1><b style=\"font-size:0.5em;font-size:0.75em !important\">x</b></h1>");
}

}  // namespace
}  // namespace quirebook
