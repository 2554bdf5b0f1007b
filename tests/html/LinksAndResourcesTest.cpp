#include "html/LinksAndResources.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <utility>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "css/StyleText.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using Strings = std::vector<std::string>;

// A book whose chapters, given as (file name, text), are already in OpsFolder.
BookProject BookWithChapters(const std::string& root,
                             const std::vector<std::pair<std::string, std::string>>& chapters) {
    BookProject book({root, root}, root + "/work");
    book.ClearBookFolders();
    for (const auto& [name, text] : chapters) {
        book.ChapterFiles.push_back(name);
        SaveTextFile(book.OpsFolder + name, text);
    }
    return book;
}

std::string Chapter(const BookProject& book, std::size_t i) {
    return LoadTextFile(book.OpsFolder + book.ChapterFiles[i]);
}

// The repair over the chapter files, as the book's steps run it: in memory, then written.
void Repair(BookProject& book) {
    ChapterTexts texts = LoadChapterTexts(book);
    RepairInBookLinks(book, texts);
    SaveChapterTexts(book, texts);
}

TEST(CollectImageReferences, CleansQuotedSourcesAndListsEachOnce) {
    TempFolder temp;
    const BookProject book = BookWithChapters(
        temp.Path(),
        {{"c1.htm",
          "<img src=\"pics\\a%20b.png\"><IMG alt=x SRC='q.png'><img src=\"a&amp;b.png\">"
          "<img src=\"A.PNG\"><img src=\"a.png\"><img src=\"x&amp;nbsp;y.png\">"
          "<img src=\" spaced.gif \"><img src=\"\"><img src=\"open.png>"},
         {"missing.htm", ""},
         {"c2.htm", "<p><img width=3 src=\"pics/A%20B.png\"/><img src='sub/./c.svg'/></p>"}});
    fs::remove(book.OpsFolder + "missing.htm");  // an unreadable chapter gives no references
    EXPECT_EQ(CollectImageReferences(book), (Strings{"pics/a b.png", "q.png", "a&b.png", "A.PNG",
                                                     "x&nbsp;y.png", "spaced.gif", "sub/./c.svg"}));
}

TEST(CollectImageReferences, RefusesAddressesAndPathsLeavingTheFolder) {
    TempFolder temp;
    const BookProject book = BookWithChapters(
        temp.Path(),
        {{"c1.htm",
          "<img src=a.png><img src=\"http://x.org/a.png\"><img src=\"C:\\a.png\">"
          "<img src=\"data:image/png;base64,AAAA\"><img src=\"..\\a.png\">"
          "<img src=\"../../etc/x.png\"><img src=\"/etc/x.png\"><img src=\"\\\\host\\x.png\">"
          "<img src=\"pics/../../x.png\"><img src=\"%20../x.png\"><img src=\"pics/..\">"
          "<img src=\"ok/..a.png\">"}});
    // Only the last one stays: ".." counts as a segment only when it stands alone.
    EXPECT_EQ(CollectImageReferences(book), Strings{"ok/..a.png"});
}

TEST(CollectStyleSheetReferences, TakesLinkedSheetsUpToTheirExtension) {
    TempFolder temp;
    const BookProject book = BookWithChapters(
        temp.Path(),
        {{"c1.htm",
          "<link rel=\"stylesheet\" href=\"css/main.css?v=2\"><link rel=icon href=\"x.ico\">"
          "<link rel=icon href=\"x.ico\" title=\"print.css\"><LINK HREF=Style.CSS>"
          "<link href='a%20b&amp;c.css'><link href=\"http://cdn.org/a.css\">"
          "<link href=\"..\\up.css\"><link href=\"/abs.css\"><link href=\"STYLE.css\">"},
         {"c2.htm", "<link href=\"css\\main.css\" rel=stylesheet><link title=\"x\">"}});
    EXPECT_EQ(CollectStyleSheetReferences(book),
              (Strings{"css/main.css", "Style.css", "a b&c.css"}));
}

TEST(UnescapeReferencePath, UnescapesAmpersandsAndNoBreakSpacesOnce) {
    EXPECT_EQ(UnescapeReferencePath("a&amp;b&nbsp;c.png"), "a&b c.png");
    // The escaped text of a literal "&nbsp;" in a file name stays that literal.
    EXPECT_EQ(UnescapeReferencePath("a&amp;nbsp;b"), "a&nbsp;b");
    EXPECT_EQ(UnescapeReferencePath("a&lt;b&amp"), "a&lt;b&amp");
    EXPECT_EQ(UnescapeReferencePath("plain/x.png"), "plain/x.png");
}

TEST(RepairInBookLinks, PointsFragmentLinksAtTheFirstChapterDefiningThemOrTheirOwn) {
    TempFolder temp;
    BookProject book = BookWithChapters(
        temp.Path(),
        {{"c1.html",
          "<head><meta id=\"top\"/></head><body><a href=\"#note1\">1</a> <a href=\"#both\">b</a>"
          " <a href='#note1'>q</a> <a href = \"#note1\">s</a> <a href=\"#top\">t</a>"
          " <a href=\"#nowhere\">n</a></body>"},
         {"c2.html", "<body><p id=\"both\">first</p><a href=\"#both\">x</a></body>"},
         {"c3.html",
          "<body class=\"x\"><p ID=\"note1\">note</p><p id=\"both\">later</p>"
          "<a href=\"#note1\">back</a><a href=\"#both\">own</a></body>"},
         {"a&b.html", "<body><p id=\"amp\">x</p></body>"},
         {"c5.html", "<body><a href=\"#amp\">y</a></body>"}});
    Repair(book);
    EXPECT_EQ(Chapter(book, 0),
              "<head><meta id=\"top\"/></head><body><a href=\"c3.html#note1\">1</a> "
              "<a href=\"c2.html#both\">b</a> <a href='#note1'>q</a> <a href = \"#note1\">s</a>"
              " <a href=\"#top\">t</a> <a href=\"#nowhere\">n</a></body>");
    EXPECT_EQ(Chapter(book, 1),
              "<body><p id=\"both\">first</p><a href=\"c2.html#both\">x</a></body>");
    EXPECT_EQ(Chapter(book, 2),
              "<body class=\"x\"><p ID=\"note1\">note</p><p id=\"both\">later</p>"
              "<a href=\"c3.html#note1\">back</a><a href=\"c3.html#both\">own</a></body>");
    // A file name is escaped where it enters a link.
    EXPECT_EQ(Chapter(book, 4), "<body><a href=\"a&amp;b.html#amp\">y</a></body>");
}

TEST(RepairInBookLinks, ChangesOnlyTheChaptersWithLinksToRepair) {
    TempFolder temp;
    BookProject book =
        BookWithChapters(temp.Path(), {{"gone.htm", ""}, {"plain.htm", ""}, {"link.htm", ""}});
    ChapterTexts texts = {"R", "<body><p id=\"x\">x</p></body>",
                          "<body><a href=\"#x\">x</a></body>"};
    RepairInBookLinks(book, texts);
    EXPECT_EQ(texts, (ChapterTexts{"R", "<body><p id=\"x\">x</p></body>",
                                   "<body><a href=\"plain.htm#x\">x</a></body>"}));
}

// The repair as first written: every identifier of every chapter compared with every chapter
// text, with a chapter's links to its own identifiers kept on the chapter. Kept here as the
// reference the linear repair must agree with.
void RepairInBookLinksByComparingEveryIdentifier(BookProject& book) {
    Strings texts;
    for (const std::string& name : book.ChapterFiles)
        texts.push_back(LoadTextFile(book.OpsFolder + name));
    Regex regex(preCaseLess | preSingleLine);
    regex.SetPattern("(?<=id=\")[^\"]+");
    std::vector<Strings> idsOf;
    for (const std::string& text : texts) idsOf.push_back(regex.MatchAll(ExtractBodyText(text)));
    const auto defines = [&](std::size_t chapter, const std::string& id) {
        return std::find(idsOf[chapter].begin(), idsOf[chapter].end(), id) != idsOf[chapter].end();
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (const std::string& id : idsOf[i]) {
            const std::string link = "href=\"#" + id + "\"";
            for (std::size_t j = 0; j < texts.size(); ++j) {
                std::string& text = texts[j];
                if (j != i && defines(j, id)) continue;  // that chapter keeps its own
                if (text.find(link) != std::string::npos)
                    text = PlainReplace(text, link,
                                        "href=\"" + book.ChapterFiles[i] + "#" + id + "\"");
            }
        }
    }
    // Written once rather than after each chapter: the texts are read only at the start, so the
    // files end the same and the test runs faster.
    for (std::size_t j = 0; j < texts.size(); ++j)
        SaveTextFile(book.OpsFolder + book.ChapterFiles[j], texts[j]);
}

// A chapter of random pieces: ids in the head and the body, in several spellings, and links to
// them and to ids defined nowhere, also in spellings the repair leaves alone. An id ending in
// "href=" runs into the link after it; only runs into a link to another id are made: where one
// id's link runs into a link to the same id, the reference binds the second to a later chapter
// defining it (or to none), while the repair binds both to the first.
std::string RandomChapter(std::mt19937& random) {
    const Strings ids = {"n1", "n2", "N2", "n3", "_ftn4", "a b", "sec.5", "zhref=", "n6"};
    const Strings idForms = {"<p id=\"@\">t</p>", "<a ID=\"@\"/>", "<div data-id=\"@\">d</div>",
                             "<h2 id='@'>h</h2>", "<span id=\"@\" class=\"c\">s</span>"};
    const Strings linkForms = {"<a href=\"#@\">l</a>",  "<a href=\"#@\" class=\"k\">l</a>",
                               "<a href='#@'>l</a>",    "<a HREF=\"#@\">l</a>",
                               "<a href=\"#@x\">l</a>", "<a href=\"#zhref=\"#n1\">l</a>",
                               "<a href=\"#\">e</a>",   "text id=\"@\" href=\"#@\" "};
    const auto pick = [&random](const Strings& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
    };
    std::string text = "<html><head><title>t</title>";
    if (random() % 3 == 0) text += PlainReplace(pick(idForms), "@", pick(ids));
    text += "</head>\r\n<body>";
    for (int piece = 0; piece < 12; ++piece) {
        const Strings& forms = random() % 2 == 0 ? idForms : linkForms;
        text += PlainReplace(pick(forms), "@", pick(ids)) + "\r\n";
    }
    return text + "</body></html>";
}

TEST(RepairInBookLinks, AgreesWithComparingEveryIdentifierOnGeneratedBooks) {
    int repairedBooks = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 random(seed);
        std::vector<std::pair<std::string, std::string>> chapters;
        const unsigned count = 1 + random() % 6;
        for (unsigned i = 0; i < count; ++i)
            chapters.emplace_back("ch" + std::to_string(i) + ".xhtml", RandomChapter(random));
        TempFolder temp;
        BookProject linearBook = BookWithChapters(temp / "linear", chapters);
        BookProject referenceBook = BookWithChapters(temp / "reference", chapters);
        Repair(linearBook);
        RepairInBookLinksByComparingEveryIdentifier(referenceBook);
        bool changed = false;
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(Chapter(linearBook, i), Chapter(referenceBook, i)) << "seed " << seed;
            changed = changed || Chapter(linearBook, i) != chapters[i].second;
        }
        if (changed) ++repairedBooks;
    }
    EXPECT_GT(repairedBooks, 15);  // the generated books do hold links to repair
}

}  // namespace
}  // namespace quirebook
