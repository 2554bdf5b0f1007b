// Tests of the Word document import through the program's own Word layer: the refusals before
// anything is touched, the book's fields from the document's properties, sections as chapters,
// damaged documents, .doc through LibreOffice (a stand-in script here), re-importing, and a
// finished book that epubcheck accepts.
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/FakePrograms.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "text/TextFiles.h"
#include "word/docx/DocxFixture.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

std::string Paragraph(const std::string& text, const std::string& style = "") {
    return "<w:p>" + (style.empty() ? "" : "<w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>") +
           "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

// A paragraph that ends a section: the section's properties stand in its paragraph properties.
std::string SectionEnd(const std::string& text) {
    return "<w:p><w:pPr><w:sectPr><w:type w:val=\"nextPage\"/></w:sectPr></w:pPr><w:r><w:t>" +
           text + "</w:t></w:r></w:p>";
}

std::string CoreProperties(const std::string& title, const std::string& creator,
                           const std::string& description) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
           "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
           "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
           "<dc:title>" +
           title + "</dc:title><dc:creator>" + creator + "</dc:creator><dc:description>" +
           description + "</dc:description></cp:coreProperties>";
}

// Three sections, each opening with a heading; properties as given.
std::map<std::string, std::string> ThreeSectionDocument(const std::string& title) {
    auto parts = testing::MinimalDocxParts(
        Paragraph("Spring", "Heading1") + SectionEnd("First words &amp; more.") +
        Paragraph("Summer", "Heading1") + SectionEnd("Second part.") +
        Paragraph("Autumn", "Heading1") + Paragraph("Last part.") +
        "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/></w:sectPr>");
    parts["docProps/core.xml"] = CoreProperties(title, "Ann Author", "About &lt;kites&gt;");
    return parts;
}

class WordDocumentImportTest : public ::testing::Test {
  protected:
    WordDocumentImportTest()
        : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work"),
          Word(ProgramWordFactory(Book)) {
        Book.OutputFolder = Temp / "books/";
        fs::create_directories(Temp / "in");
    }
    bool Import(const std::string& path) { return OpenWordDocument(Book, Form, Ui, Word, path); }

    TempFolder Temp;
    BookProject Book;
    WordConnection Word;
    BookForm Form;
    RecordingUserInterface Ui;
};

TEST_F(WordDocumentImportTest, MakesOneChapterPerSectionWithTheDocumentsProperties) {
    testing::WriteDocx(Temp / "in/journal.docx", ThreeSectionDocument("A Kite Journal"));
    ASSERT_TRUE(Import(Temp / "in/journal.docx")) << ::testing::PrintToString(Ui.Messages);
    EXPECT_EQ(Book.ChapterFiles.size(), 3u);
    EXPECT_EQ(Book.SourceFolder, Book.WordTempFolder);
    EXPECT_EQ(Form.TitleBox, "A Kite Journal");
    EXPECT_EQ(Form.AuthorBox, "Ann Author");
    EXPECT_EQ(Form.DescriptionBox, "About <kites>");
    EXPECT_EQ(Book.OutputName, "journal.epub");
    EXPECT_EQ(Book.WordDocFolder, Temp / "in/");
    EXPECT_TRUE(Book.FromWordDocument);
    EXPECT_TRUE(Form.ReimportEnabled);
    EXPECT_THAT(Book.BuildLog, HasSubstr("Word file imported successfully."));
    EXPECT_TRUE(Ui.Messages.empty());
    // The user's folder holds nothing new.
    EXPECT_EQ(std::distance(fs::directory_iterator(Temp / "in"), fs::directory_iterator()), 1);

    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    const testing::EpubCheckResult check = testing::RunEpubCheck(Book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
}

TEST_F(WordDocumentImportTest, ADocumentWhoseTitleIsBlanksIsNamedByItsFile) {
    testing::WriteDocx(Temp / "in/untitled.docx", ThreeSectionDocument(" "));
    ASSERT_TRUE(Import(Temp / "in/untitled.docx")) << ::testing::PrintToString(Ui.Messages);
    EXPECT_EQ(Form.TitleBox, "untitled");
    for (const std::string& chapter : Book.ChapterFiles)
        EXPECT_THAT(LoadTextFile(Book.WordTempFolder + chapter),
                    Not(HasSubstr("<title> </title>")));
}

TEST_F(WordDocumentImportTest,
       TheBookIsInTheDocumentsLanguageAndChaptersWithoutHeadingsTakeTheirWords) {
    auto parts = testing::MinimalDocxParts(
        Paragraph("Les cerfs-volants du dimanche matin au bord de la mer grise et froide") +
            SectionEnd("Fin.") + Paragraph("Deuxi\xC3\xA8me", "Heading1") + Paragraph("Texte."),
        "<Relationship Id=\"rS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/styles\" Target=\"styles.xml\"/>");
    parts["word/styles.xml"] =
        "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:docDefaults><w:rPrDefault><w:rPr><w:lang w:val=\"fr-FR\"/></w:rPr></w:rPrDefault>"
        "</w:docDefaults><w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name "
        "w:val=\"heading 1\"/></w:style></w:styles>";
    testing::WriteDocx(Temp / "in/cerfs.docx", parts);
    ASSERT_TRUE(Import(Temp / "in/cerfs.docx")) << ::testing::PrintToString(Ui.Messages);
    EXPECT_EQ(Form.LanguageName, "French");
    ASSERT_EQ(Book.ChapterTitles.size(), 2u);
    EXPECT_EQ(Book.ChapterTitles[0], "Les cerfs-volants du dimanche matin au bord de\xE2\x80\xA6");
    EXPECT_EQ(Book.ChapterTitles[1], "Deuxi\xC3\xA8me");
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    EXPECT_EQ(Book.BookMetadata.Language, "fr");
}

TEST_F(WordDocumentImportTest, CommentsAreLeftOutAndTheLogCountsThem) {
    const std::string commented =
        "<w:p><w:commentRangeStart w:id=\"4\"/><w:r><w:t>Kites</w:t></w:r>"
        "<w:commentRangeEnd w:id=\"4\"/><w:r><w:commentReference w:id=\"4\"/></w:r>"
        "<w:r><w:commentReference w:id=\"9\"/></w:r></w:p>";
    testing::WriteDocx(Temp / "in/reviewed.docx",
                       testing::MinimalDocxParts(commented + commented + Paragraph("Plain.")));
    ASSERT_TRUE(Import(Temp / "in/reviewed.docx")) << ::testing::PrintToString(Ui.Messages);
    EXPECT_THAT(Book.BuildLog, HasSubstr("2 comments of " + (Temp / "in/reviewed.docx") +
                                         " left out: a book does not carry reviewers' notes"));

    testing::WriteDocx(Temp / "in/clean.docx", testing::MinimalDocxParts(Paragraph("Plain.")));
    Book.BuildLog.clear();
    Ui.Answers = {true};  // begin a new book
    ASSERT_TRUE(Import(Temp / "in/clean.docx")) << ::testing::PrintToString(Ui.Messages);
    EXPECT_THAT(Book.BuildLog, Not(HasSubstr("comment")));
}

TEST_F(WordDocumentImportTest, TitleFallsBackToTheFileNameAndOptionsAreHonoured) {
    testing::WriteDocx(Temp / "in/untitled.docx", ThreeSectionDocument(""));
    ASSERT_TRUE(Import(Temp / "in/untitled.docx"));
    EXPECT_EQ(Form.TitleBox, "untitled");
    EXPECT_EQ(Form.AuthorBox, "Ann Author");

    testing::WriteDocx(Temp / "in/titled.docx", ThreeSectionDocument("Titled"));
    Book.ChapterFiles.clear();
    Book.Options.UseWordProperties = false;
    Book.Options.SplitWordOnSections = false;
    Book.Options.SaveBesideSource = true;
    ASSERT_TRUE(Import(Temp / "in/titled.docx"));
    EXPECT_EQ(Form.TitleBox, "titled");
    EXPECT_EQ(Form.AuthorBox, "");
    EXPECT_EQ(Book.ChapterFiles.size(), 1u);
    EXPECT_EQ(Book.OutputFolder, Temp / "in/");
}

TEST_F(WordDocumentImportTest, RefusesNamesBeforeTouchingAnything) {
    testing::WriteDocx(Temp / "in/what?.docx", ThreeSectionDocument("x"));
    testing::WriteDocx(Temp / "in/c#.docx", ThreeSectionDocument("x"));
    testing::WriteDocx(Temp / "in/caf\xe9.docx", ThreeSectionDocument("x"));
    fs::create_directories(Book.WordTempFolder);
    SaveTextFile(Book.WordTempFolder + "keep.txt", "kept");
    EXPECT_FALSE(Import(Temp / "in/what?.docx"));
    EXPECT_FALSE(Import(Temp / "in/caf\xe9.docx"));
    EXPECT_FALSE(Import(Temp / "in/c#.docx"));
    EXPECT_FALSE(Import(Temp / "in/missing.docx"));
    ASSERT_EQ(Ui.Messages.size(), 4u);
    EXPECT_EQ(Ui.Messages[0],
              "Please use simple file name with English characters and numbers\r\n"
              "in order to avoid unexpectable problems");
    EXPECT_EQ(Ui.Messages[1], Ui.Messages[0]);
    EXPECT_THAT(Ui.Messages[2], HasSubstr("File name can not contain # or +"));
    EXPECT_THAT(Ui.Messages[3], HasSubstr("missing.docx does not exist"));
    EXPECT_TRUE(fs::exists(Book.WordTempFolder + "keep.txt"));
}

TEST_F(WordDocumentImportTest, DamagedDocumentsEndWithAMessageNamingTheFile) {
    SaveTextFile(Temp / "in/notes.docx", "plain text, not a package");
    auto broken = ThreeSectionDocument("x");
    broken["word/document.xml"].resize(broken["word/document.xml"].size() / 2);
    testing::WriteDocx(Temp / "in/broken.docx", broken);
    EXPECT_FALSE(Import(Temp / "in/notes.docx"));
    EXPECT_FALSE(Import(Temp / "in/broken.docx"));
    ASSERT_EQ(Ui.Messages.size(), 2u);
    EXPECT_THAT(Ui.Messages[0], HasSubstr("notes.docx cannot be read"));
    EXPECT_THAT(Ui.Messages[1], HasSubstr("broken.docx is damaged"));
    EXPECT_TRUE(Book.ChapterFiles.empty());
}

TEST_F(WordDocumentImportTest, BinaryDocumentsGoThroughLibreOffice) {
    // A .doc is an OLE compound file; the stand-in LibreOffice "converts" it by copying a .docx
    // into the folder it is told, under the document's name, and notes its arguments.
    SaveTextFile(Temp / "in/old.doc", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "x");
    testing::WriteDocx(Temp / "converted.docx", ThreeSectionDocument("From LibreOffice"));
    fs::create_directories(Temp / "bin");
    testing::WriteScript(Temp / "bin/soffice", "echo \"$@\" > '" + Temp / "arguments" +
                                                   "'\n"
                                                   "while [ \"$1\" != --outdir ]; do shift; done\n"
                                                   "cp '" +
                                                   Temp / "converted.docx" + "' \"$2/old.docx\"");
    {
        const testing::ScopedSearchPath path(Temp / "bin", true);
        ASSERT_TRUE(Import(Temp / "in/old.doc")) << ::testing::PrintToString(Ui.Messages);
    }
    EXPECT_EQ(Form.TitleBox, "From LibreOffice");
    EXPECT_EQ(Book.OutputName, "old.epub");
    const std::string arguments = LoadTextFile(Temp / "arguments");
    EXPECT_THAT(arguments, HasSubstr("-env:UserInstallation=file://"));
    EXPECT_THAT(arguments, HasSubstr("--headless"));
    EXPECT_THAT(arguments, HasSubstr("--convert-to docx"));
    EXPECT_FALSE(fs::exists(Book.WordTempFolder + "legacy"));

    // Without LibreOffice a .doc is refused with a message saying what is needed.
    Ui.Answers = {true};  // yes, replace the book just made
    const testing::ScopedSearchPath empty(Temp / "in", false);
    EXPECT_FALSE(Import(Temp / "in/old.doc"));
    ASSERT_EQ(Ui.Messages.size(), 1u);
    EXPECT_THAT(Ui.Messages[0], HasSubstr("old.doc is in the binary .doc format"));
    EXPECT_THAT(Ui.Messages[0], HasSubstr("LibreOffice"));
}

TEST_F(WordDocumentImportTest, PasswordProtectedDocumentsAreRefusedAsSuch) {
    // A .docx saved with a password is a compound file holding an "EncryptedPackage" stream;
    // its name stands in the file's directory in UTF-16, here past the first block read.
    std::string name;
    for (const char c : std::string("EncryptedPackage")) name += std::string{c, '\0'};
    SaveTextFile(Temp / "in/secret.docx", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                              std::string(70000, '\0') + name);
    EXPECT_FALSE(Import(Temp / "in/secret.docx"));
    ASSERT_EQ(Ui.Messages.size(), 1u);
    EXPECT_THAT(Ui.Messages[0], HasSubstr("secret.docx is protected by a password"));
}

TEST_F(WordDocumentImportTest, ReimportsOnlyADocumentAndOnlyOnYes) {
    EXPECT_FALSE(ReimportWordDocument(Book, Form, Ui, Word));
    EXPECT_THAT(Ui.Messages, ElementsAre("HTML files needn't re-import"));

    testing::WriteDocx(Temp / "in/journal.docx", ThreeSectionDocument("First"));
    ASSERT_TRUE(Import(Temp / "in/journal.docx"));
    testing::WriteDocx(Temp / "in/journal.docx", ThreeSectionDocument("Second"));
    EXPECT_FALSE(ReimportWordDocument(Book, Form, Ui, Word));
    EXPECT_EQ(Form.TitleBox, "First");
    ASSERT_TRUE(PublishBook(Book, Form, Ui));
    EXPECT_TRUE(Form.Published);
    Ui.Answers = {true};
    EXPECT_TRUE(ReimportWordDocument(Book, Form, Ui, Word));
    EXPECT_EQ(Form.TitleBox, "Second");
    // The book made before is not the new import's: edit and validate wait for a new one.
    EXPECT_FALSE(Form.Published);
    EXPECT_TRUE(Form.ReimportEnabled);
    EXPECT_THAT(Ui.Questions, ElementsAre("Are you sure to re-import current Word doc?",
                                          "Are you sure to re-import current Word doc?"));
}

}  // namespace
}  // namespace quirebook
