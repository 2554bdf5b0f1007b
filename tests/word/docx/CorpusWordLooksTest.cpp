// Every Word document and Word page of the corpus made into a book and looked at beside Word's
// own view of it (for a page, what its own style element shows): headings in the proportions
// Word gives them to the body text, monospaced runs in a family that falls back to a monospaced
// face, underline and strikethrough kept, and the bullets of the symbol fonts as the characters
// Word shows. With QUIREBOOK_COMPARE_PROGRAM set to another build of the command, the figures of
// its books are printed beside (not judged).
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>

#include "CorpusBook.h"
#include "RecordingUserInterface.h"
#include "StyledText.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WordImport.h"
#include "text/TextFiles.h"
#include "word/WordConnection.h"
#include "word/docx/WordDocumentLooks.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::StyledText;
using testing::TempFolder;
using testing::TextLook;

// The characters Word shows for the bullets of its bullet library and other common ones.
std::optional<std::string> ShownBullet(const std::string& font, unsigned code) {
    struct Shown {
        const char* Font;
        unsigned Code;
        const char* Character;
    };
    constexpr Shown kShown[] = {
        {"symbol", 0xB7, "\u2022"},    {"symbol", 0xA7, "\u2663"},    {"symbol", 0xA8, "\u2666"},
        {"wingdings", 0xA7, "\u25AA"}, {"wingdings", 0xD8, "\u27A2"}, {"wingdings", 0xFC, "\u2713"},
        {"wingdings", 0x76, "\u2756"}, {"wingdings", 0x6C, "\u25CF"}, {"wingdings", 0x6E, "\u25A0"},
        {"wingdings", 0x71, "\u2751"}, {"wingdings", 0x75, "\u25C6"}, {"wingdings", 0xA1, "\u25CB"},
    };
    const std::string name = testing::FirstFamily(font);
    for (const Shown& shown : kShown)
        if (name == shown.Font && code == shown.Code) return std::string(shown.Character);
    return std::nullopt;
}

// Families Word pages name for code, which a reader has only when the book falls back to a
// monospaced face.
bool MonospacedFamily(const std::string& family) {
    constexpr const char* kMonospaced[] = {"courier new",
                                           "courier",
                                           "consolas",
                                           "lucida console",
                                           "lucida sans typewriter",
                                           "menlo",
                                           "monaco",
                                           "andale mono",
                                           "source code pro",
                                           "dejavu sans mono",
                                           "liberation mono",
                                           "cascadia code",
                                           "cascadia mono"};
    const std::string first = testing::FirstFamily(family);
    return testing::FallsBackToMonospace(family) ||
           std::any_of(std::begin(kMonospaced), std::end(kMonospaced),
                       [&](const char* name) { return first == name; });
}

// The code of the one character of UTF-8 `text` as a symbol font draws it: its own code up to
// 0xFF, the low byte of a private-use U+F0xx; nothing for other texts.
std::optional<unsigned> SymbolCode(const std::string& text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.size() == 1) return byte(0);
    if (text.size() == 2 && (byte(0) & 0xE0) == 0xC0)
        return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    if (text.size() == 3 && byte(0) == 0xEF && (byte(1) & 0xFC) == 0x80)
        return ((byte(1) & 0x3F) << 6 | (byte(2) & 0x3F)) & 0xFF;
    return std::nullopt;
}

// The character before 0-based `at` in UTF-8 `text`, blanks skipped.
std::string CharacterBefore(const std::string& text, std::size_t at) {
    while (at > 0 && text[at - 1] == ' ') --at;
    std::size_t start = at;
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
    if (start > 0) --start;
    return text.substr(start, at - start);
}

// One book's chapters as a reader sees them.
struct BookLooks {
    std::vector<StyledText> Chapters;

    // The look at the start of `text` where it stands in the book: a heading's look before any
    // other (a contents list may repeat its words), else the last place.
    std::optional<TextLook> LookOf(const std::string& text) const {
        std::optional<TextLook> found;
        for (const StyledText& chapter : Chapters) {
            for (const std::size_t at : chapter.Find(text)) {
                if (found && found->Heading && !chapter.LookAt(at).Heading) continue;
                found = chapter.LookAt(at);
            }
        }
        return found;
    }

    // Where the book stands in reading order: a chapter and an offset in its text.
    struct Place {
        std::size_t Chapter = 0, At = 0;
    };

    // The look of the first heading that holds `text` at or after `from`, which moves past it:
    // the document's headings are met in the book's order, so a heading named like an earlier
    // one ("Properties" in several sections) is matched with its own place.
    std::optional<TextLook> NextHeadingLook(const std::string& text, Place& from) const {
        for (std::size_t chapter = from.Chapter; chapter < Chapters.size(); ++chapter) {
            for (const std::size_t at : Chapters[chapter].Find(text)) {
                if (chapter == from.Chapter && at < from.At) continue;
                if (!Chapters[chapter].LookAt(at).Heading) continue;
                from = {chapter, at + 1};
                return Chapters[chapter].LookAt(at);
            }
        }
        return std::nullopt;
    }

    bool AnyOccurrence(const std::string& text,
                       const std::function<bool(const TextLook&)>& accept) const {
        return std::any_of(Chapters.begin(), Chapters.end(), [&](const StyledText& chapter) {
            return chapter.AnyOccurrence(text, accept);
        });
    }

    bool Holds(const std::string& text) const {
        return std::any_of(Chapters.begin(), Chapters.end(),
                           [&](const StyledText& chapter) { return !chapter.Find(text).empty(); });
    }

    // Whether some place of `text` has `character` before it.
    bool PrecededBy(const std::string& text, const std::string& character) const {
        for (const StyledText& chapter : Chapters)
            for (const std::size_t at : chapter.Find(text))
                if (CharacterBefore(chapter.Text(), at) == character) return true;
        return false;
    }
};

// The chapters `names` of the book whose files stand in `ops`, with the sheets each links.
BookLooks ReadBookLooks(const std::string& ops, const std::vector<std::string>& names) {
    BookLooks looks;
    const std::regex sheetLink("href=\"([^\"]+\\.css)\"");
    for (const std::string& name : names) {
        const std::string page = LoadTextFile(ops + name);
        std::vector<std::string> sheets;
        for (auto it = std::sregex_iterator(page.begin(), page.end(), sheetLink);
             it != std::sregex_iterator(); ++it)
            sheets.push_back(LoadTextFile(ops + (*it)[1].str()));
        looks.Chapters.emplace_back(page, sheets);
    }
    return looks;
}

BookLooks ReadBookLooks(const BookProject& book) {
    return ReadBookLooks(book.OpsFolder, book.ChapterFiles);
}

// The book another build of the command (`program`, with its subcommand `command`: "word" or
// "word-html") makes of `source` with its defaults, its chapters read in the order of its
// spine; nothing when it fails.
std::optional<BookLooks> MadeByProgram(const std::string& program, const std::string& command,
                                       const std::string& source, const std::string& work) {
    const std::string line = "HOME='" + work + "' '" + program + "' " + command +
                             " -q --keep-work '" + work + "/keep' -o '" + work + "/book.epub' '" +
                             source + "' >/dev/null 2>&1";
    if (std::system(line.c_str()) != 0) return std::nullopt;
    const std::string ops = work + "/keep/temp/OPS/";
    pugi::xml_document package;
    if (!package.load_file((ops + "content.opf").c_str())) return std::nullopt;
    std::map<std::string, std::string> items;
    for (const pugi::xml_node item : package.document_element().child("manifest").children("item"))
        items[item.attribute("id").value()] = item.attribute("href").value();
    std::vector<std::string> chapters;
    for (const pugi::xml_node item : package.document_element().child("spine").children("itemref"))
        if (const std::string href = items[item.attribute("idref").value()];
            !href.starts_with("coverpage.") && !href.starts_with("titlepage."))
            chapters.push_back(href);
    return ReadBookLooks(ops, chapters);
}

// QUIREBOOK_COMPARE_PROGRAM: another build of the command, whose figures are printed beside
// (not judged).
const char* CompareProgram() {
    return std::getenv("QUIREBOOK_COMPARE_PROGRAM");
}

// What one document shows and how much of it the book shows alike.
struct Tally {
    int Headings = 0, HeadingsInProportion = 0;
    double WorstHeading = 0;  // the largest departure from Word's proportion, in %
    int Monospaced = 0, MonospacedKept = 0;
    int Underlined = 0, UnderlineKept = 0;
    int Struck = 0, StrikeKept = 0;
    int Bullets = 0, BulletsShown = 0;
    int NotFound = 0;  // texts of the document the book does not hold in one piece
    std::vector<std::string> Misses;

    void Miss(const std::string& what) {
        if (Misses.size() < 6) Misses.push_back(what);
    }

    // Counts a run of one kind: whether the book shows it as Word does.
    void Check(const BookLooks& book, const std::string& text, int& total, int& kept,
               const std::function<bool(const TextLook&)>& accept, const char* kind) {
        if (testing::SingleSpaced(text).size() < 4) return;
        if (!book.Holds(text)) {
            ++NotFound;
            return;
        }
        ++total;
        if (book.AnyOccurrence(text, accept))
            ++kept;
        else
            Miss(std::string(kind) + " \"" + testing::SingleSpaced(text).substr(0, 40) + "\"");
    }

    void CheckHeading(double wordRatio, std::optional<TextLook> look, double bookNormal,
                      const std::string& text) {
        if (!look) {
            ++NotFound;
            return;
        }
        ++Headings;
        const double departure = std::abs(look->Points / bookNormal / wordRatio - 1) * 100;
        WorstHeading = std::max(WorstHeading, departure);
        if (departure <= 10)
            ++HeadingsInProportion;
        else
            Miss("heading \"" + text.substr(0, 30) + "\" " + std::to_string(departure) + " %");
    }

    std::string Figures() const {
        char line[400];
        std::snprintf(line, sizeof line,
                      "headings %d, in proportion %d (worst %.1f %%); monospaced runs %d, kept %d; "
                      "underlined %d, kept %d; struck %d, kept %d; symbol bullets %d, shown %d; "
                      "texts not found whole %d",
                      Headings, HeadingsInProportion, WorstHeading, Monospaced, MonospacedKept,
                      Underlined, UnderlineKept, Struck, StrikeKept, Bullets, BulletsShown,
                      NotFound);
        return line;
    }

    void Add(const Tally& other) {
        Headings += other.Headings;
        HeadingsInProportion += other.HeadingsInProportion;
        WorstHeading = std::max(WorstHeading, other.WorstHeading);
        Monospaced += other.Monospaced;
        MonospacedKept += other.MonospacedKept;
        Underlined += other.Underlined;
        UnderlineKept += other.UnderlineKept;
        Struck += other.Struck;
        StrikeKept += other.StrikeKept;
        Bullets += other.Bullets;
        BulletsShown += other.BulletsShown;
        NotFound += other.NotFound;
    }

    bool AllKept() const {
        return Headings == HeadingsInProportion && Monospaced == MonospacedKept &&
               Underlined == UnderlineKept && Struck == StrikeKept && Bullets == BulletsShown;
    }
};

bool Monospace(const TextLook& look) {
    return look.Family == "monospace" || testing::FallsBackToMonospace(look.Family);
}

Tally CompareDocument(const testing::WordDocumentLooks& word, const BookLooks& book) {
    Tally tally;
    // The book's body size: that of the first long paragraph of body text at Word's body size.
    double bookNormal = 12;
    for (const testing::WordParagraphLook& paragraph : word.Paragraphs) {
        if (!paragraph.DefaultStyle || paragraph.HeadingLevel != 0 || paragraph.Runs.empty() ||
            paragraph.Text.size() < 30 || paragraph.Runs.front().Points != word.NormalPoints)
            continue;
        if (const std::optional<TextLook> look = book.LookOf(paragraph.Text)) {
            bookNormal = look->Points;
            break;
        }
    }
    BookLooks::Place nextHeading;
    for (const testing::WordParagraphLook& paragraph : word.Paragraphs) {
        if (paragraph.HeadingLevel != 0 && !paragraph.Runs.empty() &&
            testing::SingleSpaced(paragraph.Text).size() >= 3) {
            // A paragraph with an outline level that the book writes as body text is looked for
            // wherever it stands.
            std::optional<TextLook> look = book.NextHeadingLook(paragraph.Text, nextHeading);
            if (!look) look = book.LookOf(paragraph.Text);
            tally.CheckHeading(paragraph.Runs.front().Points / word.NormalPoints, look, bookNormal,
                               paragraph.Text);
        }
        for (const testing::WordRunLook& run : paragraph.Runs) {
            if (run.Monospaced)
                tally.Check(book, run.Text, tally.Monospaced, tally.MonospacedKept, Monospace,
                            "monospaced");
            if (run.Underline)
                tally.Check(
                    book, run.Text, tally.Underlined, tally.UnderlineKept,
                    [](const TextLook& look) { return look.Underline; }, "underlined");
            if (run.Strike)
                tally.Check(
                    book, run.Text, tally.Struck, tally.StrikeKept,
                    [](const TextLook& look) { return look.Strike; }, "struck");
        }
        const std::optional<std::string> bullet =
            ShownBullet(paragraph.BulletFont, paragraph.BulletCode);
        if (bullet && testing::SingleSpaced(paragraph.Text).size() >= 3) {
            if (!book.Holds(paragraph.Text)) {
                ++tally.NotFound;
                continue;
            }
            ++tally.Bullets;
            if (book.PrecededBy(paragraph.Text, *bullet))
                ++tally.BulletsShown;
            else
                tally.Miss("bullet before \"" + paragraph.Text.substr(0, 30) + "\"");
        }
    }
    return tally;
}

// Prints a document's figures when it shows any of the looks, judges it and adds it to `all`.
void Report(const std::string& name, const Tally& tally, Tally& all) {
    if (tally.Headings + tally.Monospaced + tally.Underlined + tally.Struck + tally.Bullets > 0)
        std::printf("[ figures  ] %s: %s\n", name.c_str(), tally.Figures().c_str());
    std::string misses;
    for (const std::string& miss : tally.Misses) misses += "\n    " + miss;
    EXPECT_TRUE(tally.AllKept()) << name << ": " << tally.Figures() << misses;
    all.Add(tally);
}

// Prints the figures of a document's book made by the compared program, and gives them.
const Tally& PrintCompared(const std::string& name, const Tally& tally) {
    std::printf("[ figures  ] %s (%s): %s\n", name.c_str(), CompareProgram(),
                tally.Figures().c_str());
    return tally;
}

// The size most of a text's characters outside headings have: its body text's.
double BodyPoints(const std::vector<StyledText>& texts) {
    std::map<double, std::size_t> counts;
    for (const StyledText& text : texts)
        for (std::size_t at = 0; at < text.Text().size(); ++at)
            if (text.Text()[at] != ' ' && !text.LookAt(at).Heading)
                ++counts[text.LookAt(at).Points];
    double most = 12;
    std::size_t count = 0;
    for (const auto& [points, times] : counts)
        if (times > count) most = points, count = times;
    return most;
}

// The text after a run of `source`, blanks skipped: at most 24 bytes, whole characters, up to
// the next text of a symbol font (the next item's bullet).
std::string TextAfter(const StyledText& source, std::size_t at) {
    const std::string& text = source.Text();
    while (at < text.size() && text[at] == ' ') ++at;
    std::size_t end = std::min(text.size(), at + 24);
    for (std::size_t i = at; i < end; ++i) {
        const std::string family = testing::FirstFamily(source.LookAt(i).Family);
        if (family == "symbol" || family == "wingdings") end = i;
    }
    while (end > at && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(at, end - at);
}

// A Word page beside the book made of it: what its own style element shows, the book shows alike.
Tally CompareWordPage(const StyledText& source, const BookLooks& book) {
    Tally tally;
    const double sourceBody = BodyPoints({source});
    const double bookBody = BodyPoints(book.Chapters);
    BookLooks::Place nextHeading;
    for (const auto& [at, length] : source.Runs()) {
        const std::string text = source.Text().substr(at, length);
        const TextLook& look = source.LookAt(at);
        if (look.Heading && testing::SingleSpaced(text).size() >= 3) {
            std::optional<TextLook> shown = book.NextHeadingLook(text, nextHeading);
            if (!shown) shown = book.LookOf(text);
            tally.CheckHeading(look.Points / sourceBody, shown, bookBody, text);
        }
        if (MonospacedFamily(look.Family))
            tally.Check(book, text, tally.Monospaced, tally.MonospacedKept, Monospace,
                        "monospaced");
        // A link's underline is the link's look: a link out of the book becomes its text.
        if (look.Underline && !look.Link)
            tally.Check(
                book, text, tally.Underlined, tally.UnderlineKept,
                [](const TextLook& shown) { return shown.Underline; }, "underlined");
        if (look.Strike)
            tally.Check(
                book, text, tally.Struck, tally.StrikeKept,
                [](const TextLook& shown) { return shown.Strike; }, "struck");
        const std::optional<unsigned> code = SymbolCode(text);
        const std::optional<std::string> bullet =
            code ? ShownBullet(look.Family, *code) : std::nullopt;
        const std::string after = TextAfter(source, at + length);
        if (bullet && testing::SingleSpaced(after).size() >= 3) {
            if (!book.Holds(after)) {
                ++tally.NotFound;
                continue;
            }
            ++tally.Bullets;
            if (book.PrecededBy(after, *bullet))
                ++tally.BulletsShown;
            else
                tally.Miss("bullet before \"" + after + "\"");
        }
    }
    return tally;
}

TEST(CorpusWordLooks, EveryWordPageLooksAsItsOwnStyleShowsIt) {
    const fs::path set =
        fs::path(QUIREBOOK_SOURCE_DIR) / ".." / "shared" / "corpus" / "wordhtml" / "utf8";
    if (!fs::is_directory(set)) GTEST_SKIP() << "the corpus is not there";
    std::vector<fs::path> pages;
    for (const auto& folder : fs::directory_iterator(set))
        for (const auto& entry : fs::directory_iterator(folder.path()))
            if (entry.is_regular_file() &&
                (entry.path().extension() == ".htm" || entry.path().extension() == ".html"))
                pages.push_back(entry.path());
    std::sort(pages.begin(), pages.end());
    Tally all, compared;
    for (const fs::path& page : pages) {
        TempFolder temp;
        BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
        book.OutputFolder = temp / "out/";
        BookForm form;
        testing::RecordingUserInterface ui;
        ASSERT_TRUE(ImportWordHtml(book, form, ui, page.string())) << page;
        ASSERT_TRUE(PublishBook(book, form, ui)) << page << book.BuildLog;
        const StyledText source(LoadTextFile(page.string()), {});
        const std::string name = page.parent_path().filename().string();
        if (CompareProgram() != nullptr) {
            if (const auto other =
                    MadeByProgram(CompareProgram(), "word-html", page.string(), temp / "compare"))
                compared.Add(PrintCompared(name, CompareWordPage(source, *other)));
        }
        Report(name, CompareWordPage(source, ReadBookLooks(book)), all);
    }
    if (CompareProgram() != nullptr)
        std::printf("[ figures  ] all %zu Word pages (%s): %s\n", pages.size(), CompareProgram(),
                    compared.Figures().c_str());
    std::printf("[ figures  ] all %zu Word pages: %s\n", pages.size(), all.Figures().c_str());
    EXPECT_GT(pages.size(), 0u);
}

TEST(CorpusWordLooks, EveryDocumentLooksAsWordShowsIt) {
    const std::string corpus = testing::CorpusPath("docx");
    if (corpus.empty()) GTEST_SKIP() << "the corpus is not there";
    Tally all, compared;
    int documents = 0;
    for (const char* set : {"/word", "/books", "/pandoc-written"}) {
        std::vector<fs::path> paths;
        for (const auto& entry : fs::directory_iterator(corpus + set))
            if (entry.path().extension() == ".docx") paths.push_back(entry.path());
        std::sort(paths.begin(), paths.end());
        for (const fs::path& path : paths) {
            ++documents;
            TempFolder temp;
            BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
            book.OutputFolder = temp / "out/";
            BookForm form;
            testing::RecordingUserInterface ui;
            WordConnection word(ProgramWordFactory(book));
            ASSERT_TRUE(OpenWordDocument(book, form, ui, word, path.string())) << path;
            ASSERT_TRUE(PublishBook(book, form, ui)) << path << book.BuildLog;
            const testing::WordDocumentLooks looks = testing::ReadWordDocumentLooks(path.string());
            if (CompareProgram() != nullptr) {
                if (const auto other =
                        MadeByProgram(CompareProgram(), "word", path.string(), temp / "compare"))
                    compared.Add(PrintCompared(path.filename(), CompareDocument(looks, *other)));
            }
            Report(path.filename(), CompareDocument(looks, ReadBookLooks(book)), all);
        }
    }
    if (CompareProgram() != nullptr)
        std::printf("[ figures  ] all %d documents (%s): %s\n", documents, CompareProgram(),
                    compared.Figures().c_str());
    std::printf("[ figures  ] all %d documents: %s\n", documents, all.Figures().c_str());
    EXPECT_GT(documents, 0);
}

}  // namespace
}  // namespace quirebook
