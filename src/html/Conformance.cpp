// The XHTML 1.1 conformance stage of a chapter: parsed, held to the content model, written, and
// written again with its links checked against the book.
#include "html/Conformance.h"

#include <algorithm>

#include "html/ChapterLinks.h"
#include "html/ChapterWriter.h"
#include "html/ConformTreeBuilder.h"
#include "html/ContentModelMending.h"
#include "html/NestingLimit.h"

namespace quirebook {

namespace {

using namespace conform;

// Deeper than any real page nests; a hostile page is cut here before it is parsed, since the
// parser's scope checks cost time in proportion to the depth.
constexpr std::size_t kMaxNesting = 256;

// The page parsed as browsers parse it into our tree, held to the XHTML 1.1 content model.
Tree ParseChapter(std::string_view chapter, const ConformOptions& conform) {
    const std::string page = LimitNesting(chapter, kMaxNesting);
    Tree tree = BuildTree(page, conform.EpubVersion >= 3);
    MendContent(tree, tree.Body);
    // White space after the body's end tag is parsed into the body: without this, each reading
    // and writing of a chapter would add some.
    auto& trailing = tree[tree.Body].Children;
    while (!trailing.empty() && tree[trailing.back()].IsText &&
           xhtml::IsBlankText(tree[trailing.back()].Text))
        trailing.pop_back();
    // The body must hold at least one block.
    const auto& body = tree[tree.Body].Children;
    if (std::all_of(body.begin(), body.end(), [&](NodeId child) { return tree[child].IsText; })) {
        const NodeId block = tree.NewElement("div");
        tree[tree.Body].Children.push_back(block);
    }
    MendHead(tree, conform.Title);
    return tree;
}

}  // namespace

struct ConformedChapter::Held {
    Tree Parsed;
};

ConformedChapter::ConformedChapter(std::string_view chapter, const ConformOptions& options)
    : held_(std::make_unique<Held>(Held{ParseChapter(chapter, options)})) {
    held_->Parsed.Language = options.Language == "en" ? std::string() : options.Language;
    ids_ = WrittenIds(held_->Parsed);
}

ConformedChapter::ConformedChapter(ConformedChapter&&) noexcept = default;
ConformedChapter& ConformedChapter::operator=(ConformedChapter&&) noexcept = default;
ConformedChapter::~ConformedChapter() = default;

std::string ConformedChapter::Written() const {
    return WriteDocument(held_->Parsed);
}

std::string ConformedChapter::WithBookLinks(const std::string& chapterFile, const BookLinks& book) {
    FixLinks(held_->Parsed, chapterFile, book);
    return WriteDocument(held_->Parsed);
}

std::string ConformChapter(std::string_view chapter, const ConformOptions& options) {
    return ConformedChapter(chapter, options).Written();
}

}  // namespace quirebook
