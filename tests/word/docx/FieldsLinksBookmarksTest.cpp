// Links, fields and bookmarks of a Word document in its filtered web page: hyperlinks to
// addresses and to bookmarks, HYPERLINK fields and cross-references, other fields by their
// result, bookmarks as named anchors, the entries of a table of contents.
#include <set>
#include <string>

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

TEST(FieldInstruction, NamesTheBookmarkOfCrossReferences) {
    auto reference = FieldCrossReference(" REF _Ref12 \\h ");
    ASSERT_TRUE(reference);
    EXPECT_FALSE(reference->PageNumber);
    EXPECT_EQ(reference->Bookmark, "_Ref12");
    reference = FieldCrossReference("noteref \"_Ref 3\" \\f \\h");
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->Bookmark, "_Ref 3");
    reference = FieldCrossReference(" PAGEREF _Toc7 \\h ");
    ASSERT_TRUE(reference);
    EXPECT_TRUE(reference->PageNumber);
    EXPECT_EQ(reference->Bookmark, "_Toc7");
    EXPECT_FALSE(FieldCrossReference(" REF \\h _Ref1 "));  // a switch is no bookmark
    EXPECT_FALSE(FieldCrossReference(" REF "));
    EXPECT_FALSE(FieldCrossReference(" REFERENCE _Ref1 "));
    EXPECT_FALSE(FieldCrossReference(" HYPERLINK \\l \"_Toc1\" "));

    // A field stack links a REF or NOTEREF field to a bookmark it knows, never a page number.
    const std::set<std::string> bookmarks = {"_Ref12", "_Toc7"};
    const FieldStack fields(&bookmarks);
    EXPECT_EQ(fields.LinkOf(" REF _Ref12 "), "#_Ref12");
    EXPECT_EQ(fields.LinkOf(" NOTEREF _Ref12 \\h "), "#_Ref12");
    EXPECT_EQ(fields.LinkOf(" REF _Unknown \\h "), "");
    EXPECT_EQ(fields.LinkOf(" PAGEREF _Toc7 \\h "), "");
    EXPECT_EQ(fields.LinkOf(" HYPERLINK \"http://a.org\" "), "http://a.org");
    EXPECT_EQ(FieldStack().LinkOf(" REF _Ref12 "), "");
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

TEST(FilteredWebPageFields, CrossReferencesLinkToTheBookmarksThePageWrites) {
    const std::string body = BodyOf(ConvertBody(
        "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"_Ref1\"/>" + TextRun("Target") +
        "<w:bookmarkEnd w:id=\"1\"/></w:p>"
        // A bookmark in deleted text is never written.
        "<w:p><w:del w:id=\"9\"><w:bookmarkStart w:id=\"2\" w:name=\"_Gone\"/><w:r><w:delText>"
        "old</w:delText></w:r></w:del></w:p><w:p>" +
        TextRun("See ") + Field(" REF _Ref1 \\h ", TextRun("Target")) + TextRun(", ") +
        Field(" REF _Ref1 \\* MERGEFORMAT ", TextRun("again", "<w:b/>")) + TextRun(", ") +
        Field(" REF _Missing \\h ", TextRun("missing")) + TextRun(", ") +
        Field(" REF _Gone \\h ", TextRun("deleted")) + TextRun(", ") +
        "<w:fldSimple w:instr=\" REF _Ref1 \\h \">" + TextRun("simple") + "</w:fldSimple>" +
        TextRun(", note ") + Field(" NOTEREF _Ref1 \\h ", TextRun("1")) + TextRun(", page ") +
        Field(" PAGEREF _Ref1 \\h ", TextRun("3")) + "</w:p>"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal><a name=\"_Ref1\">Target</a></p>"));
    EXPECT_THAT(body, HasSubstr("<p class=MsoNormal>See <a href=\"#_Ref1\">Target</a>, <a "
                                "href=\"#_Ref1\"><b>again</b></a>, missing, deleted, <a "
                                "href=\"#_Ref1\">simple</a>, note <a href=\"#_Ref1\">1</a>, page "
                                "3</p>"));
    EXPECT_THAT(body, Not(HasSubstr("_Gone")));
}

// A table of contents as Word makes it, with hyperlinks (\h) and without.
TEST(FilteredWebPageContents, EntriesLinkToTheirHeadingsWithoutPageNumbers) {
    const std::string styles = StylesPart(
        "<w:style w:type=\"paragraph\" w:styleId=\"TOC1\"><w:name w:val=\"toc 1\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Verzeichnis2\"><w:name w:val=\"toc 2\"/>"
        "</w:style><w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name "
        "w:val=\"heading 1\"/></w:style>");
    const std::string hidden = "<w:rPr><w:webHidden/></w:rPr>";
    const auto entry = [](const std::string& style, const std::string& content) {
        return "<w:p><w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>" + content + "</w:p>";
    };
    const auto heading = [](const std::string& bookmark, const std::string& text) {
        return "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:bookmarkStart w:id=\"" +
               bookmark + "\" w:name=\"" + bookmark + "\"/>" + TextRun(text) +
               "<w:bookmarkEnd w:id=\"" + bookmark + "\"/></w:p>";
    };
    const std::string body =
        entry("TOC1",
              "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> TOC \\o "
              "\"1-3\" \\h </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
              "<w:hyperlink w:anchor=\"_Toc1\">" +
                  TextRun("1") + "<w:r><w:tab/></w:r>" + TextRun("Introduction") + "<w:r>" +
                  hidden + "<w:tab/></w:r>" +
                  Field(" PAGEREF _Toc1 \\h ", "<w:r>" + hidden + "<w:t>16</w:t></w:r>") +
                  "</w:hyperlink>") +
        // Without hyperlinks the page number field names the heading.
        entry("Verzeichnis2", TextRun("1.1 Scope") + "<w:r><w:tab/></w:r>" +
                                  "<w:fldSimple w:instr=\" PAGEREF _Toc2 \\h \">" + TextRun("17") +
                                  "</w:fldSimple>") +
        entry("TOC1", TextRun("2 Lost") + "<w:r><w:tab/></w:r>" +
                          Field(" PAGEREF _Toc9 \\h ", TextRun("18"))) +
        "<w:p><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>" +
        heading("_Toc1", "Introduction") + heading("_Toc2", "Scope") + "<w:p>" +
        TextRun("See page ") + Field(" PAGEREF _Toc2 \\h ", TextRun("17")) + "<w:r><w:tab/></w:r>" +
        "</w:p>";
    const TempFolder folder;
    const std::string html = BodyOf(
        ConvertParts(folder, DocumentParts(body, Relationship("rIdStyles", "styles", "styles.xml"),
                                           {{"word/styles.xml", styles}}))
            .Html);
    EXPECT_THAT(html, HasSubstr("<p class=MsoToc1><a href=\"#_Toc1\">1&nbsp;&nbsp;&nbsp;&nbsp;"
                                "&nbsp;&nbsp;&nbsp; Introduction</a></p>"));
    EXPECT_THAT(html, HasSubstr("<p class=MsoToc2><a href=\"#_Toc2\">1.1 Scope</a></p>"));
    EXPECT_THAT(html, HasSubstr("<p class=MsoToc1>2 Lost</p>"));
    EXPECT_THAT(html, HasSubstr("<h1><a name=\"_Toc1\">Introduction</a></h1>"));
    // Elsewhere a page number and a tab are written as before.
    EXPECT_THAT(html, HasSubstr("<p class=MsoNormal>See page 17&nbsp;"));
    EXPECT_THAT(html, Not(HasSubstr("16")));
    EXPECT_THAT(html, Not(HasSubstr("18")));
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
