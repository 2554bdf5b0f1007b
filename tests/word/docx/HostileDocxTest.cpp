// Documents from outside that are damaged or built to hurt: missing and broken parts, dangling
// references, style and list definitions that loop or overflow. The page is written or a clear
// WordDocumentError names the document; nothing crashes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "word/docx/DocxPackage.h"
#include "word/docx/PageConversion.h"

namespace quirebook {
namespace {

using testing::BodyOf;
using testing::ConvertParts;
using testing::DocumentParts;
using ::testing::HasSubstr;
using testing::kWordNamespaces;
using testing::Relationship;
using testing::StylesPart;
using testing::TempFolder;

const std::string kParagraph =
    "<w:p><w:pPr><w:pStyle w:val=\"Loop\"/><w:numPr><w:ilvl w:val=\"99\"/>"
    "<w:numId w:val=\"1\"/></w:numPr></w:pPr><w:r><w:rPr><w:sz w:val=\"-4\"/>"
    "<w:rStyle w:val=\"Nowhere\"/></w:rPr><w:t>Survivor</w:t></w:r></w:p>";

TEST(HostileDocuments, WithLoopingStylesAndListsOutOfBoundsStillMakeAPage) {
    const std::string styles = StylesPart(
        "<w:style w:type=\"paragraph\" w:styleId=\"Loop\"><w:name w:val=\"Loop\"/><w:basedOn "
        "w:val=\"Back\"/>"
        "</w:style><w:style w:type=\"paragraph\" w:styleId=\"Back\"><w:name "
        "w:val=\"Back\"/><w:basedOn "
        "w:val=\"Loop\"/><w:pPr><w:ind w:left=\"99999999999\"/></w:pPr></w:style>");
    const std::string numbering =
        "<w:numbering " + kWordNamespaces +
        "><w:abstractNum w:abstractNumId=\"1\"><w:lvl w:ilvl=\"0\">"
        "<w:start w:val=\"99999999999999\"/><w:numFmt w:val=\"upperLetter\"/><w:lvlText "
        "w:val=\"%1%9%\"/>"
        "</w:lvl><w:numStyleLink w:val=\"Loop\"/></w:abstractNum><w:num "
        "w:numId=\"1\"><w:abstractNumId "
        "w:val=\"1\"/><w:lvlOverride w:ilvl=\"42\"/></w:num></w:numbering>";
    const TempFolder folder;
    const std::string html =
        ConvertParts(
            folder,
            DocumentParts(kParagraph +
                              "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId "
                              "w:val=\"1\"/></w:numPr></w:pPr><w:r><w:t>Numbered</w:t></w:r></w:p>",
                          Relationship("rIdS", "styles", "styles.xml") +
                              Relationship("rIdN", "numbering", "numbering.xml"),
                          {{"word/styles.xml", styles}, {"word/numbering.xml", numbering}}))
            .Html;
    EXPECT_THAT(BodyOf(html), HasSubstr(">Survivor</p>"));
    EXPECT_THAT(BodyOf(html), HasSubstr("Numbered</p>"));
    EXPECT_THAT(html, HasSubstr("margin-left:22.0in"));  // Word's largest indent
}

TEST(HostileDocuments, WithMissingOrBrokenPartsTakeTheDefaults) {
    const TempFolder folder;
    const std::string html =
        ConvertParts(folder, DocumentParts(kParagraph,
                                           Relationship("rIdS", "styles", "styles.xml") +
                                               Relationship("rIdN", "numbering", "missing.xml") +
                                               Relationship("rIdF", "footnotes", "footnotes.xml"),
                                           {{"word/styles.xml", "<w:styles><broken"},
                                            {"word/footnotes.xml", "\x01\x02 not xml"}}))
            .Html;
    EXPECT_THAT(BodyOf(html), HasSubstr("<p class=MsoNormal>Survivor</p>"));
    EXPECT_THAT(
        html,
        HasSubstr(
            " p.MsoNormal, li.MsoNormal, div.MsoNormal\n\t{margin:0in;\n\tfont-size:10.0pt;}"));
}

TEST(HostileDocuments, WhoseMainPartIsBrokenAreRefusedByName) {
    const TempFolder folder;
    auto parts = DocumentParts("");
    parts["word/document.xml"] = "<w:document " + kWordNamespaces + "><w:body><w:p>";
    EXPECT_THROW(ConvertParts(folder, parts), WordDocumentError);
    parts["word/document.xml"] = "<w:document " + kWordNamespaces + "/>";
    try {
        ConvertParts(folder, parts);
        FAIL() << "a document without a body was converted";
    } catch (const WordDocumentError& error) {
        EXPECT_THAT(error.what(), HasSubstr("document.docx"));
        EXPECT_THAT(error.what(), HasSubstr("body"));
    }
}

TEST(HostileDocuments, WithBrokenTextAndScriptAddressesGiveACleanPage) {
    const TempFolder folder;
    const std::string html =
        ConvertParts(folder,
                     DocumentParts(
                         "<w:p><w:r><w:t>bad \xC0\xAF byte \xED\xA0\x80 and\x01 control</w:t></w:r>"
                         "<w:fldSimple w:instr=\" HYPERLINK &quot; javascript:alert(1)&quot; \">"
                         "<w:r><w:t> click</w:t></w:r></w:fldSimple></w:p>"))
            .Html;
    EXPECT_THAT(BodyOf(html),
                HasSubstr("bad \uFFFD\uFFFD byte \uFFFD\uFFFD\uFFFD and control click</p>"));
}

}  // namespace
}  // namespace quirebook
