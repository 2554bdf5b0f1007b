// Repairing the style of a book: its sheets by file, its chapters' style elements and style
// attributes by their bytes in one parse of each chapter, which also finds the elements whose
// direction the sheets set.
#include "html/BookStyleRepair.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <tuple>

#include "css/StyleRules.h"
#include "css/StyleSheetReferences.h"
#include "css/StyleSheetRepair.h"
#include "css/StyleText.h"
#include "html/CssSelectors.h"
#include "html/DirectionCascade.h"
#include "html/GumboPage.h"
#include "html/LinkTargets.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

namespace fs = std::filesystem;

// Notes told for one sheet, style element or chapter's style attributes; the rest are counted.
constexpr std::size_t kNotesTold = 20;

// What a sheet or style element gives the cascade of directions.
struct StyleSource {
    std::vector<DirectionRule> Rules;  // in the order written
    std::vector<std::string> Imports;  // book paths of the sheets it imports, in order
};

// A change to a chapter's bytes: [Begin, End) becomes Text.
struct ByteEdit {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::string Text;
};

std::string QuotedAttributeValue(std::string_view value) {
    return "\"" + PlainReplace(EscapeMarkup(value), "\"", "&quot;") + "\"";
}

bool IsAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// An element of the chapter being walked, with the direction its own style attribute gives it.
struct WalkedElement {
    const GumboNode* Node = nullptr;
    const ElementSubject* Subject = nullptr;
    std::optional<InlineDirection> Own;  // the direction its style attribute declares
};

class StyleRepair {
  public:
    explicit StyleRepair(BookProject& project)
        : m_project(project), m_epub3(project.Options.EpubVersion >= 3) {}

    void Run(ChapterTexts& texts, const std::vector<std::string>& sheets) {
        std::vector<std::string> all = sheets;
        if (m_project.ReplaceStyleSheet && !m_project.ReplacementStyleSheet.empty())
            all.push_back(fs::path(m_project.ReplacementStyleSheet).filename().string());
        for (const std::string& sheet : all)
            if (m_sources.count(sheet) == 0) RepairSheet(sheet);
        for (std::size_t i = 0; i < texts.size(); ++i)
            RepairChapter(m_project.ChapterFiles[i], texts[i]);
        if (m_directedElements > 0) {
            m_project.AddLog("The direction of the style sheets is kept by dir attributes: " +
                             Counted(m_directedElements, "element", "elements") + " of " +
                             Counted(m_directedChapters, "chapter", "chapters"));
        }
    }

  private:
    void RepairSheet(const std::string& sheet) {
        const std::string path = m_project.OpsFolder + sheet;
        const std::string css = ReadTextFile(path);
        const RepairedStyle repaired = RepairStyleSheet(css, m_epub3);
        StyleSource& source = m_sources[sheet];
        Tell("Style sheet " + sheet, repaired.Notes, true);
        source.Rules = DirectionRules(repaired, "Style sheet " + sheet);
        m_sheetsSetDirection = m_sheetsSetDirection || !source.Rules.empty();
        AddImports(repaired.Text, sheet, source);
        if (repaired.Text != css) SaveTextFile(path, repaired.Text);
    }

    // Whether a look at the chapter's bytes finds a style element or style attribute that the
    // repair would change, or one it cannot judge without a parse (an unquoted value, one with
    // character references); "style" elsewhere (in a comment, in text) may count too.
    bool StyleTextChanges(std::string_view text) const {
        for (std::size_t at = FindAnyCase(text, "style"); at != std::string_view::npos;
             at = FindAnyCase(text, "style", at + 5)) {
            if (at > 0 && text[at - 1] == '<') {
                const std::size_t open = text.find('>', at);
                if (open == std::string_view::npos) return true;
                const std::size_t close = std::min(FindAnyCase(text, "</style", open), text.size());
                const std::string_view css = text.substr(open + 1, close - open - 1);
                if (RepairStyleSheet(WithoutCommentMarkers(css), m_epub3).Text != css) return true;
                at = close;
                continue;
            }
            std::size_t equals = at + 5;
            while (equals < text.size() && IsAsciiBlank(text[equals])) ++equals;
            if (equals >= text.size() || text[equals] != '=') continue;
            std::size_t quote = equals + 1;
            while (quote < text.size() && IsAsciiBlank(text[quote])) ++quote;
            if (quote >= text.size() || (text[quote] != '"' && text[quote] != '\'')) return true;
            const std::size_t end = text.find(text[quote], quote + 1);
            if (end == std::string_view::npos) return true;
            const std::string_view value = text.substr(quote + 1, end - quote - 1);
            if (value.find('&') != std::string_view::npos ||
                quirebook::RepairStyleAttribute(value, m_epub3).Text != value)
                return true;
        }
        return false;
    }

    // The notes of one holder in the log, the first kNotesTold of them each on its line.
    void Tell(const std::string& holder, const std::vector<StyleRepairNote>& notes, bool lines) {
        for (std::size_t i = 0; i < notes.size() && i < kNotesTold; ++i) {
            m_project.AddLog(holder + (lines ? ", line " + std::to_string(notes[i].Line) : "") +
                             ": " + notes[i].Text);
        }
        if (notes.size() > kNotesTold) {
            m_project.AddLog(holder + ": " + std::to_string(notes.size() - kNotesTold) +
                             " more left out or mended as above");
        }
    }

    // The rules that set a dir, from the direction declarations taken out of a sheet or style
    // element; the log counts what was taken out and what sets no dir.
    std::vector<DirectionRule> DirectionRules(const RepairedStyle& repaired,
                                              const std::string& holder) {
        std::vector<DirectionRule> rules;
        std::size_t unjudged = 0;
        for (const DirectionDeclaration& declaration : repaired.Directions) {
            if (declaration.Selectors.empty()) continue;  // in @font-face or @page
            if (!declaration.OnEveryScreen) {
                ++unjudged;
                continue;
            }
            try {
                rules.push_back({ParseSelectors(declaration.Selectors), declaration.Value,
                                 declaration.Important});
            } catch (const std::invalid_argument&) {
                ++unjudged;  // a selector the subset cannot read
            }
        }
        TellDirections(holder, repaired.DirectionDeclarations, unjudged, true);
        return rules;
    }

    // `selected`: the declarations were a sheet's or style element's, not style attributes'.
    void TellDirections(const std::string& holder, std::size_t declarations, std::size_t unjudged,
                        bool selected) {
        if (declarations == 0) return;
        std::string line = holder + ": " +
                           Counted(declarations, "direction or unicode-bidi declaration",
                                   "direction and unicode-bidi declarations") +
                           " left out, as EPUB 3 requires; " +
                           (selected ? "the elements they select" : "their elements") +
                           " carry dir instead";
        if (unjudged > 0) {
            line += " (" + Counted(unjudged, "direction", "directions") +
                    " under a media condition or a selector that cannot be matched set none)";
        }
        m_project.AddLog(line);
    }

    void RepairChapter(const std::string& chapter, std::string& text) {
        // The chapter is parsed only when its style may change or its sheets set a direction.
        if (!(m_epub3 && m_sheetsSetDirection) && !StyleTextChanges(text)) return;
        ChapterStyles styles(*this, chapter, text);
        styles.Walk();
        if (m_epub3) styles.SetDirections();
        styles.Apply(text);
    }

    // The style of one chapter, gathered in one walk over its parse and changed by its bytes.
    class ChapterStyles {
      public:
        ChapterStyles(StyleRepair& book, const std::string& chapter, const std::string& text)
            : m_book(book), m_chapter(chapter), m_text(text), m_page(text) {}

        void Walk() {
            // Without recursion; elements deeper than kParseNestingLimit get no dir.
            std::vector<std::tuple<const GumboNode*, const ElementSubject*, std::size_t>> stack{
                {&m_page.Root(), nullptr, 0}};
            while (!stack.empty()) {
                const auto [node, parent, depth] = stack.back();
                stack.pop_back();
                if (!IsElement(*node)) continue;
                const GumboElement& element = node->v.element;
                m_subjects.emplace_back(element, parent);
                WalkedElement walked{node, &m_subjects.back(), std::nullopt};
                if (element.tag_namespace == GUMBO_NAMESPACE_HTML) {
                    if (element.tag == GUMBO_TAG_LINK) AddLinkedSheet(element);
                    if (element.tag == GUMBO_TAG_STYLE) RepairStyleElement(element);
                }
                RepairStyleAttribute(element, walked);
                if (depth < kParseNestingLimit) m_elements.push_back(std::move(walked));
                for (unsigned i = element.children.length; i-- > 0;)
                    stack.emplace_back(&ChildAt(element, i), &m_subjects.back(), depth + 1);
            }
            const std::string holder = "Style attributes of " + m_chapter;
            m_book.Tell(holder, m_attributeNotes, false);
            m_book.TellDirections(holder, m_attributeDirections, 0, false);
        }

        // Each element of the body (and the body itself) whose direction the cascade sets to
        // "rtl" or "ltr" gets that dir; the html element's goes to the body when the body has
        // none of its own.
        void SetDirections() {
            for (const StyleSource* source : m_cascade) m_directions.Add(source->Rules);
            std::string rootValue;
            std::size_t directed = 0;
            for (const WalkedElement& walked : m_elements) {
                const GumboElement& element = walked.Node->v.element;
                std::string value = m_directions.DirectionOf(*walked.Subject, walked.Own);
                if (element.tag == GUMBO_TAG_HTML) rootValue = value;
                if (element.tag == GUMBO_TAG_BODY && value.empty()) value = rootValue;
                if (element.tag_namespace != GUMBO_NAMESPACE_HTML || !InBody(*walked.Node) ||
                    (value != "rtl" && value != "ltr") || element.original_tag.length == 0)
                    continue;
                if (SetDir(element, value)) ++directed;
            }
            if (directed == 0) return;
            m_book.m_directedElements += directed;
            ++m_book.m_directedChapters;
        }

        void Apply(std::string& text) {
            if (m_edits.empty()) return;
            // In the order of the text, an insertion before a removal at the same place.
            std::stable_sort(m_edits.begin(), m_edits.end(),
                             [](const ByteEdit& a, const ByteEdit& b) {
                                 return a.Begin != b.Begin ? a.Begin < b.Begin : a.End < b.End;
                             });
            std::string changed;
            changed.reserve(m_text.size() + m_text.size() / 8);
            std::size_t copied = 0;
            for (const ByteEdit& edit : m_edits) {
                changed.append(m_text, copied, edit.Begin - copied);
                changed += edit.Text;
                copied = edit.End;
            }
            changed.append(m_text, copied);
            text = std::move(changed);
        }

      private:
        std::size_t Offset(const char* at) const {
            return static_cast<std::size_t>(at - m_text.data());
        }

        // A stylesheet link adds its sheet, after the sheets it imports, to the cascade.
        void AddLinkedSheet(const GumboElement& element) {
            const std::optional<std::string_view> rel = AttributeOf(element, "rel");
            const std::optional<std::string_view> href = AttributeOf(element, "href");
            if (!rel || !href || !HoldsToken(AsciiLower(*rel), "stylesheet") ||
                HoldsToken(AsciiLower(*rel), "alternate") || !ForEveryScreen(element))
                return;
            std::set<std::string> visited;
            AddSheet(LinkedBookPath(m_chapter, *href), visited);
        }

        void AddSheet(const std::string& sheet, std::set<std::string>& visited) {
            const auto found = m_book.m_sources.find(sheet);
            if (found == m_book.m_sources.end() || !visited.insert(sheet).second) return;
            for (const std::string& imported : found->second.Imports) AddSheet(imported, visited);
            m_cascade.push_back(&found->second);
        }

        // Whether a link or style element's sheet applies on every screen: no media attribute,
        // or one that every screen meets.
        static bool ForEveryScreen(const GumboElement& element) {
            const std::optional<std::string_view> media = AttributeOf(element, "media");
            return !media || TrimBlanks(*media).empty() ||
                   AppliesOnEveryScreen({"@media " + std::string(*media)});
        }

        // The text of a <style> element repaired in place; its rules join the cascade.
        void RepairStyleElement(const GumboElement& element) {
            const std::string holder =
                "Style element " + std::to_string(++m_styleElements) + " of " + m_chapter;
            if (element.children.length != 1) return;
            const GumboNode& child = ChildAt(element, 0);
            if (child.type != GUMBO_NODE_TEXT) return;
            const GumboStringPiece raw = child.v.text.original_text;
            const std::string_view css(raw.data, raw.length);
            const RepairedStyle repaired =
                RepairStyleSheet(WithoutCommentMarkers(css), m_book.m_epub3);
            m_book.Tell(holder, repaired.Notes, true);
            StyleSource& source = m_blocks.emplace_back();
            source.Rules = m_book.DirectionRules(repaired, holder);
            m_book.AddImports(repaired.Text, m_chapter, source);
            if (ForEveryScreen(element)) {
                std::set<std::string> visited;
                for (const std::string& imported : source.Imports) AddSheet(imported, visited);
                m_cascade.push_back(&source);
            }
            if (repaired.Text != css)
                m_edits.push_back({Offset(raw.data), Offset(raw.data) + raw.length, repaired.Text});
        }

        void RepairStyleAttribute(const GumboElement& element, WalkedElement& walked) {
            const GumboAttribute* style = gumbo_get_attribute(&element.attributes, "style");
            if (style == nullptr || style->original_value.length == 0) return;
            const RepairedStyle repaired =
                quirebook::RepairStyleAttribute(style->value, m_book.m_epub3);
            m_attributeNotes.insert(m_attributeNotes.end(), repaired.Notes.begin(),
                                    repaired.Notes.end());
            m_attributeDirections += repaired.DirectionDeclarations;
            if (!repaired.Directions.empty()) {
                const DirectionDeclaration& last = repaired.Directions.back();
                walked.Own = InlineDirection{last.Value, last.Important};
            }
            if (repaired.Text == style->value) return;
            const std::size_t valueBegin = Offset(style->original_value.data);
            const std::size_t valueEnd = valueBegin + style->original_value.length;
            if (!TrimBlanks(repaired.Text).empty()) {
                m_edits.push_back({valueBegin, valueEnd, QuotedAttributeValue(repaired.Text)});
                return;
            }
            // An attribute left empty goes, with the blanks before its name.
            std::size_t begin = Offset(style->original_name.data);
            while (begin > 0 && IsAsciiBlank(m_text[begin - 1])) --begin;
            m_edits.push_back({begin, valueEnd, ""});
        }

        // The direction the cascade gives the element itself, or nothing.
        static bool InBody(const GumboNode& element) {
            for (const GumboNode* node = element.parent; node != nullptr; node = node->parent) {
                if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_HEAD)
                    return false;
            }
            return element.v.element.tag != GUMBO_TAG_HTML &&
                   element.v.element.tag != GUMBO_TAG_HEAD;
        }

        // The element's dir set to `value`; gives whether it changed.
        bool SetDir(const GumboElement& element, const std::string& value) {
            const GumboAttribute* dir = gumbo_get_attribute(&element.attributes, "dir");
            const std::string attribute = "dir=\"" + value + "\"";
            if (dir == nullptr) {
                // After the tag's name.
                std::size_t at = Offset(element.original_tag.data) + 1;
                while (at < m_text.size() && !IsAsciiBlank(m_text[at]) && m_text[at] != '>' &&
                       m_text[at] != '/')
                    ++at;
                m_edits.push_back({at, at, " " + attribute});
                return true;
            }
            if (AsciiLower(TrimBlanks(dir->value)) == value) return false;
            const std::size_t begin = Offset(dir->original_name.data);
            const std::size_t end =
                dir->original_value.length == 0
                    ? begin + dir->original_name.length
                    : Offset(dir->original_value.data) + dir->original_value.length;
            m_edits.push_back({begin, end, attribute});
            return true;
        }

        StyleRepair& m_book;
        const std::string& m_chapter;
        const std::string& m_text;
        const GumboDocument m_page;
        std::vector<ByteEdit> m_edits;
        std::deque<StyleSource> m_blocks;  // of its style elements; a deque keeps addresses
        std::vector<const StyleSource*> m_cascade;  // its sheets and style elements, in order
        std::vector<WalkedElement> m_elements;
        DirectionCascade m_directions;
        std::deque<ElementSubject> m_subjects;  // a deque keeps the parents' addresses
        std::vector<StyleRepairNote> m_attributeNotes;
        std::size_t m_attributeDirections = 0;
        std::size_t m_styleElements = 0;
    };

    // The sheets `css` imports, as book paths read from `holder`.
    static void AddImports(const std::string& css, const std::string& holder, StyleSource& source) {
        RewriteStyleReferences(css, [&](StyleReferenceKind kind, const std::string& value) {
            if (kind == StyleReferenceKind::Import)
                source.Imports.push_back(LinkedBookPath(holder, value));
            return std::optional<std::string>(value);
        });
    }

    BookProject& m_project;
    bool m_epub3;
    std::map<std::string, StyleSource> m_sources;  // the book's sheets by book path
    bool m_sheetsSetDirection = false;
    std::size_t m_directedElements = 0;
    std::size_t m_directedChapters = 0;
};

}  // namespace

void RepairBookStyles(BookProject& project, ChapterTexts& texts,
                      const std::vector<std::string>& sheets) {
    StyleRepair(project).Run(texts, sheets);
}

}  // namespace quirebook
