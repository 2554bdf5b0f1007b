// Finding page furniture by repetition across chapters, landmarks and selectors, and cutting
// it out of the chapters by byte ranges.
#include "html/PageFurniture.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "html/Conformance.h"
#include "html/GumboPage.h"
#include "html/XhtmlModel.h"
#include "text/OrderedWork.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

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

class ElementSubject final : public SelectorSubject {
  public:
    ElementSubject(const GumboElement& element, const ElementSubject* parent)
        : m_element(element), m_tag(TagName(element)), m_parent(parent) {}
    std::string_view Tag() const override { return m_tag; }
    std::optional<std::string_view> Attribute(std::string_view name) const override {
        return AttributeOf(m_element, std::string(name).c_str());
    }
    const SelectorSubject* Parent() const override { return m_parent; }

  private:
    const GumboElement& m_element;
    std::string m_tag;
    const ElementSubject* m_parent;
};

// A block that may be furniture, as found in one chapter.
struct Block {
    std::size_t Begin = 0;      // its start tag's first byte
    std::size_t End = 0;        // past its end tag's last byte
    std::size_t BlocksEnd = 0;  // index past the last block inside it
    std::uint64_t Signature = 0;
    std::size_t Words = 0;
    bool Cuttable = false;  // both its tags are written in the page
    std::string Landmark;   // the landmark's description, empty for none
    std::string NamedBy;    // the first selector naming it, empty for none
    bool HoldsMainHeading = false;
    bool HoldsHeading = false;
    bool HoldsPicture = false;
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
    std::size_t Words = 0;
    bool HoldsMainHeading = false;
    bool HoldsHeading = false;
    bool HoldsPicture = false;
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
           tag == GUMBO_TAG_HEADER || tag == GUMBO_TAG_FOOTER || tag == GUMBO_TAG_ASIDE;
}

// Gathers a chapter's blocks from its parse.
class BlockGatherer {
  public:
    BlockGatherer(const SelectorList& named, ChapterBlocks& chapter)
        : m_named(named), m_chapter(chapter) {}

    void Gather(const GumboNode& body) {
        m_mainHeading = MainHeading(body);
        m_chapter.Words = Visit(body, nullptr).Words;
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

    NodeSummary Visit(const GumboNode& node, const ElementSubject* parent) {
        NodeSummary summary;
        if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_CDATA) {
            summary.Hash = Mix(summary.Hash, std::string_view("#text"));
            AddWords(node.v.text.text, summary);
            return summary;
        }
        if (node.type != GUMBO_NODE_ELEMENT && node.type != GUMBO_NODE_TEMPLATE) return summary;
        const GumboElement& element = node.v.element;
        const ElementSubject subject(element, parent);
        summary.Hash = Mix(summary.Hash, subject.Tag());
        const std::optional<std::size_t> index = OpenBlock(node, subject);
        for (unsigned i = 0; i < element.children.length; ++i) {
            const NodeSummary child =
                Visit(*static_cast<const GumboNode*>(element.children.data[i]), &subject);
            summary.Hash = Mix(summary.Hash, child.Hash);
            summary.Words += child.Words;
            summary.HoldsMainHeading = summary.HoldsMainHeading || child.HoldsMainHeading;
            summary.HoldsHeading = summary.HoldsHeading || child.HoldsHeading;
            summary.HoldsPicture = summary.HoldsPicture || child.HoldsPicture;
        }
        summary.HoldsPicture = summary.HoldsPicture || IsPicture(element.tag);
        summary.Hash = Mix(summary.Hash, std::string_view("/"));
        if (IsHeading(element.tag)) {
            summary.HoldsMainHeading = summary.HoldsMainHeading || &node == m_mainHeading;
            summary.HoldsHeading = summary.HoldsHeading || summary.Words > 0;
        }
        if (index) {
            Block& block = m_chapter.Blocks[*index];
            block.BlocksEnd = m_chapter.Blocks.size();
            block.Signature = summary.Hash;
            block.Words = summary.Words;
            block.HoldsMainHeading = summary.HoldsMainHeading;
            block.HoldsHeading = summary.HoldsHeading;
            block.HoldsPicture = summary.HoldsPicture;
        }
        return summary;
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
    std::optional<std::size_t> OpenBlock(const GumboNode& node, const ElementSubject& subject) {
        const GumboElement& element = node.v.element;
        // The page itself is never a block, whatever names it.
        if (element.tag == GUMBO_TAG_BODY || element.tag == GUMBO_TAG_HTML) return std::nullopt;
        const std::optional<std::string_view> role = AttributeOf(element, "role");
        Block block;
        if (element.tag == GUMBO_TAG_NAV || (role && HoldsToken(*role, "navigation")))
            block.Landmark = "a navigation landmark";
        else if (role && HoldsToken(*role, "search"))
            block.Landmark = "a search landmark";
        for (const ComplexSelector& selector : m_named) {
            if (Selects(selector, subject)) {
                block.NamedBy = selector.Text;
                break;
            }
        }
        if (!IsBlockTag(element.tag) && block.Landmark.empty() && block.NamedBy.empty())
            return std::nullopt;
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
        return m_chapter.Blocks.size() - 1;
    }

    const SelectorList& m_named;
    ChapterBlocks& m_chapter;
    const GumboNode* m_mainHeading = nullptr;
};

const GumboNode* BodyOf(const GumboNode& root) {
    if (root.type != GUMBO_NODE_ELEMENT) return &root;
    const GumboVector& children = root.v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY)
            return child;
    }
    return &root;
}

ChapterBlocks GatherBlocks(const std::string& text, const SelectorList& named) {
    ChapterBlocks chapter;
    chapter.Page = LimitNesting(text, kParseNestingLimit);
    const GumboDocument parsed(chapter.Page);
    BlockGatherer(named, chapter).Gather(*BodyOf(parsed.Root()));
    return chapter;
}

// The signatures of blocks holding something, and on how many chapters each is.
std::map<std::uint64_t, std::size_t> ChaptersPerSignature(
    const std::vector<ChapterBlocks>& chapters) {
    std::map<std::uint64_t, std::size_t> counts;
    for (const ChapterBlocks& chapter : chapters) {
        std::set<std::uint64_t> seen;
        for (const Block& block : chapter.Blocks)
            if (block.HoldsSomething() && seen.insert(block.Signature).second)
                ++counts[block.Signature];
    }
    return counts;
}

// Chooses the blocks of one chapter to cut.
class ChapterChoice {
  public:
    ChapterChoice(const FurnitureChoice& choice, const std::map<std::uint64_t, std::size_t>& counts,
                  std::size_t chapterCount)
        : m_choice(choice), m_counts(counts), m_chapterCount(chapterCount) {}

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
        return "the same on " + std::to_string(m_counts.at(block.Signature)) + " of " +
               std::to_string(m_chapterCount) + " chapters";
    }

  private:
    bool Repeated(const Block& block) const {
        const auto found = m_counts.find(block.Signature);
        const std::size_t count = found == m_counts.end() ? 0 : found->second;
        return count >= kFurnitureLeastChapters &&
               count * kFurnitureChapterShareDivisor >= m_chapterCount;
    }

    bool IsFurniture(const Block& block, std::size_t chapterWords) const {
        if (!m_choice.Detect || !block.Cuttable || !block.HoldsSomething()) return false;
        if (block.HoldsMainHeading || block.Words * 2 > chapterWords) return false;
        if (m_choice.HeadingsInNavigation && block.HoldsHeading) return false;
        return !block.Landmark.empty() || Repeated(block);
    }

    const FurnitureChoice& m_choice;
    const std::map<std::uint64_t, std::size_t>& m_counts;
    std::size_t m_chapterCount;
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
    WorkInOrder(
        chapters.size(), choice.Jobs,
        [&](std::size_t c) {
            if (WorthGathering(chapters[c], chapters.size(), choice))
                gathered[c] = GatherBlocks(chapters[c], choice.Named);
        },
        [](std::size_t) {});
    const std::map<std::uint64_t, std::size_t> counts = ChaptersPerSignature(gathered);
    const ChapterChoice chooser(choice, counts, chapters.size());
    for (std::size_t c = 0; c < chapters.size(); ++c) {
        std::vector<std::size_t> kept;
        const std::vector<std::size_t> chosen = chooser.Choose(gathered[c], kept);
        std::vector<std::size_t> all = chosen;
        all.insert(all.end(), kept.begin(), kept.end());
        std::sort(all.begin(), all.end());
        for (std::size_t index : all) {
            const Block& block = gathered[c].Blocks[index];
            const bool isKept = std::binary_search(kept.begin(), kept.end(), index);
            found.push_back({c, block.Name, block.Words, chooser.Why(block), isKept});
        }
        if (!chosen.empty()) chapters[c] = Cut(gathered[c], chosen);
    }
    return found;
}

}  // namespace quirebook
