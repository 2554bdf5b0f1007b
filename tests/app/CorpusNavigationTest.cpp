// The navigation of every web book of the corpus, made with the default options, reaches the
// entries of the site's own contents list with their nesting, repeats no label of the site's
// furniture and cuts no label inside a word. With QUIREBOOK_COMPARE_PROGRAM set to another build
// of the command, the figures of its books are printed beside (not judged).
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "CorpusBook.h"
#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/Publish.h"
#include "app/WebImport.h"
#include "html/Charset.h"
#include "html/GumboPage.h"
#include "html/PageFurniture.h"
#include "html/PageOutline.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// An entry of a table of contents: the site's, or the book's.
struct Entry {
    std::string Label;
    int Parent = -1;      // index of the entry it is nested in
    std::string Chapter;  // the file it leads to
    std::string Fragment;
    bool Listed = false;  // a target of a list of tables or figures, not of the map
};

// --- The book's table of contents ---------------------------------------------------------

void ReadPoints(const pugi::xml_node& holder, int parent, std::vector<Entry>& entries) {
    for (const pugi::xml_node& point : holder.children("navPoint")) {
        const std::string src = point.child("content").attribute("src").value();
        const std::size_t hash = src.find('#');
        entries.push_back({SingleSpaced(point.child("navLabel").child_value("text")), parent,
                           src.substr(0, hash),
                           hash == std::string::npos ? std::string() : src.substr(hash + 1)});
        ReadPoints(point, static_cast<int>(entries.size()) - 1, entries);
    }
}

// The points of the navigation map, then the targets of its lists (of tables, of figures), each
// at the top.
std::vector<Entry> ReadNcx(const std::string& path) {
    pugi::xml_document ncx;
    EXPECT_TRUE(ncx.load_file(path.c_str())) << path;
    std::vector<Entry> entries;
    ReadPoints(ncx.child("ncx").child("navMap"), -1, entries);
    for (const pugi::xml_node& list : ncx.child("ncx").children("navList")) {
        for (const pugi::xml_node& target : list.children("navTarget")) {
            const std::string src = target.child("content").attribute("src").value();
            const std::size_t hash = src.find('#');
            entries.push_back({SingleSpaced(target.child("navLabel").child_value("text")), -1,
                               src.substr(0, hash),
                               hash == std::string::npos ? std::string() : src.substr(hash + 1),
                               true});
        }
    }
    return entries;
}

// --- The site's contents list -------------------------------------------------------------

struct SiteLink {
    Entry Link;
    int Depth = 0;                         // lists around it
    const GumboNode* Outermost = nullptr;  // the outermost list holding it
};

bool IsList(GumboTag tag) {
    return tag == GUMBO_TAG_UL || tag == GUMBO_TAG_OL || tag == GUMBO_TAG_DL;
}

std::string TextUnder(const GumboNode& node) {
    if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE ||
        node.type == GUMBO_NODE_CDATA)
        return node.v.text.text;
    if (!IsElement(node)) return {};
    std::string text;
    for (unsigned i = 0; i < node.v.element.children.length; ++i)
        text += TextUnder(ChildAt(node.v.element, i));
    return text;
}

class SiteReader {
  public:
    SiteReader(const std::vector<std::string>& chapters, std::string page)
        : m_chapters(chapters.begin(), chapters.end()), m_page(std::move(page)) {}

    void Visit(const GumboNode& node, int depth, const GumboNode* outermost) {
        if (!IsElement(node)) return;
        const GumboElement& element = node.v.element;
        if (IsList(element.tag) || element.tag == GUMBO_TAG_TABLE) {
            if (outermost == nullptr) outermost = &node;
            if (IsList(element.tag)) ++depth;
        }
        if (element.tag == GUMBO_TAG_A) {
            if (const auto href = AttributeOf(element, "href")) Add(*href, node, depth, outermost);
        }
        for (unsigned i = 0; i < element.children.length; ++i)
            Visit(ChildAt(element, i), depth, outermost);
    }

    // Every link into the book, each nested in the link before it of a shallower depth in the
    // same outermost list (the entries of one list nest; two lists do not).
    std::vector<Entry> Links() const {
        std::vector<Entry> entries;
        for (std::size_t k = 0; k < m_links.size(); ++k) {
            const SiteLink& link = m_links[k];
            Entry entry = link.Link;
            for (std::size_t i = k; i-- > 0;) {
                if (link.Outermost == nullptr || m_links[i].Outermost != link.Outermost) break;
                if (m_links[i].Depth < link.Depth) {
                    entry.Parent = static_cast<int>(i);
                    break;
                }
            }
            entries.push_back(entry);
        }
        return entries;
    }

  private:
    void Add(std::string_view href, const GumboNode& node, int depth, const GumboNode* outermost) {
        const std::string target(href.substr(0, href.find_first_of("?#")));
        const std::size_t hash = href.find('#');
        const std::string fragment =
            hash == std::string_view::npos ? std::string() : std::string(href.substr(hash + 1));
        const bool onePage = m_chapters.size() == 1;
        // A link into the book: to another chapter, or in a book of one page to a place in it.
        if (target.empty() ? !(onePage && !fragment.empty())
                           : m_chapters.count(target) == 0 || (target == m_page && !onePage))
            return;
        const std::string label = SingleSpaced(TextUnder(node));
        if (label.empty()) return;
        m_links.push_back(
            {{label, -1, target.empty() ? m_page : target, fragment}, depth, outermost});
    }

    std::set<std::string> m_chapters;
    std::string m_page;
    std::vector<SiteLink> m_links;
};

// The contents list of a book's site: the links into the book of its first page (the contents
// page, or a book of one page's own contents), read from the page without its furniture.
std::vector<Entry> SiteContents(const BookProject& book) {
    std::vector<std::string> pages;
    for (const std::string& chapter : book.ChapterFiles)
        pages.push_back(PageToUtf8(LoadTextFile(book.SourceFolder + chapter)));
    FurnitureChoice furniture;
    furniture.ChapterPaths = book.ChapterFiles;
    RemovePageFurniture(pages, furniture);
    const GumboDocument parsed(pages.front());
    SiteReader reader(book.ChapterFiles, book.ChapterFiles.front());
    reader.Visit(parsed.Body(), 0, nullptr);
    return reader.Links();
}

// --- Matching -----------------------------------------------------------------------------

// A label as compared: ASCII letters in lower case, other ASCII signs as spaces, spaces single.
std::string Normal(const std::string& label) {
    std::string normal = AsciiLower(label);
    for (char& c : normal)
        if (static_cast<unsigned char>(c) < 0x80 && !std::isalnum(static_cast<unsigned char>(c)))
            c = ' ';
    return SingleSpaced(normal);
}

// Whether the book's label names the site's entry: the same words, or the site's words within
// the book's ("1. Tutorials" in "Chapter 1. Tutorials", "I." in "CHAPTER I. HER BIRTHDAY").
bool Names(const std::string& book, const std::string& site) {
    const std::string b = " " + Normal(book) + " ";
    const std::string s = " " + Normal(site) + " ";
    return s.size() > 2 && b.find(s) != std::string::npos;
}

bool IsAncestor(const std::vector<Entry>& entries, int ancestor, int entry) {
    for (int at = entries[static_cast<std::size_t>(entry)].Parent; at >= 0;
         at = entries[static_cast<std::size_t>(at)].Parent)
        if (at == ancestor) return true;
    return false;
}

struct Reach {
    std::size_t Entries = 0;
    std::size_t Reached = 0;
    std::size_t NestingKept = 0;
    std::vector<std::string> Missed;
    std::vector<std::string> Misnested;
};

Reach Measure(const std::vector<Entry>& site, const std::vector<Entry>& book) {
    Reach reach;
    reach.Entries = site.size();
    std::vector<int> match(site.size(), -1);
    std::vector<bool> used(book.size(), false);
    std::size_t from = 0;
    for (std::size_t s = 0; s < site.size(); ++s) {
        // In reading order from the last match on, then anywhere.
        for (std::size_t pass = 0; pass < 2 && match[s] < 0; ++pass) {
            for (std::size_t b = pass == 0 ? from : 0; b < book.size(); ++b) {
                if (used[b] || !Names(book[b].Label, site[s].Label)) continue;
                match[s] = static_cast<int>(b);
                used[b] = true;
                from = b + 1;
                break;
            }
        }
        if (match[s] < 0) reach.Missed.push_back(site[s].Label);
    }
    for (std::size_t s = 0; s < site.size(); ++s) {
        if (match[s] < 0) continue;
        ++reach.Reached;
        // Its site parent, when reached, is an ancestor in the book; and no entry the site does
        // not nest it in is.
        bool kept = true;
        const int parent = site[s].Parent;
        if (parent >= 0 && match[static_cast<std::size_t>(parent)] >= 0 &&
            !IsAncestor(book, match[static_cast<std::size_t>(parent)], match[s]))
            kept = false;
        for (std::size_t other = 0; other < site.size() && kept; ++other) {
            if (match[other] < 0 || other == s) continue;
            if (IsAncestor(book, match[other], match[s]) &&
                !IsAncestor(site, static_cast<int>(other), static_cast<int>(s)))
                kept = false;
        }
        if (kept)
            ++reach.NestingKept;
        else
            reach.Misnested.push_back(site[s].Label);
    }
    return reach;
}

// Labels the book gives entries of three or more chapters, which the site's list does not
// repeat so.
std::vector<std::string> RepeatedLabels(const std::vector<Entry>& book,
                                        const std::vector<Entry>& site) {
    std::map<std::string, std::set<std::string>> chapters;
    for (const Entry& entry : book) chapters[entry.Label].insert(entry.Chapter);
    std::map<std::string, std::set<std::string>> siteChapters;
    for (const Entry& entry : site) siteChapters[Normal(entry.Label)].insert(entry.Chapter);
    std::vector<std::string> repeated;
    for (const auto& [label, where] : chapters)
        if (where.size() >= 3 && siteChapters[Normal(label)].size() < 3) repeated.push_back(label);
    return repeated;
}

std::string TextOf(const pugi::xml_node& node) {
    std::string text;
    for (const pugi::xpath_node& each : node.select_nodes(".//text()")) text += each.node().value();
    return SingleSpaced(text);
}

// Labels shortened elsewhere than at a word boundary of the heading or title they stand for.
std::vector<std::string> CutLabels(const std::vector<Entry>& book, const std::string& ops) {
    const std::string ellipsis = "\xE2\x80\xA6";
    std::vector<std::string> cut;
    for (const Entry& entry : book) {
        if (entry.Label.size() < ellipsis.size() ||
            entry.Label.compare(entry.Label.size() - ellipsis.size(), ellipsis.size(), ellipsis) !=
                0)
            continue;
        pugi::xml_document chapter;
        chapter.load_file((ops + entry.Chapter).c_str());
        const pugi::xml_node whole =
            entry.Fragment.empty()
                ? chapter.select_node("//*[local-name()='title']").node()
                : chapter.select_node(("//*[@id='" + entry.Fragment + "']").c_str()).node();
        const std::string full = TextOf(whole);
        const std::string kept = entry.Label.substr(0, entry.Label.size() - ellipsis.size());
        if (full.compare(0, kept.size(), kept) != 0 || full.size() <= kept.size() ||
            full[kept.size()] != ' ')
            cut.push_back(entry.Label + " (of \"" + full + "\")");
    }
    return cut;
}

std::string Listed(const std::vector<std::string>& labels, std::size_t most = 12) {
    std::string listed;
    for (std::size_t i = 0; i < labels.size() && i < most; ++i)
        listed += (i == 0 ? "" : " | ") + labels[i];
    return labels.size() > most ? listed + " | ..." : listed;
}

std::string Percent(std::size_t part, std::size_t whole) {
    if (whole == 0) return "-";
    std::ostringstream text;
    text.precision(1);
    text << std::fixed << 100.0 * static_cast<double>(part) / static_cast<double>(whole) << " %";
    return text.str();
}

void Report(const std::string& who, const std::string& name, const Reach& reach,
            std::size_t entries, std::size_t repeated, std::size_t cut) {
    std::cout << "[ figures  ] " << name << " (" << who << "): navigation entries " << entries
              << "; site contents " << reach.Entries << ", reached " << reach.Reached << " ("
              << Percent(reach.Reached, reach.Entries) << "), nesting kept " << reach.NestingKept
              << " (" << Percent(reach.NestingKept, reach.Reached) << "); labels repeated in 3+ "
              << "chapters " << repeated << ", labels cut inside a word " << cut << "\n";
}

// The book another build of the command makes of `book`'s pages with its defaults; the path of
// its OPS folder, or empty when it failed.
std::string MakeWithProgram(const std::string& program, const BookProject& book,
                            const std::string& work) {
    std::string command = "HOME='" + work + "' '" + program + "' make -q --keep-work '" + work +
                          "/keep' -o '" + work + "/book.epub'";
    for (const std::string& chapter : book.ChapterFiles)
        command += " '" + book.SourceFolder + chapter + "'";
    command += " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 ? work + "/keep/temp/OPS/" : std::string();
}

TEST(CorpusNavigation, EveryWebBookReachesTheSitesContentsWithTheirNesting) {
    const std::string corpus = testing::CorpusWebFolder();
    if (corpus.empty()) GTEST_SKIP() << "the corpus of real documents is not beside the checkout";
    const char* compare = std::getenv("QUIREBOOK_COMPARE_PROGRAM");
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus))
        if (fs::exists(entry.path() / "order.txt")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        TempFolder temp;
        BookProject book({QUIREBOOK_SOURCE_DIR "/data", temp.Path()}, temp / "work");
        ASSERT_TRUE(testing::LoadCorpusWebBook(name, book));
        const std::vector<Entry> site = SiteContents(book);

        if (compare != nullptr) {
            const std::string ops = MakeWithProgram(compare, book, temp / "compare");
            if (!ops.empty()) {
                const std::vector<Entry> other = ReadNcx(ops + "toc.ncx");
                Report(compare, name, Measure(site, other), other.size(),
                       RepeatedLabels(other, site).size(), CutLabels(other, ops).size());
            }
        }

        std::vector<std::string> pages;
        for (const std::string& chapter : book.ChapterFiles)
            pages.push_back(book.SourceFolder + chapter);
        book.ChapterFiles.clear();
        BookForm form;
        testing::RecordingUserInterface ui;
        book.OutputFolder = temp / "out/";
        ASSERT_TRUE(ImportWebPages(book, form, ui, pages));
        ASSERT_TRUE(PublishBook(book, form, ui)) << book.BuildLog;
        const std::vector<Entry> toc = ReadNcx(book.OpsFolder + "toc.ncx");
        const Reach reach = Measure(site, toc);
        const std::vector<std::string> repeated = RepeatedLabels(toc, site);
        const std::vector<std::string> cut = CutLabels(toc, book.OpsFolder);
        Report("this build", name, reach, toc.size(), repeated.size(), cut.size());
        if (!reach.Missed.empty()) std::cout << "[ missed   ] " << Listed(reach.Missed) << "\n";

        EXPECT_GE(reach.Reached * 100, reach.Entries * 95)
            << name << " misses: " << Listed(reach.Missed);
        EXPECT_GE(reach.NestingKept * 100, reach.Reached * 95)
            << name << " nests elsewhere: " << Listed(reach.Misnested);
        EXPECT_TRUE(repeated.empty()) << name << " repeats: " << Listed(repeated);
        EXPECT_TRUE(cut.empty()) << name << " cuts: " << Listed(cut);
        // Every chapter is an entry of its own, titled.
        std::size_t chapters = 0;
        for (const Entry& entry : toc) chapters += entry.Parent < 0 && !entry.Listed ? 1 : 0;
        EXPECT_EQ(chapters, book.ChapterFiles.size()) << name;
    }
}

}  // namespace
}  // namespace quirebook
