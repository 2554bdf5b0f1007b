// Reading a page's outline from its parse: the main content, what is left out of it, the headings
// and their labels, the title and the first words.
#include "html/PageOutline.h"

#include <algorithm>
#include <array>
#include <set>
#include <stdexcept>

#include "css/StyleRules.h"
#include "css/StyleSheetReferences.h"
#include "html/Charset.h"
#include "html/CssSelectors.h"
#include "html/GumboPage.h"
#include "html/IdentifierNames.h"
#include "html/NestingLimit.h"
#include "text/Encoding.h"
#include "text/Entities.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// A sheet importing sheets importing sheets ... is followed this far.
constexpr int kMaxImportDepth = 8;
// A chapter without a heading is labelled with this many of its first words.
constexpr std::size_t kFirstWordCount = 8;
// ... or with all of them when it has at most this many.
constexpr std::size_t kFirstWordsWhole = 10;

// The width in bytes of the white space character at `at`, 0 when there is none there.
std::size_t SpaceWidth(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    const unsigned c = byte(0);
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') return 1;
    if (c == 0xC2 && byte(1) == 0xA0) return 2;                     // no-break space
    if (c == 0xE1 && byte(1) == 0x9A && byte(2) == 0x80) return 3;  // ogham space
    if (c == 0xE2 && byte(1) == 0x80 &&
        ((byte(2) >= 0x80 && byte(2) <= 0x8A) || byte(2) == 0xA8 || byte(2) == 0xA9 ||
         byte(2) == 0xAF))
        return 3;  // the en and em spaces, thin spaces, line and paragraph separators
    if (c == 0xE2 && byte(1) == 0x81 && byte(2) == 0x9F) return 3;  // medium mathematical space
    if (c == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) return 3;  // ideographic space
    return 0;
}

// The width of a character that shows nothing at `at`: a zero-width space or a soft hyphen.
std::size_t InvisibleWidth(std::string_view text, std::size_t at) {
    if (text.compare(at, 3, "\xE2\x80\x8B") == 0) return 3;
    if (text.compare(at, 2, "\xC2\xAD") == 0) return 2;
    return 0;
}

// Whether `text` holds more than white space and characters that show nothing.
bool HoldsVisibleText(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t width = std::max(SpaceWidth(text, at), InvisibleWidth(text, at));
        if (width == 0) return true;
        at += width;
    }
    return false;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t CharacterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

int HeadingLevel(GumboTag tag) {
    return tag >= GUMBO_TAG_H1 && tag <= GUMBO_TAG_H6 ? 1 + (tag - GUMBO_TAG_H1) : 0;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    const std::string spaced = SingleSpaced(text);
    std::size_t start = 0;
    while (start < spaced.size()) {
        std::size_t end = spaced.find(' ', start);
        if (end == std::string::npos) end = spaced.size();
        words.push_back(spaced.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// The marks sites put beside a heading's text as a link to the heading itself.
bool IsPermalinkMark(std::string_view text) {
    static const std::array<std::string_view, 9> marks = {
        "\xC2\xB6",     "#",        "\xC2\xA7", "\xF0\x9F\x94\x97", "\xE2\x9A\x93",
        "\xE2\x81\x8B", "\xC2\xA4", "link",     "permalink"};
    const std::string word = AsciiLower(SingleSpaced(text));
    return std::find(marks.begin(), marks.end(), word) != marks.end();
}

// A footnote reference's text: a number or a run of asterisks and daggers, in brackets or not.
bool IsFootnoteMark(std::string_view text) {
    std::string mark = SingleSpaced(text);
    if (mark.size() >= 2 && ((mark.front() == '[' && mark.back() == ']') ||
                             (mark.front() == '(' && mark.back() == ')')))
        mark = mark.substr(1, mark.size() - 2);
    if (mark.empty()) return false;
    if (std::all_of(mark.begin(), mark.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return true;
    for (std::size_t at = 0; at < mark.size();) {
        if (mark[at] == '*') {
            ++at;
        } else if (mark.compare(at, 3, "\xE2\x80\xA0") == 0 ||  // dagger
                   mark.compare(at, 3, "\xE2\x80\xA1") == 0) {  // double dagger
            at += 3;
        } else {
            return false;
        }
    }
    return true;
}

bool IsRomanNumeral(std::string_view word) {
    return !word.empty() && word.size() <= 8 && std::all_of(word.begin(), word.end(), [](char c) {
        return std::string_view("IVXLCDMivxlcdm").find(c) != std::string_view::npos;
    });
}

// Whether a heading names only a number: at most three words, the last a number in digits or
// Roman numerals ("CHAPTER IV.", "Part 2", "§ 12", "III").
bool NamesOnlyANumber(std::string_view label) {
    const std::vector<std::string> words = Words(label);
    if (words.empty() || words.size() > 3) return false;
    std::string last = words.back();
    while (!last.empty() && std::string_view(".:)").find(last.back()) != std::string_view::npos)
        last.pop_back();
    // A whole number: a version ("0.8.13") or a section number ("2.1") names no chapter.
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return IsRomanNumeral(last) || (!last.empty() && std::all_of(last.begin(), last.end(), digit));
}

// Two parts of one title: "Chapter IV." + "Flatland" as "Chapter IV. Flatland", "I" + "Of Lines"
// as "I: Of Lines".
std::string Joined(const std::string& first, const std::string& second) {
    if (first.empty()) return second;
    if (second.empty()) return first;
    static const std::array<std::string_view, 9> ends = {
        ".", ":", ";", "!", "?", "-", "\xE2\x80\x94", "\xE2\x80\x93", "\xE2\x80\xA6"};
    for (std::string_view end : ends)
        if (first.size() >= end.size() &&
            first.compare(first.size() - end.size(), end.size(), end) == 0)
            return first + " " + second;
    return first + ": " + second;
}

// Whether `word` is a list's bullet: the glyphs word processors and sites draw before a list
// item, and the private-use characters of the Symbol and Wingdings fonts Word writes them in.
bool IsBullet(std::string_view word) {
    static const std::array<std::string_view, 14> bullets = {
        "\xE2\x80\xA2", "\xC2\xB7",     "\xE2\x96\xAA", "\xE2\x97\x8F", "\xE2\x97\x8B",
        "\xE2\x96\xA0", "\xE2\x96\xA1", "\xE2\x80\xA3", "\xE2\x81\x83", "\xE2\x9E\xA2",
        "\xE2\x9C\x93", "\xE2\x97\x86", "\xE2\x97\xA6", "\xE2\x9D\x96"};
    if (std::find(bullets.begin(), bullets.end(), word) != bullets.end()) return true;
    // U+F000 to U+F0FF, in UTF-8 EF 80 80 to EF 83 BF.
    return word.size() == 3 && word[0] == '\xEF' && static_cast<unsigned char>(word[1]) >= 0x80 &&
           static_cast<unsigned char>(word[1]) <= 0x83;
}

// Marks standing alone at either end of a label ("Introduction ¶", "# Setup"), and a list's
// bullet before it ("• Setup").
std::string WithoutEndMarks(std::string label) {
    if (const std::size_t space = label.find(' ');
        space != std::string::npos && IsBullet(std::string_view(label).substr(0, space)))
        label.erase(0, space + 1);
    while (true) {
        const std::size_t space = label.rfind(' ');
        if (space == std::string::npos || !IsPermalinkMark(label.substr(space + 1))) break;
        label.resize(space);
    }
    while (true) {
        const std::size_t space = label.find(' ');
        if (space == std::string::npos || !IsPermalinkMark(label.substr(0, space))) break;
        label.erase(0, space + 1);
    }
    if (IsPermalinkMark(label)) label.clear();
    return label;
}

// Whether a style declaration list hides what it applies to.
bool Hides(const std::vector<StyleDeclaration>& declarations) {
    for (const StyleDeclaration& declaration : declarations) {
        const std::string value = AsciiLower(declaration.Value);
        if ((declaration.Property == "display" && value == "none") ||
            (declaration.Property == "visibility" && value == "hidden"))
            return true;
    }
    return false;
}

bool HoldsEveryScreen(std::optional<std::string_view> media) {
    return !media || AppliesOnEveryScreen({"@media " + std::string(*media)});
}

// Elements whose content is never shown as text of the page.
bool ShowsNoText(GumboTag tag) {
    return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_TEMPLATE ||
           tag == GUMBO_TAG_NOSCRIPT || tag == GUMBO_TAG_IFRAME || tag == GUMBO_TAG_OBJECT ||
           tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_TEXTAREA || tag == GUMBO_TAG_TITLE ||
           tag == GUMBO_TAG_HEAD;
}

// Elements around whose text a reader sees a break.
bool BreaksText(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_BR:
        case GUMBO_TAG_P:
        case GUMBO_TAG_DIV:
        case GUMBO_TAG_LI:
        case GUMBO_TAG_DT:
        case GUMBO_TAG_DD:
        case GUMBO_TAG_TD:
        case GUMBO_TAG_TH:
        case GUMBO_TAG_TR:
        case GUMBO_TAG_BLOCKQUOTE:
        case GUMBO_TAG_PRE:
        case GUMBO_TAG_HR:
        case GUMBO_TAG_TABLE:
        case GUMBO_TAG_UL:
        case GUMBO_TAG_OL:
        case GUMBO_TAG_DL:
            return true;
        default:
            return HeadingLevel(tag) > 0;
    }
}

bool IsSectioning(const GumboElement& element) {
    const GumboTag tag = element.tag;
    if (tag == GUMBO_TAG_ARTICLE || tag == GUMBO_TAG_ASIDE || tag == GUMBO_TAG_MAIN ||
        tag == GUMBO_TAG_NAV || tag == GUMBO_TAG_SECTION)
        return true;
    const auto role = AttributeOf(element, "role");
    return role && (HoldsToken(*role, "main") || HoldsToken(*role, "article"));
}

// A source that reads no sheet, for a page whose linked sheets are not to be read.
class NoSheetSource final : public StyleSheetSource {
  public:
    std::string Read(const std::string&, const std::string&, std::string&) const override {
        return {};
    }
};

const StyleSheetSource& NoSheets() {
    static const NoSheetSource none;
    return none;
}

void AddHidingSelectors(const std::string& css, const std::string& place,
                        const StyleSheetSource& sheets, int depth, std::set<std::string>& read,
                        SelectorList& hiding) {
    for (const StyleRule& rule : ReadStyleRules(css)) {
        if (!AppliesOnEveryScreen(rule.Conditions) || !Hides(rule.Declarations)) continue;
        for (const std::string& selector : SplitSelectorList(rule.Selectors)) {
            try {
                for (ComplexSelector& each : ParseSelectors(selector))
                    hiding.push_back(std::move(each));
            } catch (const std::invalid_argument&) {
                // A selector this reading does not know (":hover", "+") hides nothing here.
            }
        }
    }
    if (depth >= kMaxImportDepth || css.find('@') == std::string::npos) return;
    std::vector<std::string> imports;
    RewriteStyleReferences(css, [&imports](StyleReferenceKind kind, const std::string& value) {
        if (kind == StyleReferenceKind::Import) imports.push_back(value);
        return std::optional<std::string>(value);
    });
    for (const std::string& import : imports) {
        std::string importedPlace;
        const std::string text = sheets.Read(import, place, importedPlace);
        if (text.empty() || !read.insert(importedPlace).second) continue;
        AddHidingSelectors(text, importedPlace, sheets, depth + 1, read, hiding);
    }
}

// Where the walk stands.
struct Context {
    bool InRoot = false;     // inside the main content
    bool InSection = false;  // inside a sectioning element: its header and footer are its own
    bool InTitled = false;   // inside a table or figure already titled
};

// What a titled object of the page is.
enum class ObjectKind { None, Table, Figure };

class Outliner {
  public:
    Outliner(std::string_view page, const StyleSheetSource* sheets)
        : m_page(page), m_sheets(sheets) {
        const std::string charset = SourceCharset(page);
        if (!charset.empty() && AsciiLower(charset) != "utf-8") m_charset = charset;
    }

    PageOutline Outline(const GumboDocument& parsed) {
        Survey(parsed.Root());
        ReadHiddenRules();
        const GumboNode& body = parsed.Body();
        const GumboNode* root = MainElement();
        Walk(body, root != nullptr ? root : &body);
        if (root != nullptr && m_headings.empty() && m_rootWords.empty()) {
            // A main element holding nothing: the page's content is elsewhere.
            Walk(body, &body);
        }
        PageOutline outline;
        outline.Title = m_title;
        outline.Ids = std::move(m_ids);
        MergeHeadingParts();
        const auto take = [&outline](std::vector<Found>& found, std::vector<OutlineHeading>& to) {
            for (Found& each : found) {
                each.Heading.Id = UsableId(each, outline.Ids);
                to.push_back(std::move(each.Heading));
            }
        };
        take(m_headings, outline.Headings);
        take(m_tables, outline.Tables);
        take(m_figures, outline.Figures);
        outline.FirstWords =
            FirstWordsOf(m_firstParagraph.empty() ? m_rootWords : m_firstParagraph);
        // A page of pictures alone is known by what its first picture shows.
        if (outline.FirstWords.empty()) outline.FirstWords = FirstWordsOf(m_pictureText);
        return outline;
    }

  private:
    struct Found {
        OutlineHeading Heading;
        bool ContentBefore = false;  // text of the main content stands between it and the last
        std::string OwnId;           // the heading's id attribute, or of the element opening it
    };

    // Pass one: ids, the title, the style sheets, the main element and the articles.
    void Survey(const GumboNode& root) {
        std::vector<std::pair<const GumboNode*, bool>> stack{{&root, false}};
        while (!stack.empty()) {
            const auto [node, inFurniture] = stack.back();
            stack.pop_back();
            if (!IsElement(*node)) continue;
            const GumboElement& element = node->v.element;
            if (const auto id = AttributeOf(element, "id"); id && !id->empty())
                ++m_ids[std::string(*id)];
            if (element.tag == GUMBO_TAG_TITLE && m_title.empty()) m_title = TextUnder(*node);
            if (element.tag == GUMBO_TAG_STYLE && HoldsEveryScreen(AttributeOf(element, "media")))
                m_styleTexts.push_back(RawTextUnder(*node));
            if (element.tag == GUMBO_TAG_LINK) NoteLinkedSheet(element);
            const bool furniture = inFurniture || IsFurniture(element, true);
            if (!furniture && !HiddenByAttributes(element)) {
                const auto role = AttributeOf(element, "role");
                if ((element.tag == GUMBO_TAG_MAIN || (role && HoldsToken(*role, "main"))) &&
                    m_main == nullptr)
                    m_main = node;
                if (element.tag == GUMBO_TAG_ARTICLE) m_articles.push_back(node);
            }
            for (unsigned i = element.children.length; i-- > 0;)
                stack.push_back({&ChildAt(element, i), furniture});
        }
    }

    void NoteLinkedSheet(const GumboElement& element) {
        const auto rel = AttributeOf(element, "rel");
        const auto href = AttributeOf(element, "href");
        if (!rel || !href || m_sheets == nullptr) return;
        const std::string rels = AsciiLower(*rel);
        if (!HoldsToken(rels, "stylesheet") || HoldsToken(rels, "alternate")) return;
        if (!HoldsEveryScreen(AttributeOf(element, "media"))) return;
        m_linkedSheets.emplace_back(*href);
    }

    // The hiding rules of the page's sheets and of those they import.
    void ReadHiddenRules() {
        for (const std::string& text : m_styleTexts) {
            SelectorList hiding = m_sheets != nullptr ? HidingSelectors(text, "", *m_sheets)
                                                      : HidingSelectors(text, "", NoSheets());
            m_hidden.insert(m_hidden.end(), hiding.begin(), hiding.end());
        }
        for (const std::string& href : m_linkedSheets) {
            const SelectorList& hiding = m_sheets->HidingSelectorsOf(href);
            m_hidden.insert(m_hidden.end(), hiding.begin(), hiding.end());
        }
    }

    const GumboNode* MainElement() const {
        if (m_main != nullptr) return m_main;
        return m_articles.size() == 1 ? m_articles.front() : nullptr;
    }

    static bool IsFurniture(const GumboElement& element, bool inSection) {
        if (element.tag == GUMBO_TAG_NAV || element.tag == GUMBO_TAG_ASIDE) return true;
        if ((element.tag == GUMBO_TAG_HEADER || element.tag == GUMBO_TAG_FOOTER) && !inSection)
            return true;
        const auto role = AttributeOf(element, "role");
        if (!role) return false;
        const std::string roles = AsciiLower(*role);
        return HoldsToken(roles, "navigation") || HoldsToken(roles, "search") ||
               HoldsToken(roles, "banner") || HoldsToken(roles, "complementary") ||
               HoldsToken(roles, "contentinfo");
    }

    static bool HiddenByAttributes(const GumboElement& element) {
        if (AttributeOf(element, "hidden")) return true;
        if (const auto hidden = AttributeOf(element, "aria-hidden");
            hidden && AsciiLower(TrimBlanks(*hidden)) == "true")
            return true;
        const auto style = AttributeOf(element, "style");
        if (!style || (FindAnyCase(*style, "display") == std::string_view::npos &&
                       FindAnyCase(*style, "visibility") == std::string_view::npos))
            return false;
        const std::vector<StyleRule> rules = ReadStyleRules("x{" + std::string(*style) + "}");
        return !rules.empty() && Hides(rules.front().Declarations);
    }

    bool Hidden(const GumboElement& element, const ElementSubject& subject) const {
        return HiddenByAttributes(element) || SelectsAny(m_hidden, subject);
    }

    // Pass two: the headings and first words of the main content `root`.
    void Walk(const GumboNode& body, const GumboNode* root) {
        m_headings.clear();
        m_tables.clear();
        m_figures.clear();
        m_firstParagraph.clear();
        m_rootWords.clear();
        m_pictureText.clear();
        m_contentSinceHeading = false;
        m_root = root;
        Visit(body, nullptr, Context{&body == root, false});
    }

    void Visit(const GumboNode& node, const ElementSubject* parent, Context context) {
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_CDATA) {
            if (context.InRoot && HoldsVisibleText(node.v.text.text)) {
                m_contentSinceHeading = true;
                if (m_rootWords.size() < 200) m_rootWords += " " + TextOf(node);
            }
            return;
        }
        if (!IsElement(node)) return;
        const GumboElement& element = node.v.element;
        if (ShowsNoText(element.tag)) return;
        const ElementSubject subject(element, parent);
        if (&node == m_root) context.InRoot = true;
        if (context.InRoot) {
            if (IsFurniture(element, context.InSection) || Hidden(element, subject)) return;
            if (HeadingLevel(element.tag) > 0) return AddHeading(node, parent);
            if (element.tag == GUMBO_TAG_HGROUP && AddHeadingGroup(node, subject)) return;
            if (element.tag == GUMBO_TAG_IMG) {
                m_contentSinceHeading = true;
                if (const auto alt = AttributeOf(element, "alt"); alt && m_pictureText.empty())
                    m_pictureText = SingleSpaced(*alt);
            }
            if (element.tag == GUMBO_TAG_P && m_firstParagraph.empty()) {
                std::string text;
                GatherText(node, parent, text, false);
                m_firstParagraph = SingleSpaced(text);
            }
            if (!context.InTitled && AddTitledObject(node, subject)) context.InTitled = true;
        }
        context.InSection = context.InSection || IsSectioning(element);
        for (unsigned i = 0; i < element.children.length; ++i)
            Visit(ChildAt(element, i), &subject, context);
    }

    void AddHeading(const GumboNode& node, const ElementSubject* parent) {
        std::string label;
        GatherText(node, parent, label, true);
        label = WithoutEndMarks(SingleSpaced(label));
        if (label.empty()) return;  // a heading of pictures or spaces only leads nowhere
        Found found;
        found.Heading.Level = HeadingLevel(node.v.element.tag);
        found.Heading.Label = std::move(label);
        Place(node, found);
        found.ContentBefore = m_contentSinceHeading;
        m_contentSinceHeading = false;
        m_headings.push_back(std::move(found));
    }

    // A table or figure with a title: a table's caption, a figure's figcaption (a figure of a
    // table alone is a table), or the title (class "title") of a block classed "table" or
    // "figure", as DocBook writes its formal tables and figures. False for anything else.
    bool AddTitledObject(const GumboNode& node, const ElementSubject& subject) {
        const GumboElement& element = node.v.element;
        ObjectKind kind = ObjectKind::None;
        const GumboNode* title = nullptr;
        if (element.tag == GUMBO_TAG_TABLE) {
            kind = ObjectKind::Table;
            title = ChildTagged(node, GUMBO_TAG_CAPTION);
        } else if (element.tag == GUMBO_TAG_FIGURE) {
            kind = HoldsPicture(node) || !Holds(node, GUMBO_TAG_TABLE) ? ObjectKind::Figure
                                                                       : ObjectKind::Table;
            title = ChildTagged(node, GUMBO_TAG_FIGCAPTION);
        } else if (const auto classes = AttributeOf(element, "class")) {
            if (HoldsToken(*classes, "table")) kind = ObjectKind::Table;
            if (HoldsToken(*classes, "figure")) kind = ObjectKind::Figure;
            if (kind != ObjectKind::None) title = TitleWithin(node, 3);
        }
        if (title == nullptr) return false;
        std::string label;
        GatherText(*title, &subject, label, true);
        label = SingleSpaced(label);
        if (label.empty()) return false;
        Found found;
        found.Heading.Label = std::move(label);
        Place(node, found);
        (kind == ObjectKind::Table ? m_tables : m_figures).push_back(std::move(found));
        return true;
    }

    static const GumboNode* ChildTagged(const GumboNode& node, GumboTag tag) {
        const GumboElement& element = node.v.element;
        for (unsigned i = 0; i < element.children.length; ++i) {
            const GumboNode& child = ChildAt(element, i);
            if (child.type == GUMBO_NODE_ELEMENT && child.v.element.tag == tag) return &child;
        }
        return nullptr;
    }

    // The first element classed "title" at most `depth` levels below `node`, in document order.
    static const GumboNode* TitleWithin(const GumboNode& node, int depth) {
        if (depth == 0 || !IsElement(node)) return nullptr;
        const GumboElement& element = node.v.element;
        for (unsigned i = 0; i < element.children.length; ++i) {
            const GumboNode& child = ChildAt(element, i);
            if (!IsElement(child)) continue;
            if (const auto classes = AttributeOf(child.v.element, "class");
                classes && HoldsToken(*classes, "title"))
                return &child;
            if (const GumboNode* deeper = TitleWithin(child, depth - 1)) return deeper;
        }
        return nullptr;
    }

    static bool Holds(const GumboNode& node, GumboTag tag) {
        if (!IsElement(node)) return false;
        if (node.v.element.tag == tag) return true;
        for (unsigned i = 0; i < node.v.element.children.length; ++i)
            if (Holds(ChildAt(node.v.element, i), tag)) return true;
        return false;
    }

    static bool HoldsPicture(const GumboNode& node) {
        return Holds(node, GUMBO_TAG_IMG) || Holds(node, GUMBO_TAG_SVG) ||
               Holds(node, GUMBO_TAG_OBJECT);
    }

    // A heading group: one heading at the level of its first, labelled with all its parts. False
    // when the group holds no heading.
    bool AddHeadingGroup(const GumboNode& node, const ElementSubject& subject) {
        const GumboElement& group = node.v.element;
        const GumboNode* first = nullptr;
        std::string label;
        for (unsigned i = 0; i < group.children.length; ++i) {
            const GumboNode& child = ChildAt(group, i);
            if (!IsElement(child)) continue;
            const ElementSubject childSubject(child.v.element, &subject);
            if (Hidden(child.v.element, childSubject)) continue;
            if (first == nullptr && HeadingLevel(child.v.element.tag) > 0) first = &child;
            std::string part;
            GatherText(child, &subject, part, true);
            label = Joined(label, WithoutEndMarks(SingleSpaced(part)));
        }
        if (first == nullptr) return false;
        if (label.empty()) return true;
        Found found;
        found.Heading.Level = HeadingLevel(first->v.element.tag);
        found.Heading.Label = std::move(label);
        Place(*first, found);
        found.ContentBefore = m_contentSinceHeading;
        m_contentSinceHeading = false;
        m_headings.push_back(std::move(found));
        return true;
    }

    // Where the heading's start tag is, and the id marking it.
    void Place(const GumboNode& node, Found& found) const {
        const GumboElement& element = node.v.element;
        const GumboStringPiece& tag = element.original_tag;
        if (tag.length > 0 && tag.data >= m_page.data() &&
            tag.data + tag.length <= m_page.data() + m_page.size()) {
            found.Heading.TagStart = static_cast<std::size_t>(tag.data - m_page.data());
            found.Heading.TagLength = tag.length;
        }
        if (const auto id = AttributeOf(element, "id")) {
            found.Heading.HasIdAttribute = true;
            found.OwnId = std::string(*id);
            return;
        }
        // An anchor opening the heading marks its place too ("<h2><a id="intro"></a>Intro"), and
        // so does the section the heading opens ("<section id="intro"><h2>Intro").
        if (const GumboNode* first = FirstElementChild(node))
            if (const auto id = AttributeOf(first->v.element, "id")) {
                found.OwnId = *id;
                return;
            }
        const GumboNode* parent = node.parent;
        if (parent != nullptr && IsElement(*parent) && FirstElementChild(*parent) == &node &&
            parent->v.element.tag != GUMBO_TAG_BODY && parent->v.element.tag != GUMBO_TAG_HGROUP)
            if (const auto id = AttributeOf(parent->v.element, "id")) found.OwnId = *id;
    }

    // The first child of `node` that is an element, when no text stands before it.
    static const GumboNode* FirstElementChild(const GumboNode& node) {
        const GumboElement& element = node.v.element;
        for (unsigned i = 0; i < element.children.length; ++i) {
            const GumboNode& child = ChildAt(element, i);
            if (child.type == GUMBO_NODE_WHITESPACE || child.type == GUMBO_NODE_COMMENT) continue;
            return IsElement(child) ? &child : nullptr;
        }
        return nullptr;
    }

    static std::string UsableId(const Found& found,
                                const std::map<std::string, int, std::less<>>& ids) {
        const auto count = ids.find(found.OwnId);
        if (found.OwnId.empty() || count == ids.end() || count->second != 1) return {};
        return XmlIdentifier(found.OwnId) == found.OwnId ? found.OwnId : std::string();
    }

    // Headings that are parts of one: "CHAPTER IV." followed at once by a deeper "THE STORY",
    // and a page's title written as its first two h1 headings with nothing between them ("THE
    // LITTLE COLONEL'S", "HERO").
    void MergeHeadingParts() {
        std::vector<Found> merged;
        for (std::size_t i = 0; i < m_headings.size(); ++i) {
            Found& heading = m_headings[i];
            if (i + 1 < m_headings.size() && !m_headings[i + 1].ContentBefore) {
                const Found& next = m_headings[i + 1];
                // A title written twice ("settitle" and "top" in a manual) is one heading.
                if (next.Heading.Label == heading.Heading.Label) {
                    merged.push_back(std::move(heading));
                    ++i;
                    continue;
                }
                const bool numbered = next.Heading.Level > heading.Heading.Level &&
                                      NamesOnlyANumber(heading.Heading.Label) &&
                                      !NamesOnlyANumber(next.Heading.Label);
                const bool splitTitle = i == 0 && heading.Heading.Level == 1 &&
                                        next.Heading.Level == 1 &&
                                        !NamesOnlyANumber(heading.Heading.Label) &&
                                        !NamesOnlyANumber(next.Heading.Label);
                if (numbered || splitTitle) {
                    heading.Heading.Label = numbered
                                                ? Joined(heading.Heading.Label, next.Heading.Label)
                                                : heading.Heading.Label + " " + next.Heading.Label;
                    merged.push_back(std::move(heading));
                    ++i;
                    continue;
                }
            }
            merged.push_back(std::move(heading));
        }
        m_headings = std::move(merged);
    }

    // The text under `node` as a reader sees it. In a label, permalink marks and footnote
    // references are no part of it.
    void GatherText(const GumboNode& node, const ElementSubject* parent, std::string& text,
                    bool label) const {
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_CDATA) {
            text += TextOf(node);
            return;
        }
        if (node.type == GUMBO_NODE_WHITESPACE) {
            text += ' ';
            return;
        }
        if (!IsElement(node)) return;
        const GumboElement& element = node.v.element;
        if (ShowsNoText(element.tag) || element.tag == GUMBO_TAG_IMG) return;
        const ElementSubject subject(element, parent);
        if (Hidden(element, subject)) return;
        std::string inner;
        for (unsigned i = 0; i < element.children.length; ++i)
            GatherText(ChildAt(element, i), &subject, inner, label);
        if (label && (element.tag == GUMBO_TAG_A || element.tag == GUMBO_TAG_SUP ||
                      element.tag == GUMBO_TAG_SPAN)) {
            if (IsPermalinkMark(inner)) return;
            const auto href = AttributeOf(element, "href");
            const bool linksWithin =
                element.tag != GUMBO_TAG_A || (href && href->rfind('#', 0) == 0);
            if (element.tag != GUMBO_TAG_SPAN && linksWithin && IsFootnoteMark(inner) &&
                HoldsFragmentLink(node))
                return;
        }
        const bool breaks = BreaksText(element.tag);
        if (breaks) text += ' ';
        text += inner;
        if (breaks) text += ' ';
    }

    // Whether the element is, or holds, a link to a place in a page ("#note1").
    static bool HoldsFragmentLink(const GumboNode& node) {
        if (!IsElement(node)) return false;
        const GumboElement& element = node.v.element;
        if (element.tag == GUMBO_TAG_A)
            if (const auto href = AttributeOf(element, "href");
                href && href->find('#') != std::string_view::npos)
                return true;
        for (unsigned i = 0; i < element.children.length; ++i)
            if (HoldsFragmentLink(ChildAt(element, i))) return true;
        return false;
    }

    // A text node's text in UTF-8.
    std::string TextOf(const GumboNode& node) const {
        if (m_charset.empty()) return node.v.text.text;
        const GumboStringPiece& raw = node.v.text.original_text;
        try {
            return DecodeEntities(ConvertToUtf8({raw.data, raw.length}, m_charset));
        } catch (const std::invalid_argument&) {
            return node.v.text.text;
        }
    }

    std::string TextUnder(const GumboNode& node) const {
        std::string text;
        if (IsElement(node))
            for (unsigned i = 0; i < node.v.element.children.length; ++i) {
                const GumboNode& child = ChildAt(node.v.element, i);
                if (child.type == GUMBO_NODE_TEXT || child.type == GUMBO_NODE_WHITESPACE ||
                    child.type == GUMBO_NODE_CDATA)
                    text += TextOf(child);
            }
        return SingleSpaced(text);
    }

    static std::string RawTextUnder(const GumboNode& node) {
        std::string text;
        for (unsigned i = 0; i < node.v.element.children.length; ++i) {
            const GumboNode& child = ChildAt(node.v.element, i);
            if (child.type != GUMBO_NODE_ELEMENT && child.type != GUMBO_NODE_TEMPLATE)
                text += child.v.text.text;
        }
        return text;
    }

    static std::string FirstWordsOf(std::string_view text) {
        const std::vector<std::string> words = Words(text);
        const std::size_t count = words.size() <= kFirstWordsWhole ? words.size() : kFirstWordCount;
        std::string first;
        for (std::size_t i = 0; i < count; ++i) first += (i == 0 ? "" : " ") + words[i];
        if (count < words.size()) first += "\xE2\x80\xA6";
        return first;
    }

    std::string_view m_page;
    const StyleSheetSource* m_sheets;
    std::string m_charset;  // the page's when it is not UTF-8: its texts are converted
    std::map<std::string, int, std::less<>> m_ids;
    std::string m_title;
    std::vector<std::string> m_styleTexts;    // of the page's style elements
    std::vector<std::string> m_linkedSheets;  // the references of its linked style sheets
    SelectorList m_hidden;
    const GumboNode* m_main = nullptr;
    std::vector<const GumboNode*> m_articles;
    const GumboNode* m_root = nullptr;
    std::vector<Found> m_headings;
    std::vector<Found> m_tables;
    std::vector<Found> m_figures;
    bool m_contentSinceHeading = false;
    std::string m_firstParagraph;
    std::string m_rootWords;
    std::string m_pictureText;  // the text alternative of the first picture that has one
};

// The common end of two texts, in bytes.
std::size_t CommonSuffixLength(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return n;
}

std::size_t CommonPrefixLength(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

const std::array<std::string_view, 8> kTitleSeparators = {
    " \xE2\x80\x94 ", " \xE2\x80\x93 ", " - ", " | ", " \xC2\xB7 ", " :: ", " \xC2\xBB ", " ("};

bool HoldsSeparator(std::string_view title) {
    for (std::string_view separator : kTitleSeparators)
        if (title.find(separator) != std::string_view::npos) return true;
    return title.find(": ") != std::string_view::npos;
}

// The shared end of `titles` from its first separator on; empty when there is none.
std::string SharedEnd(const std::vector<const std::string*>& titles) {
    std::size_t length = titles.front()->size();
    for (const std::string* title : titles)
        length = std::min(length, CommonSuffixLength(*titles.front(), *title));
    const std::string_view end =
        std::string_view(*titles.front()).substr(titles.front()->size() - length);
    for (std::size_t at = 0; at < end.size(); ++at) {
        for (std::string_view separator : kTitleSeparators) {
            if (end.compare(at, separator.size(), separator) != 0) continue;
            if (separator == " (" && end.back() != ')') continue;
            return std::string(end.substr(at));
        }
    }
    return {};
}

// The shared beginning of `titles` up to its last separator; empty when there is none.
std::string SharedBeginning(const std::vector<const std::string*>& titles) {
    std::size_t length = titles.front()->size();
    for (const std::string* title : titles)
        length = std::min(length, CommonPrefixLength(*titles.front(), *title));
    const std::string_view start = std::string_view(*titles.front()).substr(0, length);
    std::size_t best = 0;
    for (std::string_view separator : kTitleSeparators) {
        if (separator == " (") continue;
        const std::size_t at = start.rfind(separator);
        if (at != std::string_view::npos) best = std::max(best, at + separator.size());
    }
    const std::size_t colon = start.rfind(": ");
    if (colon != std::string_view::npos) best = std::max(best, colon + 2);
    return std::string(start.substr(0, best));
}

}  // namespace

SelectorList HidingSelectors(const std::string& css, const std::string& place,
                             const StyleSheetSource& sheets) {
    SelectorList hiding;
    std::set<std::string> read{place};
    AddHidingSelectors(css, place, sheets, 0, read, hiding);
    return hiding;
}

SelectorList StyleSheetSource::HidingSelectorsOf(const std::string& reference) const {
    std::string place;
    const std::string css = Read(reference, std::string(), place);
    return css.empty() ? SelectorList() : HidingSelectors(css, place, *this);
}

PageOutline OutlineOfParsedPage(const GumboDocument& parsed, std::string_view page,
                                const StyleSheetSource* sheets) {
    return Outliner(page, sheets).Outline(parsed);
}

PageOutline OutlineOfPage(std::string_view page, const StyleSheetSource* sheets) {
    const std::string limited = LimitNesting(page, kParseNestingLimit);
    // The limit drops tags only from pages nested deeper than any reader shows: their outline
    // is read from the limited page, and has no places in the page as it came.
    const std::string_view parsedText = limited == page ? page : std::string_view(limited);
    const GumboDocument parsed(parsedText);
    PageOutline outline = OutlineOfParsedPage(parsed, parsedText, sheets);
    if (parsedText.data() != page.data()) ForgetPlaces(outline);
    return outline;
}

void ForgetPlaces(PageOutline& outline) {
    for (std::vector<OutlineHeading>* places :
         {&outline.Headings, &outline.Tables, &outline.Figures})
        for (OutlineHeading& heading : *places) heading.TagLength = 0;
}

void LeaveOutCuts(PageOutline& outline, std::vector<std::pair<std::size_t, std::size_t>> cuts) {
    std::sort(cuts.begin(), cuts.end());
    // The cuts as the text loses them: in byte order, each from where the one before it ended.
    std::vector<std::pair<std::size_t, std::size_t>> merged;
    for (const auto& [begin, end] : cuts) {
        if (!merged.empty() && begin <= merged.back().second)
            merged.back().second = std::max(merged.back().second, end);
        else
            merged.emplace_back(begin, end);
    }
    for (std::vector<OutlineHeading>* places :
         {&outline.Headings, &outline.Tables, &outline.Figures}) {
        std::vector<OutlineHeading> kept;
        for (OutlineHeading& heading : *places) {
            std::size_t before = 0;  // the bytes cut before the heading
            bool inside = false;
            for (const auto& [begin, end] : merged) {
                if (heading.TagStart >= end) {
                    before += end - begin;
                } else {
                    inside = heading.TagStart >= begin;
                    break;
                }
            }
            if (inside) continue;
            heading.TagStart -= before;
            kept.push_back(std::move(heading));
        }
        *places = std::move(kept);
    }
}

std::string SingleSpaced(std::string_view text) {
    std::string spaced;
    spaced.reserve(text.size());
    bool pendingSpace = false;
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t width = SpaceWidth(text, at); width > 0) {
            pendingSpace = !spaced.empty();
            at += width;
            continue;
        }
        if (const std::size_t width = InvisibleWidth(text, at); width > 0) {
            at += width;
            continue;
        }
        if (pendingSpace) spaced += ' ';
        pendingSpace = false;
        spaced += text[at++];
    }
    return spaced;
}

std::string ShortenedLabel(std::string_view label) {
    if (CharacterCount(label) <= kLongestLabel) return std::string(label);
    // The bytes of the first kLongestLabel - 1 characters, leaving room for the ellipsis.
    std::size_t cut = 0;
    for (std::size_t characters = 0; cut < label.size(); ++cut)
        if (!IsContinuationByte(label[cut]) && characters++ == kLongestLabel - 1) break;
    std::string_view kept = label.substr(0, cut);
    // Cut at the last word boundary when it lies in the second half; a script written without
    // spaces (or one endless word) is cut between two characters.
    const std::size_t space = kept.rfind(' ');
    if (label[cut] != ' ' && space != std::string_view::npos &&
        CharacterCount(kept.substr(0, space)) >= kLongestLabel / 2)
        kept = kept.substr(0, space);
    std::string shortened(TrimBlanks(kept));
    while (!shortened.empty() &&
           std::string_view(",;:-").find(shortened.back()) != std::string_view::npos)
        shortened.pop_back();
    return shortened + "\xE2\x80\xA6";
}

void RemoveSharedTitleParts(std::vector<std::string>& titles) {
    std::vector<const std::string*> holding;
    for (const std::string& title : titles)
        if (HoldsSeparator(title)) holding.push_back(&title);
    if (holding.size() < 2) return;
    const std::string end = SharedEnd(holding);
    const std::string beginning = SharedBeginning(holding);
    for (std::string& title : titles) {
        if (!end.empty() && title.size() > end.size() &&
            title.compare(title.size() - end.size(), end.size(), end) == 0)
            title = std::string(
                TrimBlanks(std::string_view(title).substr(0, title.size() - end.size())));
        if (!beginning.empty() && title.size() > beginning.size() &&
            title.compare(0, beginning.size(), beginning) == 0)
            title = std::string(TrimBlanks(std::string_view(title).substr(beginning.size())));
    }
}

}  // namespace quirebook
