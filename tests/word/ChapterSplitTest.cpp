#include "word/ChapterSplit.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "text/InOutError.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

const std::string kHead =
    "<html>\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
    "<meta name=Generator content=\"Microsoft Word 15 (filtered)\">\r\n<title>Kites</title>\r\n"
    "<style>\r\n<!--\r\n /* Font Definitions */\r\n @font-face\r\n\t{font-family:\"Cambria "
    "Math\";}\r\n /* Style Definitions */\r\n p.MsoNormal\r\n\t{margin:0in;\r\n\t"
    "font-family:\"Times New Roman\",serif;}\r\n-->\r\n</style>\r\n</head>\r\n";

// The head every chapter carries: the style element replaced by the link to style.css, the body
// tag without its attributes.
const std::string kChapterHead =
    "<html>\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
    "<meta name=Generator content=\"Microsoft Word 15 (filtered)\">\r\n<title>Kites</title>\r\n"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/>\r\n</head>\r\n<body>";

const std::string kTail = "\r\n</body></html>";

const std::string kBreak =
    "\r\n\r\n<span style='font-size:12.0pt'><br clear=all style='page-break-before:always'>"
    "</span>\r\n\r\n";

std::string WordPage(const std::string& body) {
    return kHead + "<body lang=EN-US style='word-wrap:break-word'>\r\n\r\n" + body +
           "\r\n\r\n</body>\r\n\r\n</html>\r\n";
}

const std::string kLargeDocumentAdvice =
    "Your may need insert section break in Word,\r\n"
    "so that Quirebook can split it into chapters,\r\n"
    "or your epub may not show properly on slow devices.\r\n"
    "We suggest you insert section breaks then re-import,\r\n"
    "please reference Chapter section in Help file.";

// A Word import's scratch folder holding the page "Kites.html", as the import leaves it.
class SplitWordHtmlTest : public ::testing::Test {
  protected:
    SplitWordHtmlTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        fs::create_directories(Book.WordTempFolder);
        Book.SourceFolder = Book.WordTempFolder;
        Page = Book.WordTempFolder + "Kites.html";
    }

    void Split(const std::string& body, bool split = true) {
        SaveTextFile(Page, WordPage(body));
        SplitWordHtml(Book, Page, split, Ui);
    }

    std::string Chapter(const std::string& name) { return LoadTextFile(Book.SourceFolder + name); }

    TempFolder Temp;
    BookProject Book;
    RecordingUserInterface Ui;
    std::string Page;
};

TEST(WordSections, EachSectionRunsToItsLastClosingDivision) {
    const std::string one = "<div class=WordSection1><p>a</p></div>";
    const std::string two = "<div class=WordSection2><div><p>b</p></div>\r\n</div>";
    const std::string three = "<div class=WordSection3><p>c</p></div>\r\n";
    EXPECT_THAT(WordSections("\r\n  " + one + kBreak + two + kBreak + three),
                ElementsAre(one, two, three));
    // Older Word names them "Section", in any case; the last one runs to the end of the body.
    EXPECT_THAT(WordSections("<DIV CLASS=section1>x</DIV><div class=Section2>y"),
                ElementsAre("<DIV CLASS=section1>x</DIV>", "<div class=Section2>y"));
    EXPECT_THAT(WordSections("<div class=Chapter1>x</div>"), IsEmpty());
}

TEST(WordSections, ASectionWithoutItsOwnClosingTagLosesNothing) {
    // No "</div>" before the next section: the section runs up to it, its last byte included.
    EXPECT_THAT(WordSections("<div class=Section1><p>x</p><div class=Section2>y</div>"),
                ElementsAre("<div class=Section1><p>x</p>", "<div class=Section2>y</div>"));
    // The last "</div>" before the third section lies in the first: the second section is still
    // all of its own text, not an empty or negative range.
    EXPECT_THAT(
        WordSections("<div class=Section1>a</div><div class=Section2>b<div class=Section3>c"),
        ElementsAre("<div class=Section1>a</div>", "<div class=Section2>b",
                    "<div class=Section3>c"));
    // Many unclosed sections: each search stays inside its own section (this would crawl if
    // every search ran back to the start of the body).
    std::string body;
    for (int i = 0; i < 20000; ++i) body += "<div class=Section1><p>" + std::string(20, 'x');
    const std::vector<std::string_view> sections = WordSections(body);
    ASSERT_EQ(sections.size(), 20000u);
    EXPECT_EQ(sections.back(), "<div class=Section1><p>" + std::string(20, 'x'));
}

TEST_F(SplitWordHtmlTest, ThreeSectionsGiveThreeChapters) {
    Book.ChapterFiles = {"old.htm"};
    Book.ChapterSizes = {1};
    const std::string one = "<div class=WordSection1>\r\n<h1>One</h1>\r\n<p>a</p>\r\n</div>";
    const std::string two = "<div class=WordSection2>\r\n<p>b</p>\r\n</div>";
    const std::string three = "<div class=WordSection3>\r\n<p>c</p>\r\n</div>";
    Split(one + kBreak + two + kBreak + three);

    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm", "c_2.htm", "c_3.htm"));
    EXPECT_EQ(Chapter("c_1.htm"), kChapterHead + "\r\n" + one + kTail);
    EXPECT_EQ(Chapter("c_2.htm"), kChapterHead + "\r\n" + two + kTail);
    // The last section runs to the end of the body.
    EXPECT_EQ(Chapter("c_3.htm"), kChapterHead + "\r\n" + three + "\r\n\r\n" + kTail);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Book.ChapterSizes[i], FileSizeOf(Book.SourceFolder + Book.ChapterFiles[i]));
    EXPECT_FALSE(fs::exists(Page));
    EXPECT_THAT(LoadTextFile(Book.WordTempFolder + "style.css"), HasSubstr("Times New Roman"));
    EXPECT_THAT(Book.FontFamilyList, ::testing::Contains("Times New Roman"));
    EXPECT_THAT(Book.BuildLog, HasSubstr("Word HTML split successfully."));
    EXPECT_THAT(Ui.Messages, IsEmpty());
    EXPECT_THAT(Chapter("c_1.htm"), Not(HasSubstr("id=\"a1\"")));
}

TEST_F(SplitWordHtmlTest, TheChaptersKeepTheirHeadingsAsWritten) {
    // The table of contents marks the headings' places when the book is made, not here.
    Book.Options.TocFromHeadings = true;
    Book.HeadingEntries = {{"stale", 1, 9, 1, "a1"}};
    Split("<div class=WordSection1><h1>Kites</h1><p>a</p><h2>Tails</h2></div>" + kBreak +
          "<div class=WordSection2><h1>Lines &amp; reels</h1><h2> </h2></div>");
    EXPECT_THAT(Chapter("c_1.htm"), HasSubstr("<h1>Kites</h1><p>a</p><h2>Tails</h2>"));
    EXPECT_THAT(Chapter("c_2.htm"), HasSubstr("<h1>Lines &amp; reels</h1>"));
    EXPECT_EQ(Book.ChapterSizes[1], FileSizeOf(Book.SourceFolder + "c_2.htm"));
}

TEST_F(SplitWordHtmlTest, LargePagesWithOneSectionBringAdvice) {
    // Padded so that the page is exactly 256000 bytes: one chapter and no message.
    const std::string open = "<div class=WordSection1><p>";
    const std::string close = "</p></div>";
    const std::size_t frame = WordPage(open + close).size();
    Split(open + std::string(256000 - frame, 'x') + close);
    ASSERT_EQ(FileSizeOf(Book.SourceFolder + "c_1.htm") > 0, true);
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm"));
    EXPECT_THAT(Ui.Messages, IsEmpty());

    // One byte more: the advice, and the split still goes on.
    Split(open + std::string(256001 - frame, 'x') + close);
    EXPECT_THAT(Ui.Messages, ElementsAre(kLargeDocumentAdvice));
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm"));

    // Two sections of the same size: no advice.
    Ui.Messages.clear();
    Split(open + std::string(256001 - frame, 'x') + close + "<div class=WordSection2>y</div>");
    EXPECT_THAT(Ui.Messages, IsEmpty());
    EXPECT_EQ(Book.ChapterFiles.size(), 2u);
}

TEST_F(SplitWordHtmlTest, SectionsThatShowNothingAreNoChapters) {
    const std::string blank =
        "<div class=WordSection2>\r\n<p class=MsoNormal>&nbsp;</p><p>\xC2\xA0 &#160;</p>"
        "<!-- <img src=x> --><![if !supportLists]><span> </span><![endif]></div>";
    const std::string picture = "<div class=WordSection3><p><IMG src=\"imgs/a.png\"></p></div>";
    const std::string rule = "<div class=WordSection4><hr></div>";
    const std::string amp = "<div class=WordSection5><p>&amp;</p></div>";
    Split("<div class=WordSection1><p>a</p></div>" + kBreak + blank + kBreak + picture + kBreak +
          rule + kBreak + amp + kBreak + blank);
    // The chapters are numbered as they follow each other.
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm", "c_2.htm", "c_3.htm", "c_4.htm"));
    EXPECT_THAT(Chapter("c_2.htm"), HasSubstr(picture));
    EXPECT_THAT(Chapter("c_3.htm"), HasSubstr(rule));
    EXPECT_THAT(Chapter("c_4.htm"), HasSubstr(amp));
    EXPECT_FALSE(fs::exists(Book.SourceFolder + "c_5.htm"));
    EXPECT_THAT(Book.BuildLog,
                HasSubstr("2 sections of Kites.html without text or pictures left out"));

    // A document that shows nothing at all still gives its chapters.
    Split(blank + kBreak + blank);
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm", "c_2.htm"));
}

TEST_F(SplitWordHtmlTest, ABodyWithoutSectionsIsOneChapter) {
    const std::string body = "<h1>Kites</h1>\r\n<p>Text that no section holds.</p>";
    Split(body + std::string(256000, ' '));
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm"));
    EXPECT_THAT(Chapter("c_1.htm"), HasSubstr(kChapterHead + "\r\n\r\n\r\n" + body));
    EXPECT_THAT(Ui.Messages, ElementsAre(kLargeDocumentAdvice));
    EXPECT_FALSE(fs::exists(Page));
}

TEST_F(SplitWordHtmlTest, WithoutSplitThePageKeepsItsNameAndItsFirstDivision) {
    Book.Options.TocFromHeadings = true;
    Split("<div class=WordSection1>\r\n<h1>Kites</h1>\r\n<p>a</p>\r\n</div>", false);
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("Kites.html"));
    // The division's content without its tags; nothing of the content is cut off.
    EXPECT_EQ(LoadTextFile(Page), kChapterHead + "\r\n\r\n<h1>Kites</h1>\r\n<p>a</p>\r\n" + kTail);
    EXPECT_EQ(Book.ChapterSizes[0], FileSizeOf(Page));
    EXPECT_FALSE(fs::exists(Book.SourceFolder + "c_1.htm"));
    EXPECT_THAT(Book.BuildLog, Not(HasSubstr("split successfully")));

    // A body without a division is kept whole.
    Split("<p>plain</p>", false);
    EXPECT_EQ(LoadTextFile(Page), kChapterHead + "\r\n\r\n\r\n<p>plain</p>\r\n\r\n" + kTail);
}

TEST_F(SplitWordHtmlTest, PicturesMoveToImgs) {
    Page = Book.WordTempFolder + "My Kites.html";
    fs::create_directories(Book.WordTempFolder + "My Kites_files");
    SaveTextFile(Book.WordTempFolder + "My Kites_files/image001.png", "png");
    Split("<div class=WordSection1><p><img src=\"My%20Kites_files/image001.png\"></p></div>");
    EXPECT_EQ(LoadTextFile(Book.WordTempFolder + "imgs/image001.png"), "png");
    EXPECT_FALSE(fs::exists(Book.WordTempFolder + "My Kites_files"));
    EXPECT_THAT(Chapter("c_1.htm"), HasSubstr("<img src=\"imgs/image001.png\">"));
}

TEST(MoveWordImages, MissingPiecesAreSkippedAndABlockedFolderIsAnError) {
    TempFolder temp;
    const std::string page = temp / "doc.html";
    // No page and no folder: nothing happens, and no page is made.
    MoveWordImages(page);
    EXPECT_FALSE(fs::exists(page));
    // No picture folder: the references still point at "imgs/".
    SaveTextFile(page, "<img src=\"doc_files/a.png\"><img src=\"other_files/b.png\">");
    MoveWordImages(page);
    EXPECT_EQ(LoadTextFile(page), "<img src=\"imgs/a.png\"><img src=\"other_files/b.png\">");
    // An "imgs" folder with files in it: an error, and the page still points at its pictures.
    SaveTextFile(page, "<img src=\"doc_files/a.png\">");
    fs::create_directories(temp / "doc_files");
    fs::create_directories(temp / "imgs");
    SaveTextFile(temp / "imgs/old.png", "old");
    EXPECT_THROW(MoveWordImages(page), InOutError);
    EXPECT_EQ(LoadTextFile(page), "<img src=\"doc_files/a.png\">");
}

TEST(MoveWordImages, FindsReferencesWhoseNameTheMarkupEscapes) {
    TempFolder temp;
    const std::string page = temp / "Tom & \"Jerry\".html";
    fs::create_directories(temp / "Tom & \"Jerry\"_files");
    SaveTextFile(page,
                 "<img src=\"Tom%20&amp;%20&quot;Jerry&quot;_files/image001.png\">"
                 "<img src=\"Tom%20&%20\"Jerry\"_files/image002.png\">");
    MoveWordImages(page);
    EXPECT_EQ(LoadTextFile(page), "<img src=\"imgs/image001.png\"><img src=\"imgs/image002.png\">");
    EXPECT_TRUE(fs::is_directory(temp / "imgs"));
}

TEST_F(SplitWordHtmlTest, OddPagesLoseNothing) {
    // A missing page: the old chapter list is cleared and nothing else happens.
    Book.ChapterFiles = {"old.htm"};
    SplitWordHtml(Book, Book.WordTempFolder + "missing.html", true, Ui);
    EXPECT_THAT(Book.ChapterFiles, IsEmpty());
    EXPECT_THAT(Ui.Messages, IsEmpty());
    EXPECT_FALSE(fs::exists(Book.WordTempFolder + "missing.html"));

    // A page that is itself called c_1.htm keeps its first chapter.
    Page = Book.WordTempFolder + "c_1.htm";
    Split("<div class=WordSection1>one</div><div class=WordSection2>two</div>");
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm", "c_2.htm"));
    EXPECT_THAT(Chapter("c_1.htm"), HasSubstr("one"));

    // A page without a body is one chapter as it stands.
    Page = Book.WordTempFolder + "bare.html";
    SaveTextFile(Page, "<html><p>bare text</p></html>");
    SplitWordHtml(Book, Page, true, Ui);
    EXPECT_THAT(Book.ChapterFiles, ElementsAre("bare.html"));
    EXPECT_EQ(LoadTextFile(Page), "<html><p>bare text</p></html>");
}

std::size_t Count(const std::string& text, const std::string& find) {
    std::size_t count = 0;
    for (std::size_t at = text.find(find); at != std::string::npos; at = text.find(find, at + 1))
        ++count;
    return count;
}

// The Word page in the corpus folder whose name begins with `folder` (the corpus lies beside the
// checkout), or the empty text when it is not there. Tests copy it into their own folder.
std::string CorpusWordPage(const std::string& folder) {
    const fs::path corpus = fs::path(QUIREBOOK_SOURCE_DIR) / "../shared/corpus/wordhtml/utf8";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus, error)) {
        if (!entry.path().filename().string().starts_with(folder)) continue;
        for (const fs::directory_entry& file : fs::directory_iterator(entry.path()))
            if (file.path().extension() == ".htm") return file.path().string();
    }
    return {};
}

TEST_F(SplitWordHtmlTest, RealWordPagesSplitAtTheirSections) {
    const std::string report = CorpusWordPage("spellchecker-report");
    const std::string standard = CorpusWordPage("sarif");
    if (report.empty() || standard.empty()) GTEST_SKIP() << "the shared corpus is not there";

    // Three sections and a picture folder.
    Page = Book.WordTempFolder + "report.htm";
    fs::copy(fs::path(report).parent_path(), Book.WordTempFolder, fs::copy_options::recursive);
    const std::string original = LoadTextFile(Page);
    SplitWordHtml(Book, Page, true, Ui);
    ASSERT_THAT(Book.ChapterFiles, ElementsAre("c_1.htm", "c_2.htm", "c_3.htm"));
    std::string chapters;
    for (const std::string& name : Book.ChapterFiles) chapters += Chapter(name);
    EXPECT_THAT(chapters, Not(HasSubstr("report_files/")));
    // Every picture of the page is still referenced, now from "imgs", where it lies.
    EXPECT_EQ(Count(chapters, "src=\"imgs/"), Count(original, "src=\"report_files/"));
    EXPECT_EQ(LoadTextFile(Book.WordTempFolder + "imgs/image006.png"),
              LoadTextFile(fs::path(report).parent_path() / "report_files/image006.png"));

    // A 226-page standard: four chapters holding every one of its headings.
    fs::remove_all(Book.WordTempFolder);
    fs::create_directories(Book.WordTempFolder);
    Page = Book.WordTempFolder + "sarif.htm";
    fs::copy_file(standard, Page);
    const auto headingCount = [](const std::string& text) {
        std::size_t count = 0;
        for (char level = '1'; level <= '6'; ++level)
            count += Count(text, std::string("<h") + level);
        return count;
    };
    const std::size_t headings = headingCount(LoadTextFile(Page));
    SplitWordHtml(Book, Page, true, Ui);
    EXPECT_EQ(Book.ChapterFiles.size(), 4u);
    std::size_t split = 0;
    for (const std::string& name : Book.ChapterFiles) split += headingCount(Chapter(name));
    EXPECT_GT(headings, 500u);
    EXPECT_EQ(split, headings);
}

}  // namespace
}  // namespace quirebook
