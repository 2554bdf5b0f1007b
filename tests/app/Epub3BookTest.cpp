// A whole EPUB 3 book made by the publish command from web pages in a temporary folder: HTML5
// chapters, the navigation document beside the NCX, no remote resources, and epubcheck's verdict.
#include <zip.h>

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "EpubCheck.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WebImport.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

// A 1x1 transparent picture.
const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52"
    "\x00\x00\x00\x01\x00\x00\x00\x01\x08\x06\x00\x00\x00\x1f\x15\xc4"
    "\x89\x00\x00\x00\x0b\x49\x44\x41\x54\x78\x9c\x63\x60\x00\x02\x00"
    "\x00\x05\x00\x01\x7a\x5e\xab\x3f\x00\x00\x00\x00\x49\x45\x4e\x44"
    "\xae\x42\x60\x82",
    68);

// The text of `entry` in the archive `book`, or "" when it is not there.
std::string Entry(const std::string& book, const std::string& entry) {
    zip_t* archive = zip_open(book.c_str(), ZIP_RDONLY, nullptr);
    if (archive == nullptr) return {};
    std::string text;
    zip_stat_t stat;
    if (zip_stat(archive, entry.c_str(), 0, &stat) == 0) {
        zip_file_t* file = zip_fopen(archive, entry.c_str(), 0);
        text.resize(stat.size);
        zip_fread(file, text.data(), stat.size);
        zip_fclose(file);
    }
    zip_close(archive);
    return text;
}

TEST(Epub3Book, WebPagesMakeAValidEpub3BookWithNavigationAndHtml5Chapters) {
    testing::TempFolder temp;
    BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
    book.OutputFolder = temp / "books/";
    const std::string pages = temp / "pages";
    fs::create_directories(pages + "/images");
    SaveTextFile(pages + "/images/kite.png", kPng);
    SaveTextFile(temp / "cover.png", kPng);
    SaveTextFile(
        pages + "/one.html",
        "<!DOCTYPE html><html><head><title>One</title></head><body><section "
        "epub:type=\"chapter\"><h1>Kites</h1><figure><img src=\"images/kite.png\" alt=\"A kite\">"
        "<figcaption>A kite</figcaption></figure><p>Seen <mark>high</mark> on <time "
        "datetime=\"2024-05-01\">May Day</time>.</p><p><img src=\"http://example.com/far.png\" "
        "alt=\"far away\"> <a href=\"two.htm#end\">on</a> <a href=\"three.html\">and</a></p>"
        "<h2>Tails</h2><table summary=\"x\"><tr><td valign=\"top\">t</td>"
        "</tr></table></section></body></html>");
    SaveTextFile(pages + "/two.htm",
                 "<html><head><title>Two</title></head><body><h1>Lines</h1><dl><dt>only a "
                 "term</dt></dl><p id=\"end\"><tt>code</tt></p></body></html>");
    // Named as the first chapter's EPUB 3 name would be: "three.html" cannot take it.
    SaveTextFile(pages + "/three.xhtml",
                 "<html><head><title>X</title></head><body><p><a "
                 "href=\"one.html\">back</a></p></body></html>");
    SaveTextFile(pages + "/three.html",
                 "<html><head><title>H</title></head><body><p>h</p>"
                 "</body></html>");
    BookForm form;
    testing::RecordingUserInterface ui;
    ASSERT_TRUE(ImportWebPages(
        book, form, ui,
        {pages + "/one.html", pages + "/two.htm", pages + "/three.xhtml", pages + "/three.html"}));
    book.Options.EpubVersion = 3;
    book.Options.MakeTitlePage = true;
    book.Options.TocFromHeadings = true;
    book.CoverPicture = temp / "cover.png";
    ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;

    const std::string opf = Entry(book.OutputPath, "OPS/content.opf");
    EXPECT_THAT(opf, HasSubstr("version=\"3.0\""));
    EXPECT_THAT(opf, HasSubstr("properties=\"nav\""));
    EXPECT_THAT(opf, HasSubstr("properties=\"cover-image\""));
    EXPECT_THAT(opf, HasSubstr("<meta property=\"schema:accessibilityFeature\">alternativeText"));
    // The remote picture is not carried: it gives way to its alt text, and nothing is remote.
    EXPECT_THAT(opf, Not(HasSubstr("remote-resources")));
    // Chapters are named .xhtml, as EPUB 3 readers expect, and links follow them.
    EXPECT_EQ(Entry(book.OutputPath, "OPS/one.html"), "");
    EXPECT_EQ(Entry(book.OutputPath, "OPS/two.htm"), "");
    EXPECT_THAT(Entry(book.OutputPath, "OPS/three.xhtml"), HasSubstr("href=\"one.xhtml\""));
    EXPECT_THAT(Entry(book.OutputPath, "OPS/three.html"), HasSubstr("<p>h</p>"));
    EXPECT_THAT(opf, HasSubstr("href=\"three.html\""));
    const std::string one = Entry(book.OutputPath, "OPS/one.xhtml");
    EXPECT_THAT(one, HasSubstr("<a href=\"two.xhtml#end\">on</a> <a href=\"three.html\">"));
    EXPECT_THAT(one, HasSubstr("<!DOCTYPE html>"));
    EXPECT_THAT(one, HasSubstr("<section epub:type=\"chapter\">"));
    EXPECT_THAT(one, HasSubstr("<figcaption>A kite</figcaption></figure>"));
    EXPECT_THAT(one, Not(HasSubstr("example.com")));
    EXPECT_THAT(one, HasSubstr("far away"));
    const std::string nav = Entry(book.OutputPath, "OPS/nav.xhtml");
    // Each chapter is listed with its headings beneath it.
    EXPECT_THAT(nav, HasSubstr("<a href=\"one.xhtml\">Kites</a>"));
    EXPECT_THAT(nav, HasSubstr("<a href=\"one.xhtml#a2\">Tails</a>"));
    EXPECT_THAT(nav, HasSubstr("<a href=\"two.xhtml\">Lines</a>"));
    EXPECT_THAT(nav, HasSubstr("epub:type=\"cover\" href=\"coverpage.xhtml\""));
    EXPECT_THAT(Entry(book.OutputPath, "OPS/coverpage.xhtml"), HasSubstr("<!DOCTYPE html>"));
    EXPECT_THAT(Entry(book.OutputPath, "OPS/toc.ncx"), HasSubstr("one.xhtml#a2"));

    const testing::EpubCheckResult check = testing::RunEpubCheck(book.OutputPath);
    if (!check.Available) GTEST_SKIP() << "epubcheck or Java is missing: run ./test.sh";
    EXPECT_TRUE(check.Valid) << check.Output;
    EXPECT_THAT(check.Output, HasSubstr("EPUB version 3"));
    // Only three.html, which keeps its name, earns a warning.
    EXPECT_THAT(check.Output, HasSubstr("\"OPS/three.html\" should have the extension"));
    EXPECT_THAT(check.Output, HasSubstr("0 errors / 1 warning"));
}

}  // namespace
}  // namespace quirebook
