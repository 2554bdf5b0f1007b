// Pictures of a Word document reach the book at the size Word shows them, as shares of the text
// width (or of the table cell that holds them): a one-pixel picture shown an inch wide, one
// picture at four sizes, a picture wider than the text, a picture in a group, a VML picture, a
// picture in a table cell and one in a section with narrow margins, in EPUB 2 and EPUB 3 books
// and through the light cleaning, every book passing epubcheck.
#include <cmath>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "BookPictureShares.h"
#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "word/docx/DocxFixture.h"
#include "word/docx/PageConversion.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

constexpr long kEmuPerInch = 914400;

// A red picture of one pixel.
const std::string kOnePixelPng(
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00"
    "\x00\x01\x08\x02\x00\x00\x00\x90\x77\x53\xDE\x00\x00\x00\x0C\x49\x44\x41\x54\x78\x9C\x63"
    "\x38\xA1\xA1\x01\x00\x02\xD4\x01\x19\x05\x50\x8F\xA4\x00\x00\x00\x00\x49\x45\x4E\x44\xAE"
    "\x42\x60\x82",
    69);

std::string Emu(double inches) {
    return std::to_string(std::lround(inches * kEmuPerInch));
}

// The picture rId1 shown inline `inches` wide and half as high.
std::string Drawing(double inches) {
    return "<w:r><w:drawing><wp:inline><wp:extent cx=\"" + Emu(inches) + "\" cy=\"" +
           Emu(inches / 2) +
           "\"/><wp:docPr id=\"1\" name=\"Picture\"/><a:graphic><a:graphicData><pic:pic>"
           "<pic:blipFill><a:blip r:embed=\"rId1\"/></pic:blipFill><pic:spPr><a:xfrm><a:off "
           "x=\"0\" y=\"0\"/><a:ext cx=\"" +
           Emu(inches) + "\" cy=\"" + Emu(inches / 2) +
           "\"/></a:xfrm></pic:spPr></pic:pic></a:graphicData></a:graphic></wp:inline>"
           "</w:drawing></w:r>";
}

// The picture in a group whose children are measured at twice their size: 2 inches of the
// group's coordinates are 1 inch on the page.
std::string GroupedDrawing() {
    return "<w:r><w:drawing><wp:inline><wp:extent cx=\"" + Emu(1) + "\" cy=\"" + Emu(0.5) +
           "\"/><wp:docPr id=\"2\" name=\"Group\"/><a:graphic><a:graphicData><wpg:wgp>"
           "<wpg:grpSpPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" +
           Emu(1) + "\" cy=\"" + Emu(0.5) + "\"/><a:chOff x=\"0\" y=\"0\"/><a:chExt cx=\"" +
           Emu(2) + "\" cy=\"" + Emu(1) +
           "\"/></a:xfrm></wpg:grpSpPr><pic:pic><pic:blipFill><a:blip r:embed=\"rId1\"/>"
           "</pic:blipFill><pic:spPr><a:xfrm><a:ext cx=\"" +
           Emu(2) + "\" cy=\"" + Emu(1) +
           "\"/></a:xfrm></pic:spPr></pic:pic></wpg:wgp></a:graphicData></a:graphic>"
           "</wp:inline></w:drawing></w:r>";
}

std::string Paragraph(const std::string& runs) {
    return "<w:p>" + runs + "<w:r><w:t xml:space=\"preserve\"> A line of text.</w:t></w:r></w:p>";
}

// A section on Letter paper with left and right margins of `margin` twentieths of a point.
std::string Section(long margin) {
    return "<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/><w:pgMar w:top=\"1440\" w:right=\"" +
           std::to_string(margin) + "\" w:bottom=\"1440\" w:left=\"" + std::to_string(margin) +
           "\"/></w:sectPr>";
}

std::string DocumentBody() {
    return Paragraph(Drawing(1.1)) +
           Paragraph(Drawing(1) + Drawing(2) + Drawing(3.25) + Drawing(6)) + Paragraph(Drawing(8)) +
           Paragraph(GroupedDrawing()) +
           Paragraph(
               "<w:r><w:pict><v:shape style=\"width:117pt;height:58.5pt\"><v:imagedata "
               "r:id=\"rId1\" o:title=\"\"/></v:shape></w:pict></w:r>") +
           // A cell of 234pt holding a picture of 117pt.
           "<w:tbl><w:tblGrid><w:gridCol w:w=\"4680\"/><w:gridCol w:w=\"4680\"/></w:tblGrid><w:tr>"
           "<w:tc><w:tcPr><w:tcW w:w=\"4680\" w:type=\"dxa\"/></w:tcPr>" +
           Paragraph(Drawing(1.625)) +
           "</w:tc><w:tc><w:tcPr><w:tcW w:w=\"4680\" w:type=\"dxa\"/></w:tcPr>" + Paragraph("") +
           "</w:tc></w:tr></w:tbl>" + "<w:p><w:pPr>" + Section(1440) + "</w:pPr></w:p>" +
           // Half-inch margins leave 7.5 inches of text.
           Paragraph(Drawing(3.75)) + Section(720);
}

// Word's sizes as shares of what each picture stands in: a one-pixel picture shown 1.1 inches
// wide (106 whole pixels) of 6.5 inches, four sizes of one picture, one capped at the text
// width, the grouped one, the VML one, the one filling half its cell and the one in the section
// with narrow margins.
const std::vector<double> kWordShares = {106 / 6.24, 100 / 6.5, 200 / 6.5, 325 / 6.5, 600 / 6.5,
                                         100,        100 / 6.5, 25,        50,        50};

struct BookKind {
    const char* Name;
    int EpubVersion;
    bool LightCleaning;
};

TEST(WordPictureSizesBook, PicturesKeepWordsSizeInEveryKindOfBook) {
    if (!testing::EpubCheckAvailable()) GTEST_SKIP() << "epubcheck or Java is missing";
    for (const BookKind kind : {BookKind{"EPUB 2", 2, false}, BookKind{"EPUB 3", 3, false},
                                BookKind{"light cleaning", 2, true}}) {
        SCOPED_TRACE(kind.Name);
        TempFolder temp;
        BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
        book.OutputFolder = temp / "books/";
        book.Options.EpubVersion = kind.EpubVersion;
        book.Options.ExtremeMode = kind.LightCleaning;
        BookForm form;
        testing::RecordingUserInterface ui;
        fs::create_directories(temp / "in");
        testing::WriteDocx(
            temp / "in/pictures.docx",
            testing::DocumentParts(DocumentBody(),
                                   testing::Relationship("rId1", "image", "media/image1.png"),
                                   {{"word/media/image1.png", kOnePixelPng}}));
        WordConnection word(ProgramWordFactory(book));
        ASSERT_TRUE(OpenWordDocument(book, form, ui, word, temp / "in/pictures.docx"));
        ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
        const testing::EpubCheckResult check = testing::RunEpubCheck(book.OutputPath);
        EXPECT_TRUE(check.Valid) << check.Output;

        std::vector<double> shares;
        std::string chapters;
        for (const std::string& chapter : testing::SpineDocuments(book.OutputPath)) {
            for (const double share : testing::ImageWidthShares(chapter)) shares.push_back(share);
            chapters += chapter;
        }
        // The one pixel keeps the proportions Word stretched it to (106 by 53 pixels).
        EXPECT_THAT(chapters, ::testing::HasSubstr("aspect-ratio:79.5/39.75"));
        ASSERT_EQ(shares.size(), kWordShares.size()) << ::testing::PrintToString(shares);
        for (std::size_t i = 0; i < shares.size(); ++i)
            EXPECT_NEAR(shares[i], kWordShares[i], kWordShares[i] / 100) << "picture " << i + 1;
        // No sheet of the book gives pictures a width of its own.
        for (const auto& entry : fs::recursive_directory_iterator(book.OpsFolder)) {
            if (entry.path().extension() != ".css") continue;
            Regex widths(preCaseLess | preSingleLine);
            widths.SetPattern("img[^{}]*\\{[^}]*(?<![-\\w])width\\s*:");
            widths.SetSubject(LoadTextFile(entry.path().string()));
            EXPECT_FALSE(widths.MatchNext()) << entry.path();
        }
    }
}

}  // namespace
}  // namespace quirebook
