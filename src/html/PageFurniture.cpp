// Finding page furniture by repetition across chapters, by place and shape, by landmarks and by
// selectors, and cutting it out of the chapters by byte ranges.
#include "html/PageFurniture.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

#include "html/GumboPage.h"
#include "html/LinkTargets.h"
#include "html/NestingLimit.h"
#include "html/XhtmlModel.h"
#include "text/OrderedWork.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// A block stands at the top (or bottom) of its page when at most this many elements holding words
// come before (after) it, each recurring on enough chapters, and nothing else a reader sees ...
constexpr std::size_t kEdgeSiblings = 4;
// ... and when the look for them passes at most this many nodes.
constexpr std::size_t kEdgeLook = 256;
constexpr std::uint64_t kHashStart = 14695981039346656037ull;
constexpr std::uint64_t kHashPrime = 1099511628211ull;

std::uint64_t Mix(std::uint64_t hash, std::string_view bytes) {
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * kHashPrime;
    return hash;
}

std::uint64_t Mix(std::uint64_t hash, std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8)
        hash = (hash ^ ((value >> shift) & 0xFF)) * kHashPrime;
    return hash;
}

bool IsBlankAt(std::string_view text, std::size_t at, std::size_t& width) {
    const char c = text[at];
    width = 1;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') return true;
    // A no-break space, as the parser decodes "&nbsp;".
    if (c == '\xC2' && at + 1 < text.size() && text[at + 1] == '\xA0') {
        width = 2;
        return true;
    }
    return false;
}

// The class names of a class attribute, sorted, one blank apart: the same classes written in
// another order are the same.
std::string SortedClasses(std::optional<std::string_view> classes) {
    std::vector<std::string_view> names;
    if (classes) {
        std::size_t at = 0;
        while ((at = classes->find_first_not_of(" \t\r\n\f", at)) != std::string_view::npos) {
            const std::size_t end =
                std::min(classes->find_first_of(" \t\r\n\f", at), classes->size());
            names.push_back(classes->substr(at, end - at));
            at = end;
        }
    }
    std::sort(names.begin(), names.end());
    std::string sorted;
    for (const std::string_view name : names) (sorted += ' ') += name;
    return sorted;
}

// The landmark's description: "a navigation landmark" for nav and role="navigation", "a search
// landmark" for role="search"; empty for other elements.
std::string LandmarkOf(const GumboElement& element) {
    const std::optional<std::string_view> role = AttributeOf(element, "role");
    if (element.tag == GUMBO_TAG_NAV || (role && HoldsToken(*role, "navigation")))
        return "a navigation landmark";
    if (role && HoldsToken(*role, "search")) return "a search landmark";
    return {};
}

bool IsLandmark(const GumboElement& element) {
    return !LandmarkOf(element).empty();
}

// The elements the parser reconstructs when they are left open, and span.
bool IsFormatting(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_B:
        case GUMBO_TAG_BIG:
        case GUMBO_TAG_CODE:
        case GUMBO_TAG_EM:
        case GUMBO_TAG_FONT:
        case GUMBO_TAG_I:
        case GUMBO_TAG_NOBR:
        case GUMBO_TAG_S:
        case GUMBO_TAG_SMALL:
        case GUMBO_TAG_SPAN:
        case GUMBO_TAG_STRIKE:
        case GUMBO_TAG_STRONG:
        case GUMBO_TAG_TT:
        case GUMBO_TAG_U:
            return true;
        default:
            return false;
    }
}

// An element as a selector sees it, with the chain of its ancestors' names that gives its place.
class PlacedSubject final : public SelectorSubject {
  public:
    PlacedSubject(const GumboElement& element, const PlacedSubject* parent)
        : m_element(element), m_tag(TagName(element)), m_parent(parent) {
        // The page's body (where the walk starts) is left out of the chain: sites mark it with
        // a class of each page. So are the formatting elements, which the parser opens again
        // around whatever follows when a page leaves one unclosed ("<a id="x"/>" is an open a).
        if (parent == nullptr) return;
        m_chain = parent->m_chain;
        if (!IsFormatting(element.tag)) m_chain = Mix(m_chain, m_tag);
    }
    std::string_view Tag() const override { return m_tag; }
    std::optional<std::string_view> Attribute(std::string_view name) const override {
        return AttributeOf(m_element, std::string(name).c_str());
    }
    const SelectorSubject* Parent() const override { return m_parent; }
    // The names of the element and its ancestors below the body, formatting elements left out.
    std::uint64_t Chain() const { return m_chain; }

  private:
    const GumboElement& m_element;
    std::string m_tag;
    const PlacedSubject* m_parent;
    std::uint64_t m_chain = kHashStart;
};

// The signatures of the elements holding words between a block and the top (or bottom) of its
// page, landmarks left aside, nearest first; none when a text or a picture stands there, or more
// than kEdgeSiblings elements do.
using EdgeSiblings = std::optional<std::vector<std::uint64_t>>;

// A block that may be furniture, as found in one chapter.
struct Block {
    std::size_t Begin = 0;        // its start tag's first byte
    std::size_t End = 0;          // past its end tag's last byte
    std::size_t BlocksEnd = 0;    // index past the last block inside it
    std::uint64_t Signature = 0;  // its element tree and its words
    // Its name and classes, and its ancestors' names: the classes of the ancestors are left out,
    // since sites mark with them what a page holds (a manual's "chapter" or "section").
    std::uint64_t Place = 0;
    std::uint64_t Shape = 0;  // its element tree without texts, links and formatting
    EdgeSiblings Before;
    EdgeSiblings After;
    // The keys of its place and shape, one for the top and one for the bottom of the page when
    // it stands there (see ShapeKeysOf); none for a block that cannot be found by its shape.
    std::vector<std::uint64_t> ShapeKeys;
    std::size_t Words = 0;
    bool Cuttable = false;  // both its tags are written in the page
    bool Shaped = false;    // an element that may be furniture by its place and shape
    std::string Landmark;   // the landmark's description, empty for none
    std::string NamedBy;    // the first selector naming it, empty for none
    bool HoldsMainHeading = false;
    bool HoldsPicture = false;
    bool LinksToNeighbour = false;  // holds a link to the chapter before or after
    std::string Name;

    // Whether leaving it out takes anything a reader sees.
    bool HoldsSomething() const { return Words > 0 || HoldsPicture; }
};

struct ChapterBlocks {
    std::string Page;           // the text parsed, whose byte ranges the blocks give
    std::vector<Block> Blocks;  // in page order (parents before the blocks inside them)
    std::size_t Words = 0;
};

// What a node gives the element holding it.
struct NodeSummary {
    std::uint64_t Hash = kHashStart;
    std::uint64_t Shape = kHashStart;
    std::size_t Words = 0;
    // An element other than a link or a formatting element: part of its parent's shape. Links
    // come and go on the first and last pages, and the markup of a title differs page by page.
    bool InShape = false;
    bool HoldsMainHeading = false;
    bool HoldsPicture = false;
    bool LinksToNeighbour = false;

    bool HoldsSomething() const { return Words > 0 || HoldsPicture; }
};

bool IsHeading(GumboTag tag) {
    return tag >= GUMBO_TAG_H1 && tag <= GUMBO_TAG_H6;
}

bool IsPicture(GumboTag tag) {
    return tag == GUMBO_TAG_IMG || tag == GUMBO_TAG_SVG || tag == GUMBO_TAG_OBJECT ||
           tag == GUMBO_TAG_EMBED || tag == GUMBO_TAG_VIDEO || tag == GUMBO_TAG_CANVAS ||
           tag == GUMBO_TAG_IFRAME;
}

bool IsBlockTag(GumboTag tag) {
    return tag == GUMBO_TAG_DIV || tag == GUMBO_TAG_UL || tag == GUMBO_TAG_NAV ||
           tag == GUMBO_TAG_HEADER || tag == GUMBO_TAG_FOOTER || tag == GUMBO_TAG_ASIDE ||
           tag == GUMBO_TAG_TABLE;
}

// Where a chapter stands in the book: its path and its neighbours', empty where there is none.
struct ChapterPlace {
    std::string Path;
    std::string Previous;
    std::string Next;
};

// Gathers a chapter's blocks from its parse.
class BlockGatherer {
  public:
    BlockGatherer(const SelectorList& named, const ChapterPlace& place, ChapterBlocks& chapter)
        : m_named(named), m_place(place), m_chapter(chapter) {}

    void Gather(const GumboNode& body) {
        m_body = &body;
        m_mainHeading = MainHeading(body);
        m_chapter.Words = Visit(body, nullptr).Words;
        for (std::size_t i = 0; i < m_chapter.Blocks.size(); ++i) {
            Block& block = m_chapter.Blocks[i];
            if (!block.Shaped || !block.Cuttable) continue;
            block.Before = TowardsPageEdge(*m_blockNodes[i], false);
            block.After = TowardsPageEdge(*m_blockNodes[i], true);
        }
    }

  private:
    // The first heading of the highest level the page uses.
    static const GumboNode* MainHeading(const GumboNode& body) {
        const GumboNode* found = nullptr;
        std::vector<const GumboNode*> stack{&body};
        while (!stack.empty()) {
            const GumboNode* node = stack.back();
            stack.pop_back();
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
            const GumboElement& element = node->v.element;
            if (IsHeading(element.tag) && (found == nullptr || element.tag < found->v.element.tag))
                found = node;
            for (unsigned i = element.children.length; i-- > 0;)
                stack.push_back(static_cast<const GumboNode*>(element.children.data[i]));
        }
        return found;
    }

    NodeSummary Visit(const GumboNode& node, const PlacedSubject* parent) {
        NodeSummary summary;
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_CDATA) {
            summary.Hash = Mix(summary.Hash, std::string_view("#text"));
            AddWords(node.v.text.text, summary);
            if (summary.Words > 0) m_beside.emplace(&node, std::nullopt);
            return summary;
        }
        if (node.type != GUMBO_NODE_ELEMENT && node.type != GUMBO_NODE_TEMPLATE) return summary;
        const GumboElement& element = node.v.element;
        const PlacedSubject subject(element, parent);
        summary.Hash = Mix(summary.Hash, subject.Tag());
        summary.Shape = Mix(summary.Shape, subject.Tag());
        summary.InShape = !IsFormatting(element.tag);
        const std::optional<std::size_t> index = OpenBlock(node, subject);
        for (unsigned i = 0; i < element.children.length; ++i) {
            const NodeSummary child =
                Visit(*static_cast<const GumboNode*>(element.children.data[i]), &subject);
            summary.Hash = Mix(summary.Hash, child.Hash);
            if (child.InShape) summary.Shape = Mix(summary.Shape, child.Shape);
            summary.Words += child.Words;
            summary.HoldsMainHeading = summary.HoldsMainHeading || child.HoldsMainHeading;
            summary.HoldsPicture = summary.HoldsPicture || child.HoldsPicture;
            summary.LinksToNeighbour = summary.LinksToNeighbour || child.LinksToNeighbour;
        }
        summary.HoldsPicture = summary.HoldsPicture || IsPicture(element.tag);
        summary.LinksToNeighbour = summary.LinksToNeighbour || LinksToNeighbour(element);
        summary.Hash = Mix(summary.Hash, std::string_view("/"));
        summary.Shape = Mix(summary.Shape, std::string_view("/"));
        if (IsHeading(element.tag))
            summary.HoldsMainHeading = summary.HoldsMainHeading || &node == m_mainHeading;
        NoteBeside(node, summary);
        if (index) {
            Block& block = m_chapter.Blocks[*index];
            block.BlocksEnd = m_chapter.Blocks.size();
            block.Signature = summary.Hash;
            block.Place = Mix(subject.Chain(), SortedClasses(AttributeOf(element, "class")));
            block.Shape = summary.Shape;
            block.Words = summary.Words;
            block.HoldsMainHeading = summary.HoldsMainHeading;
            block.HoldsPicture = summary.HoldsPicture;
            block.LinksToNeighbour = summary.LinksToNeighbour;
        }
        return summary;
    }

    // Whether the element is a link to the chapter before or after this one.
    bool LinksToNeighbour(const GumboElement& element) const {
        if (element.tag != GUMBO_TAG_A) return false;
        const std::optional<std::string_view> href = AttributeOf(element, "href");
        if (!href) return false;
        const std::string target = LinkedBookPath(m_place.Path, *href);
        return !target.empty() && (target == m_place.Previous || target == m_place.Next);
    }

    // How the element bears on whether a block beside it stands at the page's edge: landmarks
    // and elements holding nothing do not; an element holding words does when it recurs; one
    // holding a picture alone stands in the way.
    void NoteBeside(const GumboNode& node, const NodeSummary& summary) {
        if (!summary.HoldsSomething() || IsLandmark(node.v.element)) return;
        m_beside.emplace(&node, summary.Words > 0 ? std::optional(summary.Hash) : std::nullopt);
    }

    // What stands between the block and the top of the page, or its bottom when `after`.
    EdgeSiblings TowardsPageEdge(const GumboNode& block, bool after) const {
        std::vector<std::uint64_t> signatures;
        std::size_t looked = 0;
        for (const GumboNode* at = &block; at != m_body && at->parent != nullptr; at = at->parent) {
            const GumboVector& siblings = at->parent->v.element.children;
            const std::size_t count =
                after ? siblings.length - at->index_within_parent - 1 : at->index_within_parent;
            for (std::size_t n = 1; n <= count; ++n) {
                if (++looked > kEdgeLook) return std::nullopt;
                const auto* sibling = static_cast<const GumboNode*>(
                    siblings
                        .data[after ? at->index_within_parent + n : at->index_within_parent - n]);
                const auto found = m_beside.find(sibling);
                if (found == m_beside.end()) continue;
                if (!found->second || signatures.size() == kEdgeSiblings) return std::nullopt;
                signatures.push_back(*found->second);
            }
        }
        return signatures;
    }

    // Words are runs of bytes between blanks; the summary's hash takes them one blank apart.
    static void AddWords(std::string_view text, NodeSummary& summary) {
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t width = 1;
            while (at < text.size() && IsBlankAt(text, at, width)) at += width;
            const std::size_t start = at;
            while (at < text.size() && !IsBlankAt(text, at, width)) ++at;
            if (at == start) break;
            summary.Hash = Mix(Mix(summary.Hash, text.substr(start, at - start)), "\x01");
            ++summary.Words;
        }
    }

    // Adds the block `element` is when it may be furniture; its index.
    std::optional<std::size_t> OpenBlock(const GumboNode& node, const PlacedSubject& subject) {
        const GumboElement& element = node.v.element;
        // The page itself is never a block, whatever names it.
        if (element.tag == GUMBO_TAG_BODY || element.tag == GUMBO_TAG_HTML) return std::nullopt;
        Block block;
        block.Landmark = LandmarkOf(element);
        for (const ComplexSelector& selector : m_named) {
            if (Selects(selector, subject)) {
                block.NamedBy = selector.Text;
                break;
            }
        }
        block.Shaped = IsBlockTag(element.tag);
        if (!block.Shaped && block.Landmark.empty() && block.NamedBy.empty()) return std::nullopt;
        const std::string_view page = m_chapter.Page;
        const GumboStringPiece& start = element.original_tag;
        const GumboStringPiece& end = element.original_end_tag;
        block.Cuttable = start.length > 0 && end.length > 0 &&
                         (node.parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG) == 0 &&
                         start.data >= page.data() &&
                         end.data + end.length <= page.data() + page.size();
        if (block.Cuttable) {
            block.Begin = static_cast<std::size_t>(start.data - page.data());
            block.End = static_cast<std::size_t>(end.data + end.length - page.data());
        }
        block.Name = std::string(subject.Tag());
        if (const auto id = AttributeOf(element, "id"); id && !id->empty()) {
            block.Name += "#" + std::string(*id);
        } else if (const auto classes = AttributeOf(element, "class")) {
            const std::size_t first = classes->find_first_not_of(" \t\r\n");
            if (first != std::string_view::npos)
                block.Name += "." + std::string(classes->substr(
                                        first, classes->find_first_of(" \t\r\n", first) - first));
        }
        m_chapter.Blocks.push_back(std::move(block));
        m_blockNodes.push_back(&node);
        return m_chapter.Blocks.size() - 1;
    }

    const SelectorList& m_named;
    const ChapterPlace& m_place;
    ChapterBlocks& m_chapter;
    const GumboNode* m_mainHeading = nullptr;
    const GumboNode* m_body = nullptr;
    std::vector<const GumboNode*> m_blockNodes;  // parallel to the chapter's blocks
    // The nodes a reader sees, each with its signature when it holds words (see NoteBeside).
    std::unordered_map<const GumboNode*, std::optional<std::uint64_t>> m_beside;
};

ChapterBlocks GatherBlocks(const std::string& text, const FurnitureChoice& choice,
                           const ChapterPlace& place, std::size_t index) {
    ChapterBlocks chapter;
    chapter.Page = LimitNesting(text, kParseNestingLimit);
    const GumboDocument parsed(chapter.Page);
    BlockGatherer(choice.Named, place, chapter).Gather(parsed.Body());
    if (choice.OnParse) choice.OnParse(index, parsed, chapter.Page);
    return chapter;
}

// What recurs across the book's chapters: block signatures (and the signatures of the siblings
// beside blocks), and blocks' places and shapes.
class BookRecurrence {
  public:
    explicit BookRecurrence(std::vector<ChapterBlocks>& chapters)
        : m_chapterCount(chapters.size()) {
        for (const ChapterBlocks& chapter : chapters) {
            std::set<std::uint64_t> seen;
            for (const Block& block : chapter.Blocks) {
                if (block.HoldsSomething()) seen.insert(block.Signature);
                for (const EdgeSiblings* side : {&block.Before, &block.After})
                    if (*side) seen.insert((*side)->begin(), (*side)->end());
            }
            for (const std::uint64_t signature : seen) ++m_signatures[signature];
        }
        // The places are known once the signatures are counted: what recurs between a block and
        // the page's edge leaves it standing at the edge.
        for (ChapterBlocks& chapter : chapters) {
            std::set<std::uint64_t> seen;
            std::set<std::uint64_t> linking;
            for (Block& block : chapter.Blocks) {
                block.ShapeKeys = ShapeKeysOf(block);
                seen.insert(block.ShapeKeys.begin(), block.ShapeKeys.end());
                if (block.LinksToNeighbour)
                    linking.insert(block.ShapeKeys.begin(), block.ShapeKeys.end());
            }
            for (const std::uint64_t key : seen) ++m_shapes[key].Chapters;
            for (const std::uint64_t key : linking) ++m_shapes[key].Linking;
        }
    }

    std::size_t ChapterCount() const { return m_chapterCount; }

    // On how many chapters the block's signature is.
    std::size_t SignatureChapters(const Block& block) const {
        return ChaptersOf(m_signatures, block.Signature);
    }

    bool Repeated(const Block& block) const { return Enough(SignatureChapters(block)); }

    // On how many chapters blocks of its place and shape are, when they are on enough chapters
    // and most of them link to the chapter before or after (a navigation bar whose words differ
    // page by page); else 0. Of its two edges, the one that recurs more.
    std::size_t ShapeChapters(const Block& block) const {
        std::size_t most = 0;
        for (const std::uint64_t key : block.ShapeKeys) {
            const ShapeCount& count = m_shapes.at(key);
            if (Enough(count.Chapters) && count.Linking * 2 > count.Chapters)
                most = std::max(most, count.Chapters);
        }
        return most;
    }

  private:
    struct ShapeCount {
        std::size_t Chapters = 0;
        std::size_t Linking = 0;  // chapters where such a block links to a neighbour
    };

    static std::size_t ChaptersOf(const std::map<std::uint64_t, std::size_t>& counts,
                                  std::uint64_t key) {
        const auto found = counts.find(key);
        return found == counts.end() ? 0 : found->second;
    }

    bool Enough(std::size_t chapters) const {
        return chapters >= kFurnitureLeastChapters &&
               chapters * kFurnitureChapterShareDivisor >= m_chapterCount;
    }

    // A block stands at its page's edge when what holds words between them recurs on enough
    // chapters (a site's footer line after a bottom bar).
    bool AtEdge(const EdgeSiblings& side) const {
        if (!side) return false;
        for (const std::uint64_t sibling : *side)
            if (!Enough(ChaptersOf(m_signatures, sibling))) return false;
        return true;
    }

    // The block's place with its shape, once for the top of the page when it stands there and
    // once for the bottom; none for a block in the middle of its page.
    std::vector<std::uint64_t> ShapeKeysOf(const Block& block) const {
        std::vector<std::uint64_t> keys;
        if (!block.Shaped || !block.Cuttable || !block.HoldsSomething()) return keys;
        const std::uint64_t placed = Mix(Mix(kHashStart, block.Place), block.Shape);
        if (AtEdge(block.Before)) keys.push_back(Mix(placed, std::string_view("top")));
        if (AtEdge(block.After)) keys.push_back(Mix(placed, std::string_view("bottom")));
        return keys;
    }

    std::size_t m_chapterCount;
    std::map<std::uint64_t, std::size_t> m_signatures;  // signature -> chapters
    std::map<std::uint64_t, ShapeCount> m_shapes;       // place and shape -> chapters
};

// Chooses the blocks of one chapter to cut.
class ChapterChoice {
  public:
    ChapterChoice(const FurnitureChoice& choice, const BookRecurrence& recurrence)
        : m_choice(choice), m_recurrence(recurrence) {}

    // The indexes of the blocks to cut, in page order; the found ones kept go to `kept`.
    std::vector<std::size_t> Choose(const ChapterBlocks& chapter,
                                    std::vector<std::size_t>& kept) const {
        std::vector<std::size_t> chosen;
        std::vector<std::size_t> found;  // the chosen ones not named
        std::size_t i = 0;
        while (i < chapter.Blocks.size()) {
            const Block& block = chapter.Blocks[i];
            const bool named = !block.NamedBy.empty() && block.Cuttable;
            const bool furniture = !named && IsFurniture(block, chapter.Words);
            if (!named && !furniture) {
                ++i;
                continue;
            }
            (named ? chosen : found).push_back(i);
            i = block.BlocksEnd;
        }
        // The largest found blocks stay (the first of equal ones first) while the found ones pass
        // the share of the words.
        std::stable_sort(found.begin(), found.end(), [&chapter](std::size_t a, std::size_t b) {
            return chapter.Blocks[a].Words > chapter.Blocks[b].Words;
        });
        std::size_t words = 0;
        for (std::size_t index : found) words += chapter.Blocks[index].Words;
        std::size_t next = 0;
        while (next < found.size() && words * 100 > chapter.Words * kFurnitureMostWordsPercent) {
            words -= chapter.Blocks[found[next]].Words;
            kept.push_back(found[next++]);
        }
        chosen.insert(chosen.end(), found.begin() + static_cast<std::ptrdiff_t>(next), found.end());
        std::sort(chosen.begin(), chosen.end());
        std::sort(kept.begin(), kept.end());
        return chosen;
    }

    std::string Why(const Block& block) const {
        if (!block.NamedBy.empty() && block.Cuttable) return "named by " + block.NamedBy;
        if (!block.Landmark.empty()) return block.Landmark;
        const std::string of = " of " + std::to_string(m_recurrence.ChapterCount()) + " chapters";
        if (m_recurrence.Repeated(block))
            return "the same on " + std::to_string(m_recurrence.SignatureChapters(block)) + of;
        return "the same place and shape on " + std::to_string(m_recurrence.ShapeChapters(block)) +
               of;
    }

  private:
    bool IsFurniture(const Block& block, std::size_t chapterWords) const {
        if (!m_choice.Detect || !block.Cuttable) return false;
        // An empty landmark goes too: a reader sees nothing of it but what the site's style
        // draws (an mdBook's sidebar, filled by a script, is a panel over the text).
        if (!block.HoldsSomething() && block.Landmark.empty()) return false;
        if (block.HoldsMainHeading || block.Words * 2 > chapterWords) return false;
        return !block.Landmark.empty() || m_recurrence.Repeated(block) ||
               m_recurrence.ShapeChapters(block) > 0;
    }

    const FurnitureChoice& m_choice;
    const BookRecurrence& m_recurrence;
};

// The page without the chosen blocks' bytes. A block's bytes usually hold only the blocks inside
// it, but not always: the parser moves an element written inside a table out in front of it, so
// a chosen table's bytes may hold a chosen block that is not inside it. Ranges are therefore cut
// in byte order, each from where the cut before it ended.
std::string Cut(const ChapterBlocks& chapter, std::vector<std::size_t> chosen) {
    std::sort(chosen.begin(), chosen.end(), [&chapter](std::size_t a, std::size_t b) {
        return chapter.Blocks[a].Begin < chapter.Blocks[b].Begin;
    });
    std::string page;
    page.reserve(chapter.Page.size());
    std::size_t copied = 0;
    for (std::size_t index : chosen) {
        const Block& block = chapter.Blocks[index];
        if (block.Begin > copied) page.append(chapter.Page, copied, block.Begin - copied);
        copied = std::max(copied, block.End);
    }
    page.append(chapter.Page, copied);
    return page;
}

// Whether the page may hold a landmark: a nav element or a role attribute, whose names the
// markup cannot write but as letters.
bool MayHoldLandmark(std::string_view page) {
    return FindAnyCase(page, "<nav") != std::string_view::npos ||
           FindAnyCase(page, "role") != std::string_view::npos;
}

// Whether a chapter's blocks can matter: with fewer chapters than a repetition needs and no
// selector, only a landmark can be furniture, so a page that cannot hold one is not parsed.
bool WorthGathering(std::string_view page, std::size_t chapterCount,
                    const FurnitureChoice& choice) {
    return chapterCount >= kFurnitureLeastChapters || !choice.Named.empty() ||
           MayHoldLandmark(page);
}

}  // namespace

std::vector<FurnitureBlock> RemovePageFurniture(std::vector<std::string>& chapters,
                                                const FurnitureChoice& choice) {
    std::vector<FurnitureBlock> found;
    if (!choice.Detect && choice.Named.empty()) return found;
    std::vector<ChapterBlocks> gathered(chapters.size());
    const auto pathOf = [&choice](std::size_t c) {
        return c < choice.ChapterPaths.size() ? choice.ChapterPaths[c] : std::string();
    };
    WorkInOrder(
        chapters.size(), choice.Jobs,
        [&](std::size_t c) {
            if (!WorthGathering(chapters[c], chapters.size(), choice)) return;
            const ChapterPlace place{pathOf(c), c == 0 ? std::string() : pathOf(c - 1),
                                     pathOf(c + 1)};
            gathered[c] = GatherBlocks(chapters[c], choice, place, c);
        },
        [](std::size_t) {});
    const BookRecurrence recurrence(gathered);
    const ChapterChoice chooser(choice, recurrence);
    for (std::size_t c = 0; c < chapters.size(); ++c) {
        std::vector<std::size_t> kept;
        const std::vector<std::size_t> chosen = chooser.Choose(gathered[c], kept);
        std::vector<std::size_t> all = chosen;
        all.insert(all.end(), kept.begin(), kept.end());
        std::sort(all.begin(), all.end());
        for (std::size_t index : all) {
            const Block& block = gathered[c].Blocks[index];
            const bool isKept = std::binary_search(kept.begin(), kept.end(), index);
            found.push_back(
                {c, block.Name, block.Words, chooser.Why(block), isKept, block.Begin, block.End});
        }
        if (!chosen.empty()) chapters[c] = Cut(gathered[c], chosen);
    }
    return found;
}

}  // namespace quirebook
