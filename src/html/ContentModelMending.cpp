// Holds the conformance stage's tree to the content model of XHTML 1.1 (or HTML5): what each
// element may hold, wrapped, split out, reordered or removed, without losing text.
#include "html/ContentModelMending.h"

#include <algorithm>
#include <initializer_list>

namespace quirebook::conform {

using namespace xhtml;

namespace {

// Holds an element to its content model once its children hold to theirs.
class ContentMender {
  public:
    explicit ContentMender(Tree& tree) : tree_(tree) {}

    // Every element under `root`, children first, without recursion.
    void Mend(NodeId root) {
        std::vector<std::pair<NodeId, bool>> stack{{root, false}};
        while (!stack.empty()) {
            const auto [id, childrenDone] = stack.back();
            stack.pop_back();
            if (childrenDone) {
                Splice(id);
                MendElement(id);
                continue;
            }
            stack.emplace_back(id, true);
            for (NodeId child : tree_[id].Children)
                if (!tree_[child].IsText) stack.emplace_back(child, false);
        }
    }

    // The head: one title first (the given one when the page has none), then what may follow.
    void MendHead(const std::string& title) {
        Node& head = tree_[tree_.Head];
        if (std::none_of(head.Children.begin(), head.Children.end(),
                         [&](NodeId child) { return tree_[child].Name == "title"; })) {
            const NodeId element = tree_.NewElement("title");
            const NodeId text = tree_.NewText(title);
            tree_[element].Children.push_back(text);
            tree_[tree_.Head].Children.insert(tree_[tree_.Head].Children.begin(), element);
        }
    }

  private:
    // Children that stand in for others (split, wrapped, removed) put in their place.
    void Splice(NodeId id) {
        std::vector<NodeId>& children = tree_[id].Children;
        if (std::none_of(children.begin(), children.end(),
                         [&](NodeId child) { return tree_[child].Replaced; }))
            return;
        std::vector<NodeId> spliced;
        spliced.reserve(children.size());
        for (NodeId child : children) {
            if (tree_[child].Replaced)
                spliced.insert(spliced.end(), tree_[child].Replacement.begin(),
                               tree_[child].Replacement.end());
            else
                spliced.push_back(child);
        }
        tree_[id].Children = std::move(spliced);
    }

    bool HasBlockChild(NodeId id) {
        const auto& children = tree_[id].Children;
        return std::any_of(children.begin(), children.end(),
                           [&](NodeId child) { return IsBlock(tree_[child]); });
    }

    void MendElement(NodeId id) {
        if (tree_[id].Name == "figure") PlaceCaption(id);
        switch (tree_[id].Rule->Holds) {
            case Model::Inline:
                if (!HasBlockChild(id)) break;
                if (tree_[id].Flexible)
                    Rename(tree_[id], "div");
                else
                    SplitAroundBlocks(id);
                break;
            case Model::Block:
                WrapRuns(id, [&](const Node& n) { return IsInline(n); }, {"div"});
                break;
            case Model::ListItems:
                WrapRuns(id, [&](const Node& n) { return n.Name != "li"; }, {"li"});
                RemoveWhenEmptyOf(id, " li ");
                break;
            case Model::Terms:
                WrapRuns(id, [&](const Node& n) { return n.Name != "dt" && n.Name != "dd"; },
                         {"dd"});
                RemoveWhenEmptyOf(id, " dt dd ");
                if (tree_.Html5) PairTerms(id);
                break;
            case Model::Rows:
                WrapRuns(id, [&](const Node& n) { return n.Name != "tr"; }, {"tr", "td"});
                RemoveWhenEmptyOf(id, " tr ");
                break;
            case Model::Cells:
                WrapRuns(id, [&](const Node& n) { return n.Name != "td" && n.Name != "th"; },
                         {"td"});
                RemoveWhenEmptyOf(id, " td th ");
                break;
            case Model::Columns:
                KeepOnly(id, " col ");
                break;
            case Model::Table:
                MendTable(id);
                break;
            case Model::Flow:
            case Model::Empty:
            case Model::Text:
                break;
        }
    }

    // HTML5 lists terms in groups, each of one or more dt then one or more dd: a dd without a
    // term before it gets an empty dt, a term without a description after it an empty dd.
    void PairTerms(NodeId id) {
        std::vector<NodeId> paired;
        std::string_view last;  // the name of the last dt or dd so far
        for (NodeId child : tree_[id].Children) {
            const std::string name = tree_[child].Name;  // NewElement moves the nodes
            if (name == "dd" && last.empty()) paired.push_back(tree_.NewElement("dt"));
            if (name == "dt" || name == "dd") last = name == "dt" ? "dt" : "dd";
            paired.push_back(child);
        }
        if (last == "dt") paired.push_back(tree_.NewElement("dd"));
        tree_[id].Children = std::move(paired);
    }

    // A figure has one caption, its first or its last child: other captions become blocks of
    // text.
    void PlaceCaption(NodeId id) {
        std::vector<NodeId> content;
        for (NodeId child : tree_[id].Children)
            if (!IsBlankNode(tree_[child])) content.push_back(child);
        const auto isCaption = [&](NodeId child) { return tree_[child].Name == "figcaption"; };
        NodeId kept = 0;
        if (!content.empty() && isCaption(content.front()))
            kept = content.front();
        else if (!content.empty() && isCaption(content.back()))
            kept = content.back();
        for (NodeId child : content)
            if (child != kept && isCaption(child)) RenameAsClass(tree_[child], "div");
    }

    // An element that may hold only inline content, holding blocks: closed before each block and
    // opened again after it, as browsers do; the first piece keeps the id, empty pieces go.
    void SplitAroundBlocks(NodeId id) {
        std::vector<NodeId> pieces;
        NodeId piece = id;
        std::vector<NodeId> pieceChildren;
        const auto closePiece = [&] {
            const bool blank = std::all_of(pieceChildren.begin(), pieceChildren.end(),
                                           [&](NodeId c) { return IsBlankNode(tree_[c]); });
            const bool keeps = piece == id && AttributeOf(tree_[id], "id") != nullptr;
            if (blank && !keeps) {
                pieces.insert(pieces.end(), pieceChildren.begin(), pieceChildren.end());
            } else {
                tree_[piece].Children = pieceChildren;
                pieces.push_back(piece);
            }
            pieceChildren.clear();
        };
        const std::vector<NodeId> children = tree_[id].Children;
        for (NodeId child : children) {
            if (!IsBlock(tree_[child])) {
                pieceChildren.push_back(child);
                continue;
            }
            closePiece();
            pieces.push_back(child);
            piece = tree_.Clone(id);
        }
        closePiece();
        tree_[id].Replaced = true;
        tree_[id].Replacement = std::move(pieces);
    }

    // Each run of children that `misplaced` picks (runs of blank text alone left as they are)
    // wrapped in `wrappers` (outermost first).
    template <typename Predicate>
    void WrapRuns(NodeId id, const Predicate& misplaced,
                  std::initializer_list<std::string_view> wrappers) {
        const std::vector<NodeId> children = tree_[id].Children;
        if (std::none_of(children.begin(), children.end(),
                         [&](NodeId c) { return misplaced(tree_[c]) && !IsBlankNode(tree_[c]); }))
            return;
        std::vector<NodeId> mended;
        std::vector<NodeId> run;
        const auto closeRun = [&] {
            if (std::all_of(run.begin(), run.end(),
                            [&](NodeId c) { return IsBlankNode(tree_[c]); })) {
                mended.insert(mended.end(), run.begin(), run.end());
            } else {
                NodeId inner = 0;
                for (std::string_view wrapper : wrappers) {
                    const NodeId made = tree_.NewElement(wrapper);
                    if (inner == 0)
                        mended.push_back(made);
                    else
                        tree_[inner].Children.push_back(made);
                    inner = made;
                }
                tree_[inner].Children = run;
            }
            run.clear();
        };
        for (NodeId child : children) {
            if (misplaced(tree_[child])) {
                run.push_back(child);
            } else {
                closeRun();
                mended.push_back(child);
            }
        }
        closeRun();
        tree_[id].Children = std::move(mended);
    }

    // An element that must hold at least one of `required` and holds none goes (it holds no
    // text: anything else was wrapped in one of them).
    void RemoveWhenEmptyOf(NodeId id, std::string_view required) {
        const auto& children = tree_[id].Children;
        if (std::any_of(children.begin(), children.end(),
                        [&](NodeId c) { return ListHolds(required, tree_[c].Name); }))
            return;
        tree_[id].Replaced = true;
        tree_[id].Replacement.clear();
    }

    // Only the children named in `allowed` stay, with blank text (what else could stand there
    // holds no text of the book).
    void KeepOnly(NodeId id, std::string_view allowed) {
        auto& children = tree_[id].Children;
        children.erase(std::remove_if(children.begin(), children.end(),
                                      [&](NodeId c) {
                                          return !IsBlankNode(tree_[c]) &&
                                                 !ListHolds(allowed, tree_[c].Name);
                                      }),
                       children.end());
    }

    // The table's parts in the order XHTML requires: caption, columns, head, foot, then row
    // groups or rows (never both); anything else goes into a row of its own. A table left
    // without rows becomes a div.
    void MendTable(NodeId id) {
        std::vector<NodeId> ranks[5];
        bool hasColumnGroup = false, hasRowGroup = false, hasLooseRow = false;
        const std::vector<NodeId> children = tree_[id].Children;  // new rows move the nodes
        for (NodeId child : children) {
            Node& node = tree_[child];
            const std::string name = node.Name;
            if (IsBlankNode(node)) continue;  // blank text between the parts goes
            if (name == "caption" && ranks[0].empty()) {
                ranks[0].push_back(child);
            } else if (name == "col" || name == "colgroup") {
                hasColumnGroup = hasColumnGroup || name == "colgroup";
                ranks[1].push_back(child);
            } else if (name == "thead" && ranks[2].empty()) {
                ranks[2].push_back(child);
            } else if (name == "tfoot" && ranks[3].empty()) {
                ranks[3].push_back(child);
            } else if (name == "thead" || name == "tfoot" || name == "tbody") {
                Rename(node, "tbody");
                hasRowGroup = true;
                ranks[4].push_back(child);
            } else if (name == "tr") {
                hasLooseRow = true;
                ranks[4].push_back(child);
            } else {
                // A second caption, or anything the parser let through: a cell of its own.
                if (name == "caption") RenameAsClass(node, "div");
                const NodeId row = tree_.NewElement("tr");
                const NodeId cell = tree_.NewElement("td");
                tree_[row].Children.push_back(cell);
                tree_[cell].Children.push_back(child);
                hasLooseRow = true;
                ranks[4].push_back(row);
            }
        }
        if (hasColumnGroup) GroupLoose(ranks[1], "col", "colgroup");
        if (hasRowGroup && hasLooseRow) GroupLoose(ranks[4], "tr", "tbody");
        std::vector<NodeId> ordered;
        for (const auto& rank : ranks) ordered.insert(ordered.end(), rank.begin(), rank.end());
        tree_[id].Children = std::move(ordered);
        if (ranks[2].empty() && ranks[3].empty() && ranks[4].empty()) {
            // No rows: the caption stays as a block of text, the columns go.
            RenameAsClass(tree_[id], "div");
            tree_[id].Children = ranks[0];
            for (NodeId caption : ranks[0]) RenameAsClass(tree_[caption], "div");
        }
    }

    // Consecutive `loose` elements gathered into one `group` element each.
    void GroupLoose(std::vector<NodeId>& parts, std::string_view loose, std::string_view group) {
        std::vector<NodeId> grouped;
        NodeId current = 0;
        for (NodeId part : parts) {
            if (tree_[part].Name != loose) {
                current = 0;
                grouped.push_back(part);
                continue;
            }
            if (current == 0) {
                current = tree_.NewElement(group);
                grouped.push_back(current);
            }
            tree_[current].Children.push_back(part);
        }
        parts = std::move(grouped);
    }

    Tree& tree_;
};

}  // namespace

void MendContent(Tree& tree, NodeId root) {
    ContentMender(tree).Mend(root);
}

void MendHead(Tree& tree, const std::string& title) {
    ContentMender(tree).MendHead(title);
}

}  // namespace quirebook::conform
