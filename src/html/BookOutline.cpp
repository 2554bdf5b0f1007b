#include "html/BookOutline.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>

#include "epub/EscapeRules.h"
#include "html/CarryResources.h"
#include "html/Charset.h"
#include "html/ResourceRoot.h"
#include "text/Encoding.h"
#include "text/Entities.h"
#include "text/OrderedWork.h"
#include "text/TextFiles.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

// The style sheets of a book's pages, each read once, from inside the book's root only.
class BookSheets {
  public:
    explicit BookSheets(const BookProject& project) : m_root(BookResourceRoot(project)) {}

    // The sheet `reference` names from the folder `base`: its text, `place` set to its key;
    // empty when it may not be read.
    std::string Read(const std::string& reference, const std::string& base, std::string& place) {
        place = Locate(reference, base);
        if (place.empty()) return {};
        const std::lock_guard<std::mutex> lock(m_mutex);
        auto [found, added] = m_texts.try_emplace(place);
        if (added) found->second = PageToUtf8(ReadTextFile(place));
        return found->second;
    }

    // The hiding selectors of the sheet `reference` names from `base`, read once for the book.
    SelectorList HidingSelectorsOf(const std::string& reference, const std::string& base,
                                   const StyleSheetSource& source) {
        std::string place;
        const std::string css = Read(reference, base, place);
        if (css.empty()) return {};
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (const auto found = m_hiding.find(place); found != m_hiding.end())
                return found->second;
        }
        SelectorList hiding = HidingSelectors(css, place, source);
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_hiding.try_emplace(place, std::move(hiding)).first->second;
    }

  private:
    std::string Locate(const std::string& reference, const std::string& base) const {
        const ResolvedResource sheet =
            m_root.Resolve(DecodeEntities(reference), base, {ResourceKind::StyleSheet});
        return sheet.Status == ResourceStatus::Found ? sheet.Key : std::string();
    }

    ResourceRoot m_root;
    std::mutex m_mutex;
    std::map<std::string, std::string> m_texts;
    std::map<std::string, SelectorList> m_hiding;
};

// The sheets one page reaches: relative to the page's folder, or to the sheet naming them.
class PageSheets final : public StyleSheetSource {
  public:
    PageSheets(BookSheets& book, std::string pageFolder)
        : m_book(book), m_pageFolder(std::move(pageFolder)) {}
    std::string Read(const std::string& reference, const std::string& from,
                     std::string& place) const override {
        const std::string base =
            from.empty() ? m_pageFolder : fs::path(from).parent_path().string();
        try {
            return m_book.Read(reference, base, place);
        } catch (const std::exception&) {
            return {};  // a sheet that cannot be read hides nothing
        }
    }
    SelectorList HidingSelectorsOf(const std::string& reference) const override {
        try {
            return m_book.HidingSelectorsOf(reference, m_pageFolder, *this);
        } catch (const std::exception&) {
            return {};
        }
    }

  private:
    BookSheets& m_book;
    std::string m_pageFolder;
};

std::string PlainTitle(const std::string& escaped) {
    return SingleSpaced(DecodeEntities(escaped));
}

std::string EntryText(const std::string& plain) {
    return EscapeMarkup(ShortenedLabel(plain));
}

// A new id for the heading (table, figure) numbered `ordinal`: `prefix` + N, or with "_2", "_3"
// ... when the page holds the id already.
std::string NewAnchor(const char* prefix, int ordinal,
                      std::map<std::string, int, std::less<>>& ids) {
    const std::string base = prefix + std::to_string(ordinal);
    std::string anchor = base;
    for (int suffix = 2; ids.count(anchor) != 0; ++suffix)
        anchor = base + "_" + std::to_string(suffix);
    ids[anchor] = 1;
    return anchor;
}

// The values of the id attributes written in `text` with quotes, as the conversion writes them.
std::set<std::string_view> WrittenIds(std::string_view text) {
    std::set<std::string_view> ids;
    for (std::size_t at = text.find("id="); at != std::string_view::npos;
         at = text.find("id=", at + 3)) {
        const std::size_t open = at + 3;
        if (open >= text.size() || (text[open] != '"' && text[open] != '\'')) continue;
        const std::size_t close = text.find(text[open], open + 1);
        if (close == std::string_view::npos) break;
        ids.insert(text.substr(open + 1, close - open - 1));
    }
    return ids;
}

// The folder chapter `index` is read from, for the style sheets it names.
std::string PageFolder(const BookProject& project, std::size_t index) {
    return (fs::path(project.SourceFolder) / project.ChapterFiles[index]).parent_path().string();
}

}  // namespace

std::vector<PageOutline> OutlineChapters(const BookProject& project, const ChapterTexts& texts) {
    BookSheets sheets(project);
    std::vector<PageOutline> outlines(texts.size());
    WorkInOrder(
        texts.size(), project.ThreadCount(),
        [&](std::size_t i) {
            const PageSheets pageSheets(sheets, PageFolder(project, i));
            outlines[i] = OutlineOfPage(texts[i], &pageSheets);
        },
        [](std::size_t) {});
    return outlines;
}

std::vector<FurnitureBlock> LeaveOutFurnitureAndOutline(const BookProject& project,
                                                        ChapterTexts& texts, FurnitureChoice choice,
                                                        std::vector<PageOutline>& outlines) {
    BookSheets sheets(project);
    std::vector<std::optional<PageOutline>> read(texts.size());
    std::vector<char> limited(texts.size(), 0);  // the page parsed is not the chapter's text
    choice.OnParse = [&](std::size_t c, const GumboDocument& parsed, std::string_view page) {
        const PageSheets pageSheets(sheets, PageFolder(project, c));
        read[c] = OutlineOfParsedPage(parsed, page, &pageSheets);
        limited[c] = page != texts[c];
    };
    const std::vector<FurnitureBlock> blocks = RemovePageFurniture(texts, choice);
    std::vector<std::vector<std::pair<std::size_t, std::size_t>>> cuts(texts.size());
    for (const FurnitureBlock& block : blocks)
        if (!block.Kept) cuts[block.Chapter].emplace_back(block.Begin, block.End);
    outlines.assign(texts.size(), PageOutline());
    WorkInOrder(
        texts.size(), project.ThreadCount(),
        [&](std::size_t c) {
            if (!read[c]) {
                const PageSheets pageSheets(sheets, PageFolder(project, c));
                outlines[c] = OutlineOfPage(texts[c], &pageSheets);
                return;
            }
            outlines[c] = std::move(*read[c]);
            // A cut chapter is the parsed page less its cuts; an uncut one is its own text,
            // which is not the page parsed when the parse had to limit its nesting.
            if (!cuts[c].empty())
                LeaveOutCuts(outlines[c], cuts[c]);
            else if (limited[c])
                ForgetPlaces(outlines[c]);
        },
        [](std::size_t) {});
    return blocks;
}

std::vector<HeadingEntry> BookNavigation(const BookProject& project,
                                         const std::vector<PageOutline>& outlines) {
    std::vector<HeadingEntry> entries;
    int previousLevel = 0;
    for (std::size_t chapter = 0; chapter < outlines.size(); ++chapter) {
        const std::vector<OutlineHeading>& headings = outlines[chapter].Headings;
        std::string title = chapter < project.ChapterTitles.size()
                                ? PlainTitle(project.ChapterTitles[chapter])
                                : std::string();
        // The first heading names the chapter when the title was taken from it, or when the
        // chapter has no title.
        const bool titledByHeading =
            !headings.empty() && (title.empty() || title == headings.front().Label);
        if (title.empty())
            title = titledByHeading ? headings.front().Label : project.ChapterFiles[chapter];
        const int index = static_cast<int>(chapter);
        // A chapter stands at the level its contents page gives it, at most one below the
        // chapter before it, whatever order the grid put them in.
        const auto given = project.ChapterLevels.find(project.ChapterFiles[chapter]);
        const int chapterLevel = std::clamp(
            given == project.ChapterLevels.end() ? 1 : given->second, 1, previousLevel + 1);
        previousLevel = chapterLevel;
        entries.push_back({EntryText(title), chapterLevel, index, 0, std::string()});
        // Every heading of a chapter lies beneath it, nested in the headings before it of a
        // higher level.
        std::vector<int> open;  // the levels of the headings the next one may nest in
        for (std::size_t h = titledByHeading ? 1 : 0; h < headings.size(); ++h) {
            const int level = headings[h].Level;
            while (!open.empty() && open.back() >= level) open.pop_back();
            entries.push_back({EntryText(headings[h].Label),
                               chapterLevel + 1 + static_cast<int>(open.size()), index,
                               static_cast<int>(h) + 1, headings[h].Id});
            open.push_back(level);
        }
    }
    // The titled tables and figures follow, each list in reading order.
    const auto list = [&](NavigationList kind, auto objects) {
        for (std::size_t chapter = 0; chapter < outlines.size(); ++chapter) {
            const std::vector<OutlineHeading>& found = outlines[chapter].*objects;
            for (std::size_t o = 0; o < found.size(); ++o)
                entries.push_back({EntryText(found[o].Label), 1, static_cast<int>(chapter),
                                   static_cast<int>(o) + 1, found[o].Id, kind});
        }
    };
    list(NavigationList::Tables, &PageOutline::Tables);
    list(NavigationList::Figures, &PageOutline::Figures);
    return entries;
}

void AnchorHeadings(std::vector<HeadingEntry>& entries, const std::vector<PageOutline>& outlines,
                    ChapterTexts& texts) {
    // Per chapter the texts to insert, by offset; written from the end, so that each offset
    // still holds when its text goes in.
    std::vector<std::map<std::size_t, std::string>> insertions(texts.size());
    std::vector<std::map<std::string, int, std::less<>>> ids(texts.size());
    for (std::size_t chapter = 0; chapter < outlines.size(); ++chapter)
        ids[chapter] = outlines[chapter].Ids;
    for (HeadingEntry& entry : entries) {
        if (entry.Ordinal == 0 || !entry.Anchor.empty()) continue;
        const auto chapter = static_cast<std::size_t>(entry.Chapter);
        const PageOutline& outline = outlines[chapter];
        const std::vector<OutlineHeading>& places =
            entry.List == NavigationList::Tables    ? outline.Tables
            : entry.List == NavigationList::Figures ? outline.Figures
                                                    : outline.Headings;
        const OutlineHeading& heading = places[static_cast<std::size_t>(entry.Ordinal - 1)];
        if (heading.TagLength == 0) continue;
        const char* prefix = entry.List == NavigationList::Tables    ? "t"
                             : entry.List == NavigationList::Figures ? "f"
                                                                     : "a";
        entry.Anchor = NewAnchor(prefix, entry.Ordinal, ids[chapter]);
        // The id goes after the tag's name ("<h2", "<table"), or inside on an empty anchor.
        const std::string_view tag(texts[chapter].data() + heading.TagStart, heading.TagLength);
        const std::size_t nameEnd = tag.find_first_of(" \t\r\n\f/>");
        if (heading.HasIdAttribute || nameEnd == std::string_view::npos)
            insertions[chapter][heading.TagStart + heading.TagLength] =
                "<a id=\"" + entry.Anchor + "\"></a>";
        else
            insertions[chapter][heading.TagStart + nameEnd] = " id=\"" + entry.Anchor + "\"";
    }
    for (std::size_t chapter = 0; chapter < texts.size(); ++chapter) {
        if (insertions[chapter].empty()) continue;
        std::string& text = texts[chapter];
        std::string anchored;
        anchored.reserve(text.size() + 32 * insertions[chapter].size());
        std::size_t copied = 0;
        for (const auto& [offset, insertion] : insertions[chapter]) {
            anchored.append(text, copied, offset - copied);
            anchored += insertion;
            copied = offset;
        }
        anchored.append(text, copied);
        text = std::move(anchored);
    }
}

void KeepHeldAnchors(BookProject& project, const ChapterTexts& texts) {
    std::map<std::size_t, std::set<std::string_view>> held;  // by chapter, read when first asked
    for (HeadingEntry& entry : project.HeadingEntries) {
        const auto chapter = static_cast<std::size_t>(entry.Chapter);
        if (entry.Anchor.empty() || chapter >= texts.size()) continue;
        auto found = held.find(chapter);
        if (found == held.end()) found = held.emplace(chapter, WrittenIds(texts[chapter])).first;
        if (found->second.count(entry.Anchor) != 0) continue;
        project.AddLog("The heading \"" + entry.Text + "\" of " + project.ChapterFiles[chapter] +
                       " lost its anchor " + entry.Anchor +
                       " in the conversion: the table of contents leads to the chapter's start");
        entry.Anchor.clear();
    }
}

void MakeUtf16PagesUtf8(ChapterTexts& texts) {
    for (std::string& text : texts)
        if (ByteOrderMarkEncoding(text).rfind("UTF-16", 0) == 0)
            text = SetCharset(PageToUtf8(text), "utf-8");
}

std::vector<HeadingEntry> OutlineBook(BookProject& project, ChapterTexts& texts,
                                      std::vector<PageOutline> outlines) {
    if (!project.Options.TocFromHeadings) return {};
    if (outlines.size() != texts.size()) outlines = OutlineChapters(project, texts);
    std::vector<HeadingEntry> entries = BookNavigation(project, outlines);
    if (std::none_of(entries.begin(), entries.end(), [](const HeadingEntry& entry) {
            return entry.Ordinal > 0 && entry.List == NavigationList::Contents;
        }))
        project.AddLog("Auto generate TOC failed, no headings found.");
    AnchorHeadings(entries, outlines, texts);
    return entries;
}

}  // namespace quirebook
