#include "css/FontEmbedding.h"

#include <zip.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "PackageFixture.h"
#include "RecordingUserInterface.h"
#include "css/StyleText.h"
#include "epub/BuildEpub.h"
#include "text/InOutError.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::PackageFixture;
using ::testing::StartsWith;

const std::string kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The style text of a Word page as the normalisation leaves it.
const std::string kWordStyle =
    " /* Font Definitions */\r\n @font-face\r\n\t{font-family:\"Cambria Math\";\r\n\t"
    "panose-1:2 4 5 3 5 4 6 3 2 4;}\r\n@font-face\r\n\t{font-family:Calibri;}\r\n"
    " /* Style Definitions */\r\n p.MsoNormal, li.MsoNormal\r\n\t{margin:0px;\r\n\t"
    "font-size:1em;\r\n\tfont-family:\"Calibri\",sans-serif;}\r\nh1\r\n\t{font-size:1.5em;\r\n\t"
    "font-family:\"times new roman\",serif;\r\n\tfont-weight:bold;}\r\nspan.Code\r\n\t"
    "{font:bold 10px Courier New;}\r\n";

TEST(CollectFontFamilies, GathersTheFamiliesOfWordStyleText) {
    std::vector<std::string> families;
    CollectFontFamilies(kWordStyle, families);
    // "@font-face" comes first and names no family: the empty name leads the list.
    EXPECT_THAT(families,
                ElementsAre("", "Cambria Math", "Calibri", "Times New Roman", "Courier New"));
    // A second document adds only what is new; the comparison is exact.
    CollectFontFamilies("p{font-family:Calibri}\r\nq{font-family:CALIBRI;font-size:2em}", families);
    EXPECT_THAT(families, ElementsAre("", "Cambria Math", "Calibri", "Times New Roman",
                                      "Courier New", "CALIBRI"));

    // A text that starts with a family gives no empty name; odd endings lose nothing.
    families.clear();
    CollectFontFamilies("a{font-family:arial black}b{font: 12px Verdana}c{font-family:Georgia",
                        families);
    EXPECT_THAT(families, ElementsAre("Arial Black", "Verdana", "Georgia"));
    families.clear();
    // The shorthand's family is what follows its size, however many words stand before it or
    // in the family's name; a value without a size names no family.
    CollectFontFamilies(
        "p{font:12.0pt \"Times New Roman\"} q{font:italic small-caps 700 12px/1.5 "
        "Book Antiqua, serif} r{font:bold 9pt / 11pt Gill Sans} s{font:caption}"
        " t{font:x-large Comic Sans MS} u{font:10px/12px Lucida Console}",
        families);
    EXPECT_THAT(families, ElementsAre("Times New Roman", "Book Antiqua", "Gill Sans", "",
                                      "Comic Sans MS", "Lucida Console"));
    families.clear();
    CollectFontFamilies("font", families);
    EXPECT_THAT(families, ElementsAre(""));
    // A rule that never ends: each occurrence reads only up to its own ";" (this would crawl if
    // each one searched the rest of the text for a "}").
    std::string unended;
    for (int i = 0; i < 100000; ++i) unended += "font-family:F;";
    families.clear();
    CollectFontFamilies(unended, families);
    EXPECT_THAT(families, ElementsAre("F"));
}

TEST(CollectFontFamilies, ReadsTheStyleTextOfARealWordPage) {
    const fs::path page = fs::path(QUIREBOOK_SOURCE_DIR) /
                          "../shared/corpus/wordhtml/utf8/spellchecker-report-tr/report.htm";
    if (!fs::exists(page)) GTEST_SKIP() << "the shared corpus is not there";
    std::vector<std::string> families;
    CollectFontFamilies(ExtractStyleBlock(LoadTextFile(page.string())), families);
    ASSERT_GE(families.size(), 4u);
    EXPECT_EQ(families[0], "");
    EXPECT_EQ(families[1], "Wingdings");
    EXPECT_THAT(families, ::testing::IsSupersetOf(
                              {"Cambria Math", "Calibri", "Times New Roman", "Calibri Light"}));
    for (const std::string& family : families) EXPECT_THAT(family, Not(HasSubstr("\"")));
}

TEST(FontFamiliesToOffer, OffersEveryFamilyButTheEmptyName) {
    EXPECT_THAT(FontFamiliesToOffer({"", "Calibri", "Georgia"}), ElementsAre("Calibri", "Georgia"));
    // The first family is offered too when it is a real one.
    EXPECT_THAT(FontFamiliesToOffer({"Arial Black", "", "Verdana"}),
                ElementsAre("Arial Black", "Verdana"));
    EXPECT_THAT(FontFamiliesToOffer({}), ::testing::IsEmpty());
}

TEST(FontId, IsTheNameWithoutBlanksAndValidInXml) {
    EXPECT_EQ(FontId("Times New Roman"), "TimesNewRoman");
    EXPECT_EQ(FontId("Caf\xC3\xA9 Sans"), "Caf\xC3\xA9Sans");
    EXPECT_EQ(FontId("3 of 9 Barcode"), "_3of9Barcode");
    EXPECT_EQ(FontId("A&B \"Pro\" <x>:1"), "ABProx1");
    EXPECT_EQ(FontId("  "), "");
}

TEST(AddFontFaceRule, RenamesTheFamilyAndPutsItsRuleFirst) {
    const std::string rule =
        "@font-face{\r\nfont-family : \"TimesNewRoman\";\r\nfont-weight : normal;\r\n"
        "font-style: normal;\r\nsrc : url(times.ttf); \r\n}\r\n";
    const std::string style = AddFontFaceRule(
        "h1{font-family:\"Times New Roman\",serif}\r\np{font-family:TIMES NEW ROMAN}",
        "Times New Roman", "times.ttf");
    EXPECT_EQ(style,
              rule + "h1{font-family:\"TimesNewRoman\",serif}\r\np{font-family:TimesNewRoman}");
    // Embedded again from another file: one rule, the newer one.
    const std::string again = AddFontFaceRule(style, "Times New Roman", "tnr.otf");
    EXPECT_EQ(again, PlainReplace(rule, "times.ttf", "tnr.otf") +
                         "h1{font-family:\"TimesNewRoman\",serif}\r\np{font-family:TimesNewRoman}");
    // A file name that cannot stand bare in url() is quoted.
    EXPECT_THAT(AddFontFaceRule("", "Georgia", "my (old) font.ttf"),
                HasSubstr("src : url(\"my (old) font.ttf\"); \r\n"));
}

TEST(AddFontFaceRule, EmbedsAFamilyBeginningWithADigitAgainUnderTheSameId) {
    // The id "_15em" holds the family "15em": where it stands already it stays, and a second
    // embedding keeps one rule.
    const std::string style =
        AddFontFaceRule("p{font-family:15em}\r\nq{font-family:_15em}", "15em", "a.ttf");
    EXPECT_THAT(style, HasSubstr("p{font-family:_15em}\r\nq{font-family:_15em}"));
    EXPECT_EQ(PosFrom(style, "@font-face", 2), 0u);
    const std::string again = AddFontFaceRule(style, "15em", "b.ttf");
    EXPECT_EQ(again, PlainReplace(style, "a.ttf", "b.ttf"));
}

TEST(AddFontManifestItem, ListsEachFileOnceUnderAnUnusedId) {
    const std::string opf =
        "<package><metadata><dc:identifier id=\"BookId\">x</dc:identifier></metadata><manifest>"
        "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\" />\r\n"
        "</manifest></package>";
    const std::string once = AddFontManifestItem(opf, "Times New Roman", "times.ttf");
    EXPECT_THAT(once, HasSubstr("<item id=\"TimesNewRoman\" href=\"times.ttf\" "
                                "media-type=\"font/opentype\"/>\r\n</manifest>"));
    EXPECT_EQ(AddFontManifestItem(once, "Times New Roman", "times.ttf"), once);
    // The same family from another file, and families whose ids are taken, get ids of their own.
    const std::string twice = AddFontManifestItem(once, "Times New Roman", "tnr.ttf");
    EXPECT_THAT(twice, HasSubstr("<item id=\"TimesNewRoman-2\" href=\"tnr.ttf\""));
    EXPECT_THAT(AddFontManifestItem(opf, "Ncx", "a.ttf"), HasSubstr("id=\"Ncx\""));
    EXPECT_THAT(AddFontManifestItem(opf, "ncx", "a.ttf"), HasSubstr("id=\"ncx-2\""));
    EXPECT_THAT(AddFontManifestItem(opf, "Book Id", "a.ttf"), HasSubstr("id=\"BookId-2\""));
    EXPECT_THAT(AddFontManifestItem(opf, "X", "a&b\".ttf"),
                HasSubstr("href=\"a&amp;b&quot;.ttf\""));
    EXPECT_THROW(AddFontManifestItem("<package/>", "X", "a.ttf"), std::runtime_error);
}

// The content of the archive entry `name`, or nothing when it is not there.
std::optional<std::string> ArchiveEntry(const std::string& archivePath, const std::string& name) {
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> archive(
        zip_open(archivePath.c_str(), ZIP_RDONLY, &error), zip_discard);
    if (!archive) return std::nullopt;
    zip_stat_t stat;
    if (zip_stat(archive.get(), name.c_str(), 0, &stat) != 0) return std::nullopt;
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
        zip_fopen(archive.get(), name.c_str(), 0), zip_fclose);
    std::string content(stat.size, '\0');
    if (!file ||
        zip_fread(file.get(), content.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
        return std::nullopt;
    return content;
}

// A finished Word book: one chapter linking the book's style.css, which names a family.
class EmbedFontsTest : public PackageFixture {
  protected:
    EmbedFontsTest() {
        Book.ChapterFiles = {"one.htm"};
        Book.ChapterTitles = {"One"};
        std::filesystem::remove(Book.OpsFolder + "two.htm");
        SaveTextFile(
            Book.OpsFolder + "one.htm",
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!DOCTYPE html PUBLIC \"-//W3C//DTD "
            "XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n<html "
            "xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>One</title><link "
            "rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/></head><body><h1>One</h1>"
            "<p class=\"Body\">Text</p></body></html>");
        SaveTextFile(Book.SourceFolder + "style.css",
                     "p.Body{font-family:\"DejaVu Sans\",sans-serif;font-size:1em}");
        Book.StyleSheetFiles = {"style.css"};
        Book.OutputPath = Book.OutputFolder + "book.epub";
    }

    testing::RecordingUserInterface Ui;
};

TEST_F(EmbedFontsTest, TheEmbeddedFontTravelsInAValidBook) {
    if (!fs::exists(kFont)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
    ASSERT_TRUE(BuildEpub(Book)) << Book.BuildLog;
    ASSERT_TRUE(EmbedFonts(Book, {{"Georgia", ""}, {"DejaVu Sans", kFont}}, Ui));
    EXPECT_THAT(Ui.Messages, ElementsAre("Font embeded!"));

    const std::optional<std::string> style = ArchiveEntry(Book.OutputPath, "OPS/style.css");
    ASSERT_TRUE(style.has_value());
    EXPECT_THAT(*style, StartsWith("@font-face{\r\nfont-family : \"DejaVuSans\";"));
    EXPECT_THAT(*style, HasSubstr("src : url(DejaVuSans.ttf); \r\n}"));
    EXPECT_THAT(*style, HasSubstr("p.Body{font-family:\"DejaVuSans\",sans-serif"));
    EXPECT_THAT(*style, Not(HasSubstr("Georgia")));
    EXPECT_THAT(ArchiveEntry(Book.OutputPath, "OPS/content.opf").value_or(""),
                HasSubstr("<item id=\"DejaVuSans\" href=\"DejaVuSans.ttf\" "
                          "media-type=\"font/opentype\"/>"));
    EXPECT_EQ(ArchiveEntry(Book.OutputPath, "OPS/DejaVuSans.ttf"), LoadTextFile(kFont));

    // Pressing "Embed" again (the font file now lies in the book itself) keeps the book valid
    // and the font whole.
    ASSERT_TRUE(EmbedFonts(Book, {{"DejaVu Sans", Book.OpsFolder + "DejaVuSans.ttf"}}, Ui));
    EXPECT_EQ(ArchiveEntry(Book.OutputPath, "OPS/DejaVuSans.ttf"), LoadTextFile(kFont));
    const std::string opf = LoadTextFile(Book.OpsFolder + "content.opf");
    EXPECT_EQ(opf.find("DejaVuSans.ttf"), opf.rfind("DejaVuSans.ttf"));

    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
    EXPECT_THAT(check.Output, HasSubstr("No errors or warnings detected"));
}

TEST_F(EmbedFontsTest, RefusalsComeBeforeAnythingIsWritten) {
    // No book made yet.
    EXPECT_FALSE(EmbedFonts(Book, {{"DejaVu Sans", kFont}}, Ui));
    EXPECT_THAT(Ui.Messages, ElementsAre(HasSubstr("make the book first")));
    ASSERT_TRUE(BuildEpub(Book)) << Book.BuildLog;
    const std::string opf = LoadTextFile(Book.OpsFolder + "content.opf");
    const std::string style = LoadTextFile(Book.OpsFolder + "style.css");

    // A file that is not a font would replace a book file of the same name.
    SaveTextFile(Temp / "content.opf", "not a font");
    EXPECT_FALSE(EmbedFonts(Book, {{"A", kFont}, {"B", Temp / "content.opf"}}, Ui));
    EXPECT_FALSE(EmbedFonts(Book, {{" ", kFont}}, Ui));
    EXPECT_EQ(LoadTextFile(Book.OpsFolder + "content.opf"), opf);
    EXPECT_FALSE(fs::exists(Book.OpsFolder + "DejaVuSans.ttf"));

    // A font file that cannot be read ends the operation with the reason.
    EXPECT_THROW(EmbedFonts(Book, {{"A", Temp / "missing.ttf"}}, Ui), InOutError);
    EXPECT_EQ(LoadTextFile(Book.OpsFolder + "style.css"), style);
    EXPECT_THAT(Ui.Messages, Not(::testing::Contains("Font embeded!")));

    // A book made from web pages has no style.css of its own.
    fs::remove(Book.OpsFolder + "style.css");
    EXPECT_FALSE(EmbedFonts(Book, {{"A", kFont}}, Ui));
    EXPECT_THAT(Ui.Messages.back(), HasSubstr("no style.css"));
    EXPECT_FALSE(fs::exists(Book.OpsFolder + "style.css"));
}

}  // namespace
}  // namespace quirebook
