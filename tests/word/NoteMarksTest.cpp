// Note marks of Word pages raised once: the raising Word writes inside note links (reference
// classes, nested spans, sup elements, vertical-align) goes, and a note's own mark gets one sup,
// through both cleaners.
#include "word/NoteMarks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/LightWordCleaning.h"
#include "word/WordHtmlCleaner.h"

namespace quirebook {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(RaiseNoteMarksOnce, LeavesOneRaisingInEachNoteLink) {
    std::string page =
        // An endnote reference as Word writes it: the class twice and a superscript run.
        "<p>text<a href=\"#_edn1\" name=\"_ednref1\" title=\"\"><span class=MsoEndnoteReference>"
        "<span class=MsoEndnoteReference><b><sup>[1]</sup></b></span></span></a> more "
        // A footnote reference raised by its style attribute, the class quoted.
        "<a href='#_ftn12' name='_ftnref12'><span class=\"MsoFootnoteReference\" "
        "style='font-size:9pt;vertical-align: super'>[12]</span></a></p>"
        // The notes' own marks, leading back to their references.
        "<p class=MsoEndnoteText><a href=\"#_ednref1\" name=\"_edn1\" title=\"\"><span "
        "class=MsoEndnoteReference><span style='vertical-align:super'>[1]</span></span></a> "
        "Note.</p>"
        "<p><a href=\"#_ftnref12\" name=\"_ftn12\">[12]</a> Other.</p>"
        // A tag broken over lines, whose first attribute a cleaner took away.
        "<p>x<a\r\n href=\"#_edn3\"\r\nname=\"_ednref3\"><b>[3]</b></a></p>"
        // Links that are no notes' keep their markup.
        "<p><a href=\"#_ednote\"><sup>x</sup></a><a href=\"#_Toc1\"><span "
        "class=MsoEndnoteReference>y</span></a><sup>2</sup></p>";
    RaiseNoteMarksOnce(page);
    EXPECT_THAT(page, HasSubstr("text<a href=\"#_edn1\" name=\"_ednref1\" title=\"\"><span><span>"
                                "<b>[1]</b></span></span></a> more "));
    EXPECT_THAT(page, HasSubstr("<a href='#_ftn12' name='_ftnref12'><span "
                                "style='font-size:9pt;'>[12]</span></a></p>"));
    EXPECT_THAT(page, HasSubstr("<a href=\"#_ednref1\" name=\"_edn1\" title=\"\"><sup><span>"
                                "<span>[1]</span></span></sup></a> Note."));
    EXPECT_THAT(page, HasSubstr("<a href=\"#_ftnref12\" name=\"_ftn12\"><sup>[12]</sup></a>"));
    EXPECT_THAT(page, HasSubstr("x<a href=\"#_edn3\" name=\"_ednref3\"><b>[3]</b></a>"));
    EXPECT_THAT(page, HasSubstr("<a href=\"#_ednote\"><sup>x</sup></a><a href=\"#_Toc1\"><span "
                                "class=MsoEndnoteReference>y</span></a><sup>2</sup>"));
}

// A page as Word 2013 writes endnotes (from a real page), through each cleaner.
const std::string kEndnotePage =
    "<html>\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
    "<meta name=Generator content=\"Microsoft Word 15\">\r\n<style>\r\n<!--\r\n"
    " /* Style Definitions */\r\n p.MsoNormal\r\n\t{margin:0cm;}\r\n"
    "span.MsoEndnoteReference\r\n\t{mso-style-priority:99;\r\n\tvertical-align:super;}\r\n"
    "-->\r\n</style>\r\n</head>\r\n<body lang=ES>\r\n"
    "<p class=MsoNormal><i>sentido<a style='mso-endnote-id:\r\nedn1' href=\"#_edn1\" "
    "name=\"_ednref1\" title=\"\"><span\r\nclass=MsoEndnoteReference><span "
    "style='mso-special-character:footnote'><![if !supportFootnotes]><span\r\n"
    "class=MsoEndnoteReference><b style='mso-bidi-font-weight:normal'><span\r\n"
    "style='font-size:12.0pt'>[1]</span></b></span><![endif]></span></span></a></i></p>\r\n"
    "<div style='mso-element:endnote-list'>\r\n<div style='mso-element:endnote' id=edn1>\r\n"
    "<p class=MsoEndnoteText><a style='mso-endnote-id:\r\nedn1' href=\"#_ednref1\" "
    "name=\"_edn1\" title=\"\"><span class=MsoEndnoteReference><span\r\n"
    "style='font-size:9.0pt'><span style='mso-special-character:footnote'><![if "
    "!supportFootnotes]><span\r\nclass=MsoEndnoteReference>[1]</span><![endif]></span></span>"
    "</span></a> Aquí.</p>\r\n</div>\r\n</div>\r\n</body>\r\n</html>\r\n";

// How many raisings enclose the label `label` in `page`: sup elements and elements of the
// endnote reference class, which the page's style raises.
int Raisings(const std::string& page, const std::string& label) {
    const std::size_t at = page.find(label);
    int raised = 0;
    for (std::size_t tag = page.rfind("<a ", at); tag < at; tag = page.find('<', tag + 1)) {
        const std::string_view rest = std::string_view(page).substr(tag);
        const bool raising =
            rest.starts_with("<sup") ||
            (rest.substr(0, rest.find('>')).find("MsoEndnoteReference") != std::string_view::npos);
        if (!raising) continue;
        // Raising that closed before the label does not hold it.
        const std::string closing = rest.starts_with("<sup") ? "</sup>" : "</span>";
        if (page.find(closing, tag) > at) ++raised;
    }
    return raised;
}

TEST(RaiseNoteMarksOnce, BothCleanersRaiseAWordPagesNoteMarksOnce) {
    const std::optional<std::string> cleaned = CleanWordHtml(kEndnotePage, OptionFlags{});
    ASSERT_TRUE(cleaned);
    // The reference gets its sup when the chapter is finished; the note's mark has it now.
    const std::size_t note = cleaned->find("href=\"#_ednref1\"");
    ASSERT_NE(note, std::string::npos);
    EXPECT_EQ(Raisings(cleaned->substr(0, note), "[1]"), 0) << *cleaned;
    EXPECT_EQ(Raisings(cleaned->substr(note - 3), "[1]"), 1) << *cleaned;
    EXPECT_THAT(*cleaned, Not(HasSubstr("MsoEndnoteReference")));

    std::string light = kEndnotePage;
    SimpleClean(light);
    const std::size_t lightNote = light.find("href=\"#_ednref1\"");
    ASSERT_NE(lightNote, std::string::npos);
    EXPECT_EQ(Raisings(light.substr(0, lightNote), "[1]"), 0) << light;
    EXPECT_EQ(Raisings(light.substr(lightNote - 3), "[1]"), 1) << light;
}

}  // namespace
}  // namespace quirebook
