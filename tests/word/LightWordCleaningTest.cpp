#include "word/LightWordCleaning.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "css/StyleText.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing::TempFolder;

const std::string kWordHead =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\r\n<head>\r\n"
    "<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
    "<meta name=Generator content=\"Microsoft Word 15\">\r\n"
    "<style>\r\n<!--\r\n /* Style Definitions */\r\n p.MsoNormal\r\n\t{margin:0cm;}\r\n-->\r\n"
    "</style>\r\n</head>\r\n";

TEST(SimpleClean, StripsFormattingMarkupAndComments) {
    std::string text = kWordHead +
                       "<body lang=EN-US style='tab-interval:36.0pt'>\r\n"
                       "<p class=MsoNormal><span lang=FR style='color:red'>Un   mot</span>"
                       "<o:p></o:p></p>\r\n\r\n  \r\n"
                       "<!--[if gte vml 1]><v:shape>x</v:shape><![endif]--><![if !vml]>"
                       "<img src=a.png><![endif]>\r\n"
                       "<table><tr><td valign=top>c</td></tr></table>\r\n"
                       "<pre>if x:\r\n    y = 1</pre>"
                       "<p class=MsoNormal>&nbsp; &nbsp;</p></body></html>";
    SimpleClean(text);
    EXPECT_THAT(text, Not(HasSubstr("<!--")));
    EXPECT_THAT(text, Not(HasSubstr("MsoNormal\r\n\t{")));  // the definitions went too
    EXPECT_THAT(text, Not(HasSubstr("lang=")));
    EXPECT_THAT(text, HasSubstr("<body>\r\n<p class=MsoNormal>Un mot</p>\r\n<img src=a.png>"));
    EXPECT_THAT(text, HasSubstr("<td>c</td>"));
    // Preformatted text keeps its indentation; the empty paragraph becomes a line break.
    EXPECT_THAT(text, HasSubstr("</table>\r\n<pre>if x:\r\n    y = 1</pre><br></body>"));
}

TEST(SimpleClean, LeavesAStyleBlockForTheBookStyleSheet) {
    std::string text = kWordHead + "<body><p>a</p></body></html>";
    SimpleClean(text);
    // Word's own block is gone with its comment; the cell rule stands as the definitions.
    EXPECT_EQ(ExtractStyleBlock(text), "\n/* Style Definitions */\ntd{vertical-align:top;}");
}

TEST(SimpleClean, KeepsTheTextAfterAStrayConditionalEnd) {
    // A page edited by hand after Word saved it: an end marker without its comment start.
    std::string text = kWordHead +
                       "<![endif]-->\r\n</head><body><p>first words</p>"
                       "<![if !mso]><p>second</p><![endif]></body></html>";
    SimpleClean(text);
    EXPECT_THAT(text, HasSubstr("<body><p>first words</p><p>second</p></body>"));
}

TEST(SimpleCleanFile, CleansWordPagesAndLeavesOthersUntouched) {
    TempFolder folder;
    const std::string word = folder / "word.htm";
    SaveTextFile(word, kWordHead + "<body><p><span>a</span></p></body></html>");
    EXPECT_TRUE(SimpleCleanFile(word));
    EXPECT_THAT(LoadTextFile(word), HasSubstr("<body><p>a</p></body>"));

    const std::string other = folder / "other.htm";
    const std::string page = "<html><head><title>x</title></head><body><p>a</p></body></html>";
    SaveTextFile(other, page);
    EXPECT_FALSE(SimpleCleanFile(other));
    EXPECT_EQ(LoadTextFile(other), page);
    EXPECT_FALSE(SimpleCleanFile(folder / "missing.htm"));
}

}  // namespace
}  // namespace quirebook
