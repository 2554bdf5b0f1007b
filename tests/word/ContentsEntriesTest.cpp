// Entries of Word's table of contents in pages Word wrote: the page numbers and tab leaders Word
// hides from the web view go, through both cleaners, and nothing else does.
#include "word/ContentsEntries.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/LightWordCleaning.h"
#include "word/WordHtmlCleaner.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(DropContentsPageNumbers, DropsTheHiddenSpansOfContentsEntriesOnly) {
    std::string page =
        // As Word 2013 writes an entry (a real page's, its lines joined).
        "<p class=MsoToc1><a href=\"#_Toc13413973\">1<span style='font-size:11.0pt'>   </span>"
        "Introduction<span style='color:windowtext;display:none'>. </span><span "
        "style='color:windowtext; display:none'>16</span></a></p>\n"
        // Unfiltered: the number's span holds Word's data in a comment and a nested span.
        "<p class=\"MsoToc2\" style='tab-stops:right dotted 481.4pt'><a href=\"#_Toc2\"><span>"
        "Installation</span><span style='color:windowtext;DISPLAY: NONE'><span>. </span></span>"
        "<span style='display:none'>3<!--[if gte mso 9]><xml><span></xml><![endif]--></span>"
        "</a><span style='font-size:11.0pt'>tail</span></p>\n"
        // Hidden text elsewhere is the document's and stays; so do other classes' paragraphs.
        "<p class=MsoNormal>Body<span style='display:none'>hidden</span></p>\n"
        "<p class=MsoTocHeading>Contents<span style='display:none'>x</span></p>\n"
        "<p class=MsoToc10>Ten<span style='display:none'>10</span></p>";
    DropContentsPageNumbers(page);
    EXPECT_THAT(page, HasSubstr("<p class=MsoToc1><a href=\"#_Toc13413973\">1<span "
                                "style='font-size:11.0pt'>   </span>Introduction</a></p>\n"));
    EXPECT_THAT(page, HasSubstr("<a href=\"#_Toc2\"><span>Installation</span></a><span "
                                "style='font-size:11.0pt'>tail</span></p>\n"));
    EXPECT_THAT(page, HasSubstr("Body<span style='display:none'>hidden</span>"));
    EXPECT_THAT(page, HasSubstr("Contents<span style='display:none'>x</span>"));
    EXPECT_THAT(page, HasSubstr("Ten<span style='display:none'>10</span>"));

    // A hidden span that never closes is left as it stands.
    std::string cut = "<p class=MsoToc1>A<span style='display:none'>9</p>";
    DropContentsPageNumbers(cut);
    EXPECT_EQ(cut, "<p class=MsoToc1>A<span style='display:none'>9</p>");
}

TEST(DropContentsPageNumbers, BothCleanersLeaveEntriesWithoutPageNumbers) {
    const std::string page =
        "<html>\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; "
        "charset=utf-8\">\r\n<meta name=Generator content=\"Microsoft Word 15\">\r\n<style>\r\n"
        "<!--\r\n /* Style Definitions */\r\n p.MsoToc1\r\n\t{margin:0cm;}\r\n-->\r\n</style>\r\n"
        "</head>\r\n<body lang=EN-US>\r\n"
        "<p class=MsoToc1 style='tab-stops:right dotted 481.4pt'><a\r\nhref=\"#_Toc396002439\">"
        "<span style='mso-no-proof:yes'>Installation</span><span\r\nstyle='color:windowtext;\r\n"
        "display:none;mso-hide:screen;mso-no-proof:yes'><span style='mso-tab-count:1 dotted'>. "
        "</span></span><!--[if supportFields]><span\r\nstyle='color:windowtext;display:none'>"
        "<span style='mso-element:field-begin'></span>\r\n PAGEREF _Toc396002439 \\h <span "
        "style='mso-element:field-separator'></span></span><![endif]--><span\r\n"
        "style='color:windowtext;display:none;mso-hide:screen'>37<!--[if gte mso 9]><xml>\r\n"
        "  <w:data>08D0C9EA</w:data>\r\n </xml><![endif]--></span></a></p>\r\n"
        "<h1><a name=\"_Toc396002439\">Installation</a></h1>\r\n</body>\r\n</html>\r\n";
    const std::optional<std::string> cleaned = CleanWordHtml(page, OptionFlags{});
    ASSERT_TRUE(cleaned);
    EXPECT_THAT(*cleaned,
                HasSubstr("<a href=\"#_Toc396002439\"><span>Installation</span></a></p>"));
    EXPECT_THAT(*cleaned, Not(HasSubstr("37")));

    std::string light = page;
    SimpleClean(light);
    EXPECT_THAT(light, HasSubstr("href=\"#_Toc396002439\">Installation</a></p>"));
    EXPECT_THAT(light, Not(HasSubstr("37")));
    EXPECT_THAT(light, Not(HasSubstr(". </a>")));
}

}  // namespace
}  // namespace quirebook
