// Footnotes and endnotes of a Word document in its filtered web page: references numbered in
// the order they are met, and the note area after the last section as Word writes it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/docx/PageConversion.h"

namespace quirebook {
namespace {

using testing::ConvertParts;
using testing::DocumentParts;
using ::testing::HasSubstr;
using testing::kWordNamespaces;
using ::testing::Not;
using testing::Relationship;
using testing::TempFolder;

std::string Note(const std::string& element, const std::string& id, const std::string& text) {
    const std::string mark = element == "w:footnote" ? "<w:footnoteRef/>" : "<w:endnoteRef/>";
    return "<" + element + " w:id=\"" + id + "\"><w:p><w:r>" + mark +
           "</w:r><w:r><w:t xml:space=\"preserve\"> " + text + "</w:t></w:r></w:p></" + element +
           ">";
}

std::string Reference(const std::string& element, const std::string& id) {
    return "<w:r><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr><" + element + " w:id=\"" + id +
           "\"/></w:r>";
}

TEST(FilteredWebPageNotes, AreNumberedByReferenceAndWrittenAfterTheLastSection) {
    const std::string footnotes = "<w:footnotes " + kWordNamespaces +
                                  "><w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:r>"
                                  "<w:separator/></w:r></w:p></w:footnote>" +
                                  Note("w:footnote", "1", "First written.") +
                                  Note("w:footnote", "2", "Referred to first.") + "</w:footnotes>";
    const std::string endnotes = "<w:endnotes " + kWordNamespaces + ">" +
                                 Note("w:endnote", "1", "At the end.") + "</w:endnotes>";
    const std::string body =
        "<w:p><w:r><w:t>One</w:t></w:r>" + Reference("w:footnoteReference", "2") +
        "<w:r><w:t>two</w:t></w:r>" + Reference("w:footnoteReference", "1") +
        Reference("w:footnoteReference", "2") + Reference("w:footnoteReference", "77") +
        Reference("w:endnoteReference", "1") + "</w:p>";
    const TempFolder folder;
    const auto page = ConvertParts(
        folder,
        DocumentParts(body,
                      Relationship("rIdF", "footnotes", "footnotes.xml") +
                          Relationship("rIdE", "endnotes", "endnotes.xml"),
                      {{"word/footnotes.xml", footnotes}, {"word/endnotes.xml", endnotes}}));
    EXPECT_EQ(page.Counts.Footnotes, 2);
    EXPECT_EQ(page.Counts.Endnotes, 1);
    const std::string& html = page.Html;
    EXPECT_THAT(
        html,
        HasSubstr("<p class=MsoNormal>One<a href=\"#_ftn1\" name=\"_ftnref1\" title=\"\"><span "
                  "class=MsoFootnoteReference><sup>[1]</sup></span></a>two<a href=\"#_ftn2\" "
                  "name=\"_ftnref2\" "
                  "title=\"\"><span class=MsoFootnoteReference><sup>[2]</sup></span></a>"
                  // A second reference to a note links to it without naming itself again.
                  "<a href=\"#_ftn1\" title=\"\"><span "
                  "class=MsoFootnoteReference><sup>[1]</sup></span></a>"
                  "<a href=\"#_edn1\" name=\"_ednref1\" title=\"\"><span "
                  "class=MsoEndnoteReference><sup>[i]</sup>"
                  "</span></a></p>\n\n</div>\n\n"));
    EXPECT_THAT(
        html,
        HasSubstr(
            "</div>\n\n<div><br clear=all>\n\n<hr align=left size=1 width=\"33%\">\n\n<div "
            "id=ftn1>\n\n"
            "<p class=MsoNormal><a href=\"#_ftnref1\" name=\"_ftn1\" title=\"\"><span "
            "class=MsoFootnoteReference>[1]</span></a> Referred to first.</p>\n\n</div>\n\n<div "
            "id=ftn2>"
            "\n\n<p class=MsoNormal><a href=\"#_ftnref2\" name=\"_ftn2\" title=\"\"><span "
            "class=MsoFootnoteReference>[2]</span></a> First written.</p>\n\n</div>\n\n</div>\n\n"
            "<div><br clear=all>\n\n<hr align=left size=1 width=\"33%\">\n\n<div id=edn1>\n\n"));
    EXPECT_THAT(html, HasSubstr("\nspan.MsoFootnoteReference\n\t{vertical-align:super;}"));
    EXPECT_THAT(html, Not(HasSubstr("_ftn3")));
}

TEST(FilteredWebPageNotes, FollowTheNumberFormatOfTheSettings) {
    const std::string settings =
        "<w:settings " + kWordNamespaces +
        "><w:endnotePr><w:numFmt w:val=\"decimal\"/><w:numStart w:val=\"3\"/>"
        "</w:endnotePr></w:settings>";
    const std::string endnotes =
        "<w:endnotes " + kWordNamespaces + ">" + Note("w:endnote", "5", "Later.") + "</w:endnotes>";
    const TempFolder folder;
    const std::string html =
        ConvertParts(
            folder,
            DocumentParts("<w:p>" + Reference("w:endnoteReference", "5") + "</w:p>",
                          Relationship("rIdE", "endnotes", "endnotes.xml") +
                              Relationship("rIdS", "settings", "settings.xml"),
                          {{"word/endnotes.xml", endnotes}, {"word/settings.xml", settings}}))
            .Html;
    EXPECT_THAT(html, HasSubstr("<sup>[3]</sup>"));
    EXPECT_THAT(html, HasSubstr("[3]</span></a> Later.</p>"));
}

}  // namespace
}  // namespace quirebook
