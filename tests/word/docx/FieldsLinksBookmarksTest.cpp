// Links, fields and bookmarks of a Word document in its filtered web page: hyperlinks to
// addresses and to bookmarks, HYPERLINK fields, other fields by their result, bookmarks as
// named anchors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/docx/FieldInstruction.h"
#include "word/docx/PageConversion.h"

namespace quirebook {
namespace {

using testing::BodyOf;
using testing::ConvertBody;
using testing::ConvertParts;
using testing::DocumentParts;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::Relationship;
using testing::StylesPart;
using testing::TempFolder;
using testing::TextRun;

std::string Field(const std::string& instruction, const std::string& result) {
    return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
           "xml:space=\"preserve\">" +
           instruction + "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
           result + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

TEST(FieldInstruction, GivesTheLinkOfHyperlinkFieldsOnly) {
    EXPECT_EQ(FieldLinkTarget(" HYPERLINK \"https://example.org/\" "), "https://example.org/");
    EXPECT_EQ(FieldLinkTarget("hyperlink \"https://example.org/\" \\l \"part\" \\o \"tip\""),
              "https://example.org/#part");
    EXPECT_EQ(FieldLinkTarget(" HYPERLINK \\l \"_Toc12\" "), "#_Toc12");
    EXPECT_EQ(FieldLinkTarget(" HYPERLINK \"C:\\\\docs\\\\a b.doc\" "), "C:\\docs\\a b.doc");
    EXPECT_EQ(FieldLinkTarget(" HYPERLINK \\o \"only a tip\" "), "");
    EXPECT_EQ(FieldLinkTarget(" PAGEREF _Toc12 \\h "), "");
    EXPECT_EQ(FieldLinkTarget(" REF _Ref1 \\r \\h "), "");
    EXPECT_EQ(FieldLinkTarget(""), "");
}

TEST(FieldStack, ShowsResultsOnlyAndKnowsTheInnermostLink) {
    FieldStack fields;
    fields.Begin();
    fields.AddInstruction(" HYPERLINK \"http://a.org\" ");
    EXPECT_TRUE(fields.InInstruction());
    fields.Separate();
    EXPECT_FALSE(fields.InInstruction());
    EXPECT_EQ(fields.Link(), "http://a.org");
    fields.Begin();  // a page number inside the link's result
    fields.AddInstruction(" PAGE ");
    EXPECT_TRUE(fields.InInstruction());
    fields.Separate();
    EXPECT_EQ(fields.Link(), "http://a.org");
    fields.End();
    fields.End();
    EXPECT_EQ(fields.Link(), "");
    fields.End();  // an end without a begin is ignored
    fields.Separate();
    EXPECT_FALSE(fields.InInstruction());
}

TEST(FilteredWebPageLinks, LinkToAddressesAndBookmarksWithoutTheHyperlinkStylesSpan) {
    const std::string styles = StylesPart(
        "<w:style w:type=\"character\" w:styleId=\"Hyperlink\"><w:name w:val=\"Hyperlink\"/><w:rPr>"
        "<w:color w:val=\"0563C1\"/><w:u w:val=\"single\"/></w:rPr></w:style>");
    const std::string relationships =
        Relationship("rIdStyles", "styles", "styles.xml") +
        Relationship("rIdSite", "hyperlink", "https://example.org/a?b=1&amp;c=2", true) +
        Relationship("rIdScript", "hyperlink", "javascript:alert(1)", true);
    const std::string hyperlinkStyle = "<w:rStyle w:val=\"Hyperlink\"/>";
    const TempFolder folder;
    const std::string html =
        ConvertParts(
            folder,
            DocumentParts(
                "<w:p><w:hyperlink r:id=\"rIdSite\">" + TextRun("site", hyperlinkStyle) +
                    "</w:hyperlink> <w:hyperlink w:anchor=\"_Toc1\">" +
                    TextRun("heading", hyperlinkStyle) +
                    "</w:hyperlink><w:hyperlink r:id=\"rIdScript\">" + TextRun(" script") +
                    "</w:hyperlink><w:hyperlink r:id=\"rIdMissing\">" + TextRun(" dangling ") +
                    "</w:hyperlink>" + TextRun("styled", hyperlinkStyle) + "</w:p>",
                relationships, {{"word/styles.xml", styles}}))
            .Html;
    const std::string body = BodyOf(html);
    EXPECT_THAT(
        body, HasSubstr("<p class=MsoNormal><a href=\"https://example.org/a?b=1&amp;c=2\">site</a>"
                        "<a href=\"#_Toc1\">heading</a> script dangling "
                        "<span class=MsoHyperlink>styled</span></p>"));
    EXPECT_THAT(html, HasSubstr("link=\"#0563C1\" vlink=purple"));
    EXPECT_THAT(
        html,
        HasSubstr("\na:link, span.MsoHyperlink\n\t{color:#0563C1;\n\ttext-decoration:underline;}"));
}

TEST(FilteredWebPageFields, ShowTheirResultsAndHyperlinkFieldsLink) {
    const std::string body = BodyOf(ConvertBody(
        "<w:p>" + Field(" HYPERLINK \"http://x.org/\" \\l \"part\" ", TextRun("field link")) +
        TextRun(" page ") + Field(" PAGEREF _Toc1 \\h ", TextRun("7")) + TextRun(" none") +
        "<w:r><w:fldChar w:fldCharType=\"begin\"/>"
        "<w:instrText> DATE </w:instrText><w:fldChar w:fldCharType=\"end\"/></w:r>" +
        "<w:fldSimple w:instr=\" HYPERLINK &quot;https://simple.org&quot; \">" +
        TextRun(" simple") + "</w:fldSimple>" + Field(" TOC \\o \"1-3\" ", "") + "</w:p>" +
        // A field's result may run over paragraphs: its link goes with it.
        "<w:p>" +
        Field(" HYPERLINK \"http://long.org\" ",
              TextRun("first") + "</w:p><w:p>" + TextRun("second")) +
        TextRun(" after") + "</w:p>"));
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoNormal><a href=\"http://x.org/#part\">field link</a> page 7 "
                          "none<a href=\"https://simple.org\"> simple</a></p>"));
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoNormal><a href=\"http://long.org\">first</a></p>\n\n"
                          "<p class=MsoNormal><a href=\"http://long.org\">second</a> after</p>"));
    EXPECT_THAT(body, Not(HasSubstr("HYPERLINK")));
    EXPECT_THAT(body, Not(HasSubstr("DATE")));
}

TEST(FilteredWebPageBookmarks, AreNamedAnchorsAroundTheirText) {
    const std::string body = BodyOf(ConvertBody(
        "<w:p><w:bookmarkStart w:id=\"0\" w:name=\"_Toc1\"/><w:bookmarkStart w:id=\"1\" "
        "w:name=\"_Ref2\"/>" +
        TextRun("Heading") + "<w:bookmarkEnd w:id=\"1\"/><w:bookmarkEnd w:id=\"0\"/>" +
        TextRun(" rest") +
        "<w:bookmarkStart w:id=\"2\" w:name=\"_GoBack\"/><w:bookmarkEnd w:id=\"2\"/></w:p>"
        "<w:bookmarkStart w:id=\"3\" w:name=\"between\"/><w:p>" +
        TextRun("Next") +
        "</w:p>"
        "<w:p><w:hyperlink w:anchor=\"_Toc1\"><w:bookmarkStart w:id=\"4\" w:name=\"inside\"/>" +
        TextRun("link") + "</w:hyperlink></w:p><w:p>" + TextRun("bold ", "<w:b/>") +
        "<w:bookmarkStart w:id=\"5\" w:name=\"mid\"/>" + TextRun("more", "<w:b/>") +
        "<w:bookmarkEnd w:id=\"5\"/>" + TextRun(" done", "<w:b/>") + "</w:p>"));
    EXPECT_THAT(
        body,
        HasSubstr(
            "<p class=MsoNormal><a name=\"_Toc1\"></a><a name=\"_Ref2\">Heading</a> rest</p>"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal><a name=between>Next</a></p>"));
    // Anchors do not nest: a bookmark inside a link follows it.
    EXPECT_THAT(body,
                HasSubstr("<p class=MsoNormal><a href=\"#_Toc1\">link</a><a name=inside></a></p>"));
    // Nor do anchors and the markup of runs overlap.
    EXPECT_THAT(
        body,
        HasSubstr("<p class=MsoNormal><b>bold </b><a name=mid><b>more</b></a><b> done</b></p>"));
    EXPECT_THAT(body, Not(HasSubstr("_GoBack")));
}

}  // namespace
}  // namespace quirebook
