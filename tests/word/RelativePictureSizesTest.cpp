// Pictures of Word pages sized as shares of the width they stand in: the text width of each
// section's page, a table cell's width, the VML shape a fallback image stands for, and what is
// left alone.
#include "word/RelativePictureSizes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quirebook {
namespace {

using ::testing::HasSubstr;

// A page with Word's page rules for two sections (Letter with one-inch margins, 468pt of text;
// A4 across with half-inch margins, 769.9pt) around `body`.
std::string Page(const std::string& body) {
    return "<html><head><style>\n<!--\n@page WordSection1\n\t{size:8.5in 11.0in;\n\t"
           "margin:1.0in 1.0in 1.0in 1.0in;\n\tmso-header-margin:.5in;}\ndiv.WordSection1\n\t"
           "{page:WordSection1;}\n@page WordSection2\n\t{size:841.9pt 595.3pt;\n\t"
           "mso-page-orientation:landscape;\n\tmargin:36.0pt 1.27cm;}\n-->\n</style></head>"
           "<body>" +
           body + "</body></html>";
}

std::string BodyOf(const std::string& page) {
    const std::size_t start = page.find("<body>") + 6;
    return page.substr(start, page.find("</body>") - start);
}

TEST(WithRelativePictureSizes, GivesEachPictureItsShareOfItsSectionsTextWidth) {
    const std::string body =
        "<div class=WordSection1><p><img width=312 height=20 src=\"a_files/image001.png\" "
        "alt=x></p><p><IMG WIDTH=\"1\" SRC=\"a_files/image002.png\"/>"
        "<img width=900 height=300 src=\"a_files/image003.png\"></p>"
        // A pixel stretched into a rule keeps Word's proportions.
        "<p><img width=624 height=1 src=\"a_files/image004.gif\"></p></div>"
        "<br clear=all style='page-break-before:always'>"
        "<div class=\"WordSection2\"><p><img width=312 height=20 src=\"a_files/image001.png\">"
        "</p></div>";
    EXPECT_EQ(BodyOf(WithRelativePictureSizes(Page(body))),
              // 234pt of 468pt; a pixel of 468pt; 675pt is wider than the text.
              "<div class=WordSection1><p><img src=\"a_files/image001.png\" alt=x "
              "style=\"width:50%;aspect-ratio:234/15\"></p><p><IMG "
              "SRC=\"a_files/image002.png\" style=\"width:0.16%\"/><img "
              "src=\"a_files/image003.png\" style=\"width:100%;aspect-ratio:675/225\"></p>"
              "<p><img src=\"a_files/image004.gif\" style=\"width:100%;aspect-ratio:468/0.75\">"
              "</p></div>"
              "<br clear=all style='page-break-before:always'>"
              // 234pt of 841.9pt less 1.27cm on either side.
              "<div class=\"WordSection2\"><p><img src=\"a_files/image001.png\" "
              "style=\"width:30.4%;aspect-ratio:234/15\"></p></div>");
}

TEST(WithRelativePictureSizes, ReadsTheSizeWordGaveThePicture) {
    // The fallback image of a VML shape has the shape's size, whatever its pixels say (Word
    // writes them for screens of other densities); a style's size wins over the attributes,
    // and the style's other declarations but Word's own stay.
    const std::string body =
        "<p><!--[if gte vml 1]><v:shape id=\"Picture_x0020_1\" o:spid=\"_x0000_i1025\"\n"
        " type=\"#_x0000_t75\" style='width:117pt;height:50pt;visibility:visible'>\n"
        " <v:imagedata src=\"a_files/image001.png\" o:title=\"\"/></v:shape><![endif]--><![if "
        "!vml]><img width=312 height=134 src=\"a_files/image002.png\" "
        "v:shapes=\"Picture_x0020_1\"><![endif]></p>"
        "<p><img width=20 height=20 style='width:1.17in;mso-wrap-style:square;height:1.0in;"
        "border:solid \"x\"' "
        "src=b.png></p>"
        // A shape with no fallback is made an image of the shape's size.
        "<p><v:shape style='width:4.5in;height:1in'><v:imagedata src=\"c.png\" "
        "o:title=\"C\"/></v:shape></p>";
    EXPECT_EQ(BodyOf(WithRelativePictureSizes(Page(body))),
              "<p><!--[if gte vml 1]><v:shape id=\"Picture_x0020_1\" o:spid=\"_x0000_i1025\"\n"
              " type=\"#_x0000_t75\" style='width:117pt;height:50pt;visibility:visible'>\n"
              " <v:imagedata src=\"a_files/image001.png\" o:title=\"\"/></v:shape><![endif]-->"
              "<![if !vml]><img src=\"a_files/image002.png\" v:shapes=\"Picture_x0020_1\" "
              "style=\"width:25%;aspect-ratio:117/50\"><![endif]></p>"
              "<p><img src=b.png style=\"width:18%;aspect-ratio:84.24/72;border:solid 'x'\"></p>"
              "<p><img src=\"c.png\" alt=\"C\" style=\"width:69.2%;aspect-ratio:324/72\"></p>");
}

TEST(WithRelativePictureSizes, InATableCellTakesItsShareOfTheCell) {
    const std::string body =
        "<table style='width:468pt'><tr><td width=312 style='width:234pt;padding:0in 5.4pt'>"
        "<img width=156 src=a.png></td>"
        // A cell's percentage is of its table; a cell without a width leaves the text width.
        "<td width=\"25%\"><img width=156 src=b.png></td><td>"
        "<img width=156 src=c.png>"
        // A table in a cell of its own.
        "<table><tr><td style='width:1.0in'><img width=48 src=d.png></td></tr>"
        "</table></td></tr></table><p><img width=156 src=e.png></p>";
    EXPECT_EQ(BodyOf(WithRelativePictureSizes(Page(body))),
              "<table style='width:468pt'><tr><td width=312 style='width:234pt;padding:0in "
              "5.4pt'><img src=a.png style=\"width:50%\"></td><td width=\"25%\"><img src=b.png "
              "style=\"width:100%\"></td><td><img src=c.png style=\"width:25%\"><table><tr><td "
              "style='width:1.0in'><img src=d.png style=\"width:50%\"></td></tr></table></td>"
              "</tr></table><p><img src=e.png style=\"width:25%\"></p>");
}

TEST(WithRelativePictureSizes, LeavesPicturesWithoutASizeAndWhatIsNoPicture) {
    const std::string body =
        "<p><img src=a.png alt=\"no size\"><img height=40 src=b.png></p>"
        "<!-- <img width=100 src=c.png> --><script>var s = '<img width=1 src=d.png>';</script>"
        "<p>2 &lt;img width=3&gt;</p><p><img style=\"width:99999in\" src=e.png></p>";
    EXPECT_EQ(BodyOf(WithRelativePictureSizes(Page(body))), body);
    // A page without page rules has Word's default text width; a "<" that opens no tag is text.
    EXPECT_THAT(WithRelativePictureSizes("<p>2 < 3 <img width=312 src=a.png>"),
                HasSubstr("<p>2 < 3 <img src=a.png style=\"width:50%\">"));
    // Page rules of another kind of name, and a page size that cannot be read.
    EXPECT_THAT(WithRelativePictureSizes("<style>@page Section1 {size:Letter; margin:1in 1.5in}"
                                         "</style><div class=Section1><img width=264 src=a.png>"),
                HasSubstr("style=\"width:50%\""));
}

}  // namespace
}  // namespace quirebook
