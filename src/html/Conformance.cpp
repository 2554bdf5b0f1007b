#include "html/Conformance.h"

#include <gumbo.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "css/StyleText.h"
#include "html/ContentFilter.h"
#include "html/LinearMath.h"
#include "html/MathAsXhtml.h"
#include "html/PageMath.h"
#include "html/XhtmlConversion.h"
#include "html/XhtmlModel.h"
#include "text/Encoding.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

using namespace xhtml;
using NodeId = std::size_t;

// Deeper than any real page nests; a hostile page is cut here before it is parsed, since the
// parser's scope checks cost time in proportion to the depth.
constexpr std::size_t kMaxNesting = 256;

struct Node {
    bool IsText = false;
    std::string Text;  // of a text node
    std::string Name;  // of an element
    const ElementRule* Rule = nullptr;
    std::vector<std::pair<std::string, std::string>> Attributes;
    std::vector<NodeId> Children;
    bool Flexible = false;     // a span standing for an unknown element: a div when it holds blocks
    bool Transparent = false;  // written without its own tags (an unwrapped link)
    bool Replaced = false;     // stands in its parent as `Replacement` (maybe nothing)
    bool Markup = false;       // a text that is finished markup, written as it is (an equation)
    std::vector<NodeId> Replacement;
};

struct Tree {
    std::vector<Node> Nodes;
    NodeId Head = 0;
    NodeId Body = 0;
    std::unordered_set<std::string> Ids;
    std::string Language;
    std::size_t PageSize = 0;   // of the page parsed: what the written chapter is near
    bool Html5 = false;         // held to HTML5 (an EPUB 3 chapter) rather than XHTML 1.1
    std::string EpubPrefix;     // the page's epub:prefix declarations (HTML5 only)
    bool UsesEpubType = false;  // some element carries epub:type (HTML5 only)

    Node& operator[](NodeId id) { return Nodes[id]; }

    NodeId NewText(std::string text) {
        Nodes.emplace_back();
        Nodes.back().IsText = true;
        Nodes.back().Text = std::move(text);
        return Nodes.size() - 1;
    }
    NodeId NewElement(std::string_view name) {
        Nodes.emplace_back();
        Nodes.back().Name = name;
        Nodes.back().Rule = RuleOf(name);
        return Nodes.size() - 1;
    }
    // An element of the same kind and attributes, without id and children.
    NodeId Clone(NodeId id) {
        const std::string name = Nodes[id].Name;  // NewElement may move the nodes
        const NodeId clone = NewElement(name);
        for (const auto& attribute : Nodes[id].Attributes)
            if (attribute.first != "id") Nodes[clone].Attributes.push_back(attribute);
        return clone;
    }
};

const std::string* AttributeOf(const Node& node, std::string_view name) {
    for (const auto& [key, value] : node.Attributes)
        if (key == name) return &value;
    return nullptr;
}

void SetAttribute(Node& node, std::string_view name, std::string value) {
    for (auto& [key, old] : node.Attributes) {
        if (key == name) {
            old = std::move(value);
            return;
        }
    }
    node.Attributes.emplace_back(std::string(name), std::move(value));
}

// `addition` appended to the attribute's value, after `separator` when there is one already.
void ExtendAttribute(Node& node, std::string_view name, std::string_view addition,
                     std::string_view separator) {
    if (addition.empty()) return;
    const std::string* old = AttributeOf(node, name);
    SetAttribute(node, name,
                 old == nullptr || old->empty()
                     ? std::string(addition)
                     : *old + std::string(separator) + std::string(addition));
}

void Rename(Node& node, std::string_view name) {
    node.Name = name;
    node.Rule = RuleOf(name);
    node.Attributes.erase(
        std::remove_if(node.Attributes.begin(), node.Attributes.end(),
                       [&](const auto& attribute) {
                           return !ListHolds(kCommonAttributes, attribute.first) &&
                                  !ListHolds(node.Rule->Attributes, attribute.first);
                       }),
        node.Attributes.end());
}

// Renamed, with the old name kept as a class.
void RenameAsClass(Node& node, std::string_view name) {
    ExtendAttribute(node, "class", node.Name, " ");
    Rename(node, name);
}

// The fragment of a link without a scheme mapped as ids are (XmlIdentifier), so that links and
// targets still meet.
std::string MendHref(std::string_view href) {
    const std::size_t hash = href.find('#');
    if (hash == npos || href.substr(0, hash).find(':') != npos) return std::string(href);
    const std::string_view fragment = href.substr(hash + 1);
    return std::string(href.substr(0, hash + 1)) +
           (fragment.empty() ? std::string() : XmlIdentifier(PercentDecode(fragment)));
}

std::string_view SourceName(const GumboElement& element, std::string& buffer) {
    if (element.tag != GUMBO_TAG_UNKNOWN && element.tag_namespace == GUMBO_NAMESPACE_HTML)
        return gumbo_normalized_tagname(element.tag);
    GumboStringPiece original = element.original_tag;
    gumbo_tag_from_original_text(&original);
    buffer.assign(original.data == nullptr ? "" : original.data,
                  original.data == nullptr ? 0 : original.length);
    if (buffer.empty() && element.tag != GUMBO_TAG_UNKNOWN)
        buffer = gumbo_normalized_tagname(element.tag);
    if (element.tag_namespace == GUMBO_NAMESPACE_HTML) buffer = AsciiLower(buffer);
    return buffer;
}

std::string AttributeText(const GumboElement& element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    return attribute == nullptr ? std::string() : std::string(attribute->value);
}

// How a style sheet with markup characters is written: in a CDATA section that style sheet
// readers take for comments, a "]]>" inside it split over two sections.
constexpr std::string_view kCdataOpen = "/*<![CDATA[*/";
constexpr std::string_view kCdataClose = "/*]]>*/";
constexpr std::string_view kCdataSplit = "]]]]><![CDATA[>";

// A style sheet read back from a conformed chapter (where the HTML parser sees the CDATA markers
// as text) without them, so that reading and writing a chapter again changes nothing.
std::string UnwrapStyleText(std::string_view css) {
    if (css.size() < kCdataOpen.size() + kCdataClose.size() || css.rfind(kCdataOpen, 0) != 0 ||
        css.substr(css.size() - kCdataClose.size()) != kCdataClose)
        return std::string(css);
    css = css.substr(kCdataOpen.size(), css.size() - kCdataOpen.size() - kCdataClose.size());
    std::string unwrapped;
    for (std::size_t from = 0;;) {
        const std::size_t split = css.find(kCdataSplit, from);
        unwrapped.append(css.substr(from, split == npos ? npos : split - from));
        if (split == npos) break;
        unwrapped += "]]>";
        from = split + kCdataSplit.size();
    }
    return unwrapped;
}

// Turns the parser's tree into ours, one element at a time in document order: names mapped to
// XHTML 1.1 (by the element and by where it stands), attributes filtered, ids made unique.
class TreeBuilder {
  public:
    explicit TreeBuilder(Tree& tree) : tree_(tree) {}

    void Build(const GumboNode& html) {
        if (tree_.Html5) ReadEpubPrefix(html);
        tree_.Head = tree_.NewElement("head");
        tree_.Body = tree_.NewElement("body");
        const GumboVector& children = html.v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT) continue;
            if (child->v.element.tag == GUMBO_TAG_HEAD) {
                BuildChildren(*child, tree_.Head);
            } else if (child->v.element.tag == GUMBO_TAG_BODY) {
                FilterAttributes(child->v.element, "body", tree_[tree_.Body]);
                BuildChildren(*child, tree_.Body);
            }
        }
        const GumboAttribute* language =
            gumbo_get_attribute(&html.v.element.attributes, "xml:lang");
        if (language != nullptr) tree_.Language = language->value;
    }

  private:
    // The page's own vocabularies for epub:type ("z3998: http://..."), read before the body.
    void ReadEpubPrefix(const GumboNode& html) {
        const GumboAttribute* prefix =
            gumbo_get_attribute(&html.v.element.attributes, "epub:prefix");
        if (prefix == nullptr) return;
        tree_.EpubPrefix = prefix->value;
        for (std::size_t from = 0; from < tree_.EpubPrefix.size();) {
            const std::size_t colon = tree_.EpubPrefix.find(':', from);
            if (colon == npos) break;
            std::size_t start = colon;
            while (start > from && !IsSpace(tree_.EpubPrefix[start - 1])) --start;
            if (start < colon) prefixes_.insert(tree_.EpubPrefix.substr(start, colon - start));
            // The URI after the name runs to the next blank.
            from = tree_.EpubPrefix.find_first_not_of(" \t\r\n", colon + 1);
            from = from == npos ? npos : tree_.EpubPrefix.find_first_of(" \t\r\n", from);
        }
    }

    // The ancestors that rule out some descendants.
    struct Ancestors {
        int Anchor = 0, Pre = 0, HeaderOrFooter = 0;
    };
    struct Frame {
        const GumboVector* Children;
        unsigned Next;
        NodeId Parent;
        Ancestors Saved;
    };

    void BuildChildren(const GumboNode& source, NodeId parent) {
        std::vector<Frame> stack{{&source.v.element.children, 0, parent, ancestors_}};
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.Next == frame.Children->length) {
                ancestors_ = frame.Saved;
                stack.pop_back();
                continue;
            }
            const auto* child = static_cast<const GumboNode*>(frame.Children->data[frame.Next++]);
            const NodeId into = frame.Parent;
            switch (child->type) {
                case GUMBO_NODE_TEXT:
                case GUMBO_NODE_WHITESPACE:
                case GUMBO_NODE_CDATA: {
                    const char* raw = child->v.text.text;
                    const NodeId text = tree_.NewText(  // moves the nodes
                        tree_[into].Name == "style" ? UnwrapStyleText(raw) : std::string(raw));
                    tree_[into].Children.push_back(text);
                } break;
                case GUMBO_NODE_ELEMENT:
                case GUMBO_NODE_TEMPLATE: {
                    const Ancestors saved = ancestors_;
                    const NodeId made = AddElement(child->v.element, into);
                    if (made != 0 && child->v.element.children.length > 0) {
                        tree_[made].Children.reserve(child->v.element.children.length);
                        stack.push_back({&child->v.element.children, 0, made, saved});
                    } else
                        ancestors_ = saved;
                    break;
                }
                default:  // comments and the document node
                    break;
            }
        }
    }

    // Adds the element under `parent` (or the head); the node its children go into, or 0 when
    // they are left out.
    NodeId AddElement(const GumboElement& element, NodeId parent) {
        std::string buffer;
        const std::string_view source = SourceName(element, buffer);
        const bool foreign = element.tag_namespace != GUMBO_NAMESPACE_HTML;
        if (ListHolds(kDroppedElements, source) ||
            (foreign && (source == "script" || source == "style")))
            return 0;
        if (element.tag_namespace == GUMBO_NAMESPACE_MATHML && source == "math") {
            AddMath(element, parent);
            return 0;
        }
        if (!foreign && ListHolds(kHeadElements, source)) return AddHeadElement(element, source);
        const std::string_view parentName = tree_[parent].Name;
        std::string_view name = source;
        bool flexible = false;
        const ElementRule* rule = foreign ? nullptr : RuleOf(source);
        if (rule != nullptr && rule->Html5 && !tree_.Html5) rule = nullptr;
        const ObsoleteElement* standIn = tree_.Html5 && !foreign ? Html5StandIn(source) : nullptr;
        if (standIn != nullptr) {
            name = standIn->StandIn;
        } else if (rule == nullptr) {
            if (ListHolds(kBlockElements, source)) {
                name = "div";
            } else if (ListHolds(kListElements, source)) {
                name = "ul";
            } else if (ListHolds(kPreElements, source)) {
                name = "pre";
            } else {
                name = "span";
                flexible = true;
            }
        } else if (!FitsParent(source, parentName)) {
            // A part of a list or table standing elsewhere.
            if (source == "col" || source == "colgroup" || source == "param") return 0;
            name = "div";
        } else if (!FitsAncestors(source, name)) {
            if (source == "img") {
                AddAltText(element, parent);
                return 0;
            }
        }
        if (name == "img" && AttributeText(element, "src").empty()) {
            AddAltText(element, parent);
            return 0;
        }
        const NodeId id = tree_.NewElement(name);
        tree_[parent].Children.push_back(id);
        Node& node = tree_[id];
        node.Flexible = flexible;
        FilterAttributes(element, source, node);
        if (name != source) ExtendAttribute(node, "class", source, " ");
        if (standIn != nullptr) ExtendAttribute(node, "style", standIn->Style, "; ");
        AddRequiredAttributes(node);
        if (name == "a") ++ancestors_.Anchor;
        if (name == "pre") ++ancestors_.Pre;
        if (name == "header" || name == "footer") ++ancestors_.HeaderOrFooter;
        return id;
    }

    static bool FitsParent(std::string_view name, std::string_view parent) {
        if (name == "li") return parent == "ul" || parent == "ol";
        if (name == "dt" || name == "dd") return parent == "dl";
        if (name == "tr") return ListHolds(" table thead tbody tfoot ", parent);
        if (name == "td" || name == "th") return parent == "tr";
        if (ListHolds(" thead tbody tfoot caption colgroup ", name)) return parent == "table";
        if (name == "col") return parent == "table" || parent == "colgroup";
        if (name == "param") return parent == "object";
        if (name == "figcaption") return parent == "figure";
        return true;
    }

    // False, with `name` changed to what may stand there, when an ancestor rules the element
    // out (a link in a link, an image in pre ...).
    bool FitsAncestors(std::string_view source, std::string_view& name) const {
        const bool excluded =
            (source == "a" && ancestors_.Anchor > 0) ||
            (ancestors_.Pre > 0 && ListHolds(" img object big small sub sup ", source));
        if (excluded) name = "span";
        // HTML5 has no header or footer inside another.
        if ((source == "header" || source == "footer") && ancestors_.HeaderOrFooter > 0) {
            name = "div";
            return false;
        }
        return !excluded;
    }

    // An equation: kept as MathML in an HTML5 chapter (with its linear form as alttext when it
    // has none), written as XHTML 1.1 otherwise; as its linear form where markup may not stand.
    void AddMath(const GumboElement& element, NodeId parent) {
        MathElement math = ReadPageMath(element);
        std::string markup;
        if (tree_.Html5) {
            const std::string* alttext = math.Attribute("alttext");
            if (alttext == nullptr || alttext->empty()) math.Set("alttext", LinearMath(math));
            markup = MathMlMarkup(math, true);
        } else {
            markup = MathAsXhtml(math, ancestors_.Pre > 0);
        }
        const NodeId text = tree_.NewText(std::move(markup));
        tree_[text].Markup = true;
        tree_[parent].Children.push_back(text);
    }

    void AddAltText(const GumboElement& element, NodeId parent) {
        std::string alt = AttributeText(element, "alt");
        if (alt.empty()) return;
        const NodeId text = tree_.NewText(std::move(alt));
        tree_[parent].Children.push_back(text);
    }

    // title, meta, link and style belong in the head wherever they stand; a second title goes.
    NodeId AddHeadElement(const GumboElement& element, std::string_view name) {
        if (name == "title") {
            for (NodeId child : tree_[tree_.Head].Children)
                if (tree_[child].Name == "title") return 0;
        }
        if (name == "meta" && AttributeText(element, "content").empty() &&
            AttributeText(element, "charset").empty())
            return 0;
        const NodeId id = tree_.NewElement(name);
        tree_[tree_.Head].Children.push_back(id);
        Node& node = tree_[id];
        FilterAttributes(element, name, node);
        if (name == "meta") {
            // The chapter is written in UTF-8 whatever the page declared.
            const std::string* equiv = AttributeOf(node, "http-equiv");
            if (!AttributeText(element, "charset").empty() ||
                (equiv != nullptr && AsciiLower(*equiv) == "content-type")) {
                SetAttribute(node, "http-equiv", "Content-Type");
                SetAttribute(node, "content", "text/html; charset=utf-8");
            }
        }
        AddRequiredAttributes(node);
        return id;
    }

    void FilterAttributes(const GumboElement& element, std::string_view source, Node& node) {
        const ElementRule& rule = *node.Rule;
        const GumboVector& attributes = element.attributes;
        const bool hasId = gumbo_get_attribute(&attributes, "id") != nullptr;
        std::string movedStyle;  // presentation attributes, after the page's own style
        for (unsigned i = 0; i < attributes.length; ++i) {
            const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[i]);
            std::string name = attribute->name;
            std::string value = attribute->value;
            if (name == "lang") name = "xml:lang";
            if (name == "epub:type") {
                if (tree_.Html5)
                    KeepEpubType(node, value);
                else
                    ExtendAttribute(node, "class", value, " ");
                continue;
            }
            if (name == "name" && !hasId && (source == "a" || node.Name == "a")) name = "id";
            const bool allowed = ((rule.Common && ListHolds(kCommonAttributes, name)) ||
                                  ListHolds(rule.Attributes, name)) &&
                                 !(tree_.Html5 && IsHtml5Misfit(node.Name, name, value));
            if (!allowed) {
                if (rule.Common) AppendStyleOf(name, value, node.Name, movedStyle);
                continue;
            }
            if (AttributeOf(node, name) != nullptr || !MendAttributeValue(name, value)) continue;
            if (name == "id") {
                value = XmlIdentifier(value);
                // The first element with an id keeps it; later ones lose it.
                if (value.empty() || !tree_.Ids.insert(value).second) continue;
            } else if (name == "href") {
                value = MendHref(value);
            }
            node.Attributes.emplace_back(std::move(name), std::move(value));
        }
        ExtendAttribute(node, "style", movedStyle, "; ");
    }

    // An attribute XHTML 1.1 allows and HTML5 does not: one HTML5 dropped, a datetime that is
    // not an HTML5 date, a picture's size in percent.
    static bool IsHtml5Misfit(std::string_view element, std::string_view name,
                              std::string_view value) {
        if (IsObsoleteInHtml5(element, name)) return true;
        if (name == "datetime") return !IsHtml5DateTime(value, element == "time");
        return (name == "width" || name == "height") && !value.empty() && value.back() == '%';
    }

    // The epub:type tokens whose vocabulary is known: the default one (no prefix) and those
    // the page declared.
    void KeepEpubType(Node& node, std::string_view value) {
        std::string kept;
        for (std::size_t from = 0; from < value.size();) {
            const std::size_t end = std::min(value.find_first_of(" \t\r\n", from), value.size());
            const std::string_view token = value.substr(from, end - from);
            from = end + 1;
            const std::size_t colon = token.find(':');
            if (token.empty() ||
                (colon != npos && prefixes_.count(std::string(token.substr(0, colon))) == 0))
                continue;
            kept += (kept.empty() ? "" : " ") + std::string(token);
        }
        if (kept.empty()) return;
        SetAttribute(node, "epub:type", std::move(kept));
        tree_.UsesEpubType = true;
    }

    // Presentation that XHTML 1.1 keeps only in style sheets: alignment of blocks, sizes of
    // cells.
    static void AppendStyleOf(std::string_view name, std::string_view value,
                              std::string_view element, std::string& style) {
        const std::string lower = AsciiLower(value);
        std::string declaration;
        // Vertical alignment, table widths and picture sizes in percent reach here only in
        // HTML5 chapters: XHTML 1.1 allows them as attributes.
        if (name == "align" && ListHolds(" left center right justify ", lower)) {
            declaration = "text-align: " + lower;
        } else if (name == "valign" && ListHolds(" top middle bottom baseline ", lower) &&
                   ListHolds(" td th tr thead tbody tfoot col colgroup ", element)) {
            declaration = "vertical-align: " + lower;
        } else if ((name == "width" || name == "height") && IsLength(lower) &&
                   lower.back() != '*' && (ListHolds(" td th table img object ", element))) {
            declaration = std::string(name) + ": " + lower + (lower.back() == '%' ? "" : "px");
        }
        if (declaration.empty()) return;
        style += (style.empty() ? "" : "; ") + declaration;
    }

    static void AddRequiredAttributes(Node& node) {
        const auto require = [&](std::string_view name, std::string_view value) {
            if (AttributeOf(node, name) == nullptr) SetAttribute(node, name, std::string(value));
        };
        const std::string_view name = node.Name;
        if (name == "img") require("alt", "");
        if (name == "bdo") require("dir", "ltr");
        if (name == "style") require("type", "text/css");
    }

    Tree& tree_;
    Ancestors ancestors_;
    std::set<std::string> prefixes_;  // declared by the page's epub:prefix
};

bool IsBlock(const Node& node) {
    return !node.IsText && node.Rule->Where == Kind::Block;
}

bool IsInline(const Node& node) {
    return node.IsText || node.Rule->Where == Kind::Inline;
}

bool IsBlankNode(const Node& node) {
    return node.IsText && IsBlankText(node.Text);
}

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

// An ASCII character that AppendXmlText writes as it is.
bool IsPlainXmlCharacter(char character, bool attribute, bool raw) {
    const auto c = static_cast<unsigned char>(character);
    if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n')) return false;
    return raw || (c != '&' && c != '<' && c != '>' && (!attribute || c != '"'));
}

// Text or an attribute value written as XML: "&", "<", ">" (and '"' in values) escaped, CR LF
// and CR written as LF, invalid UTF-8 written as U+FFFD, characters XML 1.0 does not allow left
// out. With `raw` nothing is escaped (the inside of a CDATA section).
void AppendXmlText(std::string& out, std::string_view text, bool attribute, bool raw = false) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        // A run of characters written as they are goes out in one piece.
        std::size_t plain = i;
        while (plain < size && IsPlainXmlCharacter(text[plain], attribute, raw)) ++plain;
        if (plain != i) {
            out.append(text.data() + i, plain - i);
            i = plain;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            if (c == '\r') {
                // Line ends are written as XML reads them: CR LF and CR alone are LF.
                out += '\n';
                if (i < size && text[i] == '\n') ++i;
                continue;
            }
            if (c < 0x20 && c != '\t' && c != '\n') continue;
            if (!raw && c == '&') {
                out += "&amp;";
            } else if (!raw && c == '<') {
                out += "&lt;";
            } else if (!raw && c == '>') {
                out += "&gt;";
            } else if (!raw && attribute && c == '"') {
                out += "&quot;";
            } else {
                out += static_cast<char>(c);
            }
            continue;
        }
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        char32_t code = length == 4 ? c & 0x07 : length == 3 ? c & 0x0F : c & 0x1F;
        bool valid = length != 0 && c <= 0xF4 && i + length <= size;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t least = length == 4 ? 0x10000 : length == 3 ? 0x800 : 0x80;
        valid = valid && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000);
        if (!valid) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (code != 0xFFFE && code != 0xFFFF) out.append(text.substr(i, length));
        i += length;
    }
}

// The content of a style element: as it is, or in a CDATA section that style sheet readers
// take for a comment, when it holds markup characters.
void AppendStyleText(std::string& out, std::string_view style) {
    const std::string cleaned = WithoutCommentMarkers(style);
    const std::string_view css = cleaned;
    if (css.find_first_of("<&") == npos) {
        AppendXmlText(out, css, false);
        return;
    }
    out += kCdataOpen;
    for (std::size_t from = 0;;) {
        const std::size_t end = css.find("]]>", from);
        AppendXmlText(out, css.substr(from, end == npos ? npos : end - from), false, true);
        if (end == npos) break;
        out += kCdataSplit;
        from = end + 3;
    }
    out += kCdataClose;
}

bool IsVoid(const Node& node) {
    return node.Rule->Holds == Model::Empty;
}

// The ids that the headers of a cell may refer to: every id of the tree, or in HTML5, where
// headers name header cells, the ids of th elements.
std::unordered_set<std::string> DefinedIds(const Tree& tree) {
    std::unordered_set<std::string> ids;
    std::vector<NodeId> stack{tree.Head, tree.Body};
    while (!stack.empty()) {
        const NodeId id = stack.back();
        stack.pop_back();
        const Node& node = tree.Nodes[id];
        if (node.IsText) continue;
        if (const std::string* value = AttributeOf(node, "id"))
            if (!tree.Html5 || node.Name == "th") ids.insert(*value);
        stack.insert(stack.end(), node.Children.begin(), node.Children.end());
    }
    return ids;
}

// The start of an HTML5 chapter in its XML form: the XML declaration, HTML5's document type,
// the html start tag with the epub namespace and vocabularies when the chapter uses them.
std::string Html5Header(const Tree& tree) {
    std::string header =
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<!DOCTYPE html>\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"";
    if (tree.UsesEpubType) {
        header += " xmlns:epub=\"http://www.idpf.org/2007/ops\"";
        if (!tree.EpubPrefix.empty()) {
            header += " epub:prefix=\"";
            AppendXmlText(header, tree.EpubPrefix, true);
            header += '"';
        }
    }
    if (IsLanguageTag(tree.Language) && tree.Language != "en")
        header += " xml:lang=\"" + tree.Language + "\"";
    return header + ">\r\n\r\n";
}

// The ids the written tree holds, in document order: those of every element written with its
// tags.
std::vector<std::string> WrittenIds(const Tree& tree) {
    std::vector<std::string> ids;
    std::vector<NodeId> stack{tree.Body, tree.Head};
    while (!stack.empty()) {
        const Node& node = tree.Nodes[stack.back()];
        stack.pop_back();
        if (node.IsText) continue;
        if (!node.Transparent)
            if (const std::string* value = AttributeOf(node, "id")) ids.push_back(*value);
        stack.insert(stack.end(), node.Children.rbegin(), node.Children.rend());
    }
    return ids;
}

// The references to ids (the headers of a cell) that the chapter defines; the others are
// dropped.
std::string KeptReferences(const std::string& value, const std::unordered_set<std::string>& ids) {
    std::string kept;
    for (std::size_t from = 0; from < value.size();) {
        const std::size_t end = std::min(value.find(' ', from), value.size());
        const std::string token = value.substr(from, end - from);
        if (ids.count(token) != 0) kept += (kept.empty() ? "" : " ") + token;
        from = end + 1;
    }
    return kept;
}

std::string WriteDocument(const Tree& tree) {
    const std::unordered_set<std::string> ids = DefinedIds(tree);
    std::string out = tree.Html5 ? Html5Header(tree)
                                 : XhtmlHeader(IsLanguageTag(tree.Language) ? tree.Language : "");
    out.reserve(out.size() + tree.PageSize + tree.PageSize / 8);
    std::vector<std::pair<NodeId, bool>> stack{{tree.Body, false}, {tree.Head, false}};
    while (!stack.empty()) {
        const auto [id, closing] = stack.back();
        stack.pop_back();
        const Node& node = tree.Nodes[id];
        if (node.IsText) {
            if (node.Markup)
                out += node.Text;
            else
                AppendXmlText(out, node.Text, false);
            continue;
        }
        if (closing) {
            out += "</" + node.Name + ">";
            if (id == tree.Head) out += "\r\n";
            continue;
        }
        if (!node.Transparent) {
            out += '<';
            out += node.Name;
            for (const auto& [name, value] : node.Attributes) {
                const bool references = name == "headers";
                const std::string kept = references ? KeptReferences(value, ids) : std::string();
                if (references && kept.empty()) continue;
                out += ' ';
                out += name;
                out += "=\"";
                AppendXmlText(out, references ? kept : value, true);
                out += '"';
            }
            if (IsVoid(node)) {
                out += " />";
                continue;
            }
            out += '>';
            if (node.Name == "style") {
                for (NodeId child : node.Children) AppendStyleText(out, tree.Nodes[child].Text);
                out += "</style>";
                continue;
            }
            stack.emplace_back(id, true);
        }
        for (auto child = node.Children.rbegin(); child != node.Children.rend(); ++child)
            stack.emplace_back(*child, false);
    }
    out += "\r\n</html>\r\n";
    return out;
}

// The page parsed as browsers parse it into our tree, held to the XHTML 1.1 content model.
Tree ParseChapter(std::string_view chapter, const ConformOptions& conform) {
    const std::string page = LimitNesting(chapter, kMaxNesting);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // the parse errors are not used
    std::unique_ptr<GumboOutput, void (*)(GumboOutput*)> output(
        gumbo_parse_with_options(&options, page.data(), page.size()),
        [](GumboOutput* parsed) { gumbo_destroy_output(&kGumboDefaultOptions, parsed); });
    Tree tree;
    tree.PageSize = page.size();
    tree.Html5 = conform.EpubVersion >= 3;
    // About one element and one text per tag, and some nodes the mending adds: reserved at
    // once, since growing moves every node.
    const auto tags = static_cast<std::size_t>(std::count(page.begin(), page.end(), '<'));
    tree.Nodes.reserve(tags * 2 + tags / 4 + 16);
    tree.NewText({});  // node 0 stands for "no node"
    TreeBuilder(tree).Build(*output->root);
    ContentMender mender(tree);
    mender.Mend(tree.Body);
    // White space after the body's end tag is parsed into the body: without this, each reading
    // and writing of a chapter would add some.
    auto& trailing = tree[tree.Body].Children;
    while (!trailing.empty() && tree[trailing.back()].IsText &&
           IsBlankText(tree[trailing.back()].Text))
        trailing.pop_back();
    // The body must hold at least one block.
    const auto& body = tree[tree.Body].Children;
    if (std::all_of(body.begin(), body.end(), [&](NodeId child) { return tree[child].IsText; })) {
        const NodeId block = tree.NewElement("div");
        tree[tree.Body].Children.push_back(block);
    }
    mender.MendHead(conform.Title);
    return tree;
}

enum class LinkTarget { External, InBook, Missing };

struct ResolvedLink {
    LinkTarget Target = LinkTarget::Missing;
    std::string Path;      // in the book, from its root
    std::string Written;   // the path part as the link wrote it, without query
    std::string Fragment;  // without "#"
    bool HadFragment = false;
    bool HadQuery = false;
    bool Renamed = false;  // the path names a file the book names in UTF-8 (see FileNameToUtf8)
};

// The folder part of a book path, with its final "/" ("" at the root).
std::string_view FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == npos ? std::string_view() : path.substr(0, slash + 1);
}

// A link or source value resolved against the chapter that holds it.
ResolvedLink ResolveLink(std::string_view href, const std::string& chapterFile,
                         const BookLinks& book) {
    ResolvedLink link;
    std::size_t schemeEnd = 0;
    while (schemeEnd < href.size() &&
           (IsLetter(href[schemeEnd]) ||
            (schemeEnd > 0 && (IsDigit(href[schemeEnd]) || href[schemeEnd] == '+' ||
                               href[schemeEnd] == '.' || href[schemeEnd] == '-'))))
        ++schemeEnd;
    if (schemeEnd > 0 && schemeEnd < href.size() && href[schemeEnd] == ':') {
        const std::string scheme = AsciiLower(href.substr(0, schemeEnd));
        if (ListHolds(" http https mailto ftp ", scheme)) link.Target = LinkTarget::External;
        return link;
    }
    const std::size_t hash = href.find('#');
    link.HadFragment = hash != npos;
    if (link.HadFragment) link.Fragment = href.substr(hash + 1);
    std::string_view written = href.substr(0, hash);
    const std::size_t query = written.find('?');
    link.HadQuery = query != npos;
    written = written.substr(0, query);
    link.Written = written;
    const std::string decoded = PercentDecode(written);
    std::string path = FileNameToUtf8(decoded);
    link.Renamed = path != decoded;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty()) {
        link.Path = chapterFile;
    } else {
        if (path.front() == '/') return link;
        std::vector<std::string> parts;
        const std::string joined = std::string(FolderOf(chapterFile)) + path;
        for (std::size_t from = 0; from <= joined.size();) {
            const std::size_t end = std::min(joined.find('/', from), joined.size());
            const std::string part = joined.substr(from, end - from);
            from = end + 1;
            if (part.empty() || part == ".") continue;
            if (part == "..") {
                if (parts.empty()) return link;  // climbs out of the book
                parts.pop_back();
            } else {
                parts.push_back(part);
            }
        }
        for (const std::string& part : parts) link.Path += (link.Path.empty() ? "" : "/") + part;
    }
    if (book.HoldsFile(link.Path)) link.Target = LinkTarget::InBook;
    return link;
}

// `to` (a book path) as a link from the chapter `from`, its bytes escaped where a link would
// read them otherwise.
std::string RelativeHref(const std::string& from, const std::string& to) {
    const std::string_view fromFolder = FolderOf(from);
    std::size_t common = 0;
    for (std::size_t i = 0; i < fromFolder.size() && i < to.size() && fromFolder[i] == to[i]; ++i)
        if (to[i] == '/') common = i + 1;
    std::string href;
    for (std::size_t i = common; i < fromFolder.size(); ++i)
        if (fromFolder[i] == '/') href += "../";
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : std::string_view(to).substr(common)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || c == '%' || c == '#' || c == '?' || c == '"') {
            href += '%';
            href += kHex[byte >> 4];
            href += kHex[byte & 15];
        } else {
            href += c;
        }
    }
    return href;
}

// Every link, image and linked file of the tree checked against the book.
void FixLinks(Tree& tree, const std::string& chapterFile, const BookLinks& book) {
    std::vector<NodeId> stack{tree.Head, tree.Body};
    while (!stack.empty()) {
        const NodeId id = stack.back();
        stack.pop_back();
        Node& node = tree[id];
        if (node.IsText) continue;
        stack.insert(stack.end(), node.Children.begin(), node.Children.end());
        const std::string_view attribute = node.Name == "img" ? "src" : "href";
        const std::string* value = AttributeOf(node, attribute);
        if (value == nullptr || value->empty()) continue;
        const ResolvedLink link = ResolveLink(*value, chapterFile, book);
        if (node.Name == "img") {
            if (link.Target == LinkTarget::InBook) continue;
            // The picture is not in the book: its alt text stands in its place.
            std::string alt = *AttributeOf(node, "alt");
            node = Node();
            node.IsText = true;
            node.Text = std::move(alt);
        } else if (node.Name == "a") {
            if (link.Target == LinkTarget::External) continue;
            if (link.Target == LinkTarget::Missing) {
                // Plain text; an id or class the link carried stays on a span.
                Rename(node, "span");
                node.Transparent = node.Attributes.empty();
                continue;
            }
            // A path written in other bytes than the book's names, or to a chapter the book
            // holds under another name, is written anew; a query goes.
            const bool movedChapter =
                !link.Written.empty() && book.WrittenName(link.Path) != link.Path;
            const bool rewritePath = link.HadQuery || link.Renamed || movedChapter;
            const std::string path = link.Renamed || movedChapter
                                         ? RelativeHref(chapterFile, book.WrittenName(link.Path))
                                         : link.Written;
            std::string href = rewritePath ? path : *value;
            if (link.HadFragment && book.IsChapter(link.Path) &&
                !book.Defines(link.Path, link.Fragment)) {
                const std::string* holder =
                    link.Fragment.empty() ? nullptr : book.SoleHolder(link.Fragment);
                href = holder != nullptr ? RelativeHref(chapterFile, book.WrittenName(*holder)) +
                                               "#" + link.Fragment
                       : path.empty() ? RelativeHref(chapterFile, book.WrittenName(chapterFile))
                                      : path;
            } else if (rewritePath && link.HadFragment) {
                href += "#" + link.Fragment;
            }
            SetAttribute(node, "href", std::move(href));
        } else if (node.Name == "link" && link.Target != LinkTarget::InBook) {
            node.Transparent = true;  // nothing left to write
            node.Children.clear();
        }
    }
}

// The start-tag names that the nesting limit does not count: void elements and elements whose
// end the parser implies.
constexpr std::string_view kUncountedElements =
    " area base br col embed hr img input keygen link meta param source track wbr basefont "
    "bgsound frame isindex image p li dt dd option optgroup tr td th thead tbody tfoot colgroup "
    "caption rb rt rp rtc html head body ";
// Elements whose content is text up to their end tag.
constexpr std::string_view kRawTextElements =
    " script style textarea title xmp iframe noembed noframes noscript plaintext ";

}  // namespace

void BookLinks::AddFile(const std::string& path) {
    files_.insert(path);
}

void BookLinks::AddChapter(const std::string& path, const std::vector<std::string>& ids) {
    files_.insert(path);
    auto& defined = chapterIds_[path];
    for (const std::string& id : ids) {
        if (!defined.insert(id).second) continue;
        ++holders_.try_emplace(id, path, 0).first->second.second;
    }
}

bool BookLinks::HoldsFile(const std::string& path) const {
    return files_.count(path) != 0;
}

bool BookLinks::IsChapter(const std::string& path) const {
    return chapterIds_.count(path) != 0;
}

bool BookLinks::Defines(const std::string& chapter, const std::string& id) const {
    const auto found = chapterIds_.find(chapter);
    return found != chapterIds_.end() && found->second.count(id) != 0;
}

void BookLinks::WriteChapterAs(const std::string& path, const std::string& name) {
    writtenNames_[path] = name;
}

const std::string& BookLinks::WrittenName(const std::string& path) const {
    const auto found = writtenNames_.find(path);
    return found == writtenNames_.end() ? path : found->second;
}

const std::string* BookLinks::SoleHolder(const std::string& id) const {
    const auto found = holders_.find(id);
    return found == holders_.end() || found->second.second != 1 ? nullptr : &found->second.first;
}

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

std::string LimitNesting(std::string_view page, std::size_t maxDepth) {
    std::string limited;
    std::size_t copied = 0;
    std::vector<std::string> open;
    std::unordered_map<std::string, std::size_t> dropped;
    const auto removeTag = [&](std::size_t from, std::size_t to) {
        limited.append(page, copied, from - copied);
        copied = to;
    };
    for (std::size_t lt = page.find('<'); lt != npos && lt + 1 < page.size();
         lt = page.find('<', lt + 1)) {
        if (page.compare(lt, 4, "<!--") == 0) {
            lt = page.find("-->", lt + 4);
            if (lt == npos) break;
            continue;
        }
        const bool endTag = page[lt + 1] == '/';
        std::size_t nameEnd = lt + (endTag ? 2 : 1);
        if (nameEnd >= page.size() || !IsLetter(page[nameEnd])) continue;
        while (nameEnd < page.size() && !IsSpace(page[nameEnd]) && page[nameEnd] != '/' &&
               page[nameEnd] != '>')
            ++nameEnd;
        const std::string name =
            AsciiLower(page.substr(lt + (endTag ? 2 : 1), nameEnd - lt - (endTag ? 2 : 1)));
        // The tag's end, past quoted values.
        std::size_t gt = nameEnd;
        for (char quote = 0; gt < page.size(); ++gt) {
            if (quote != 0) {
                if (page[gt] == quote) quote = 0;
            } else if (page[gt] == '"' || page[gt] == '\'') {
                quote = page[gt];
            } else if (page[gt] == '>') {
                break;
            }
        }
        if (gt >= page.size()) break;
        if (endTag) {
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match != open.rend()) {
                open.erase(std::prev(match.base()), open.end());
            } else if (auto found = dropped.find(name); found != dropped.end() && found->second) {
                --found->second;
                removeTag(lt, gt + 1);
            }
        } else if (ListHolds(kRawTextElements, name)) {
            // Its text is not markup: the scan goes on after its end tag.
            const std::string end = "</" + name;
            std::size_t close = gt;
            while ((close = page.find("</", close + 1)) != npos &&
                   !HoldsAtAnyCase(page, close, end)) {
            }
            if (close == npos) break;
            gt = close;
        } else if (!ListHolds(kUncountedElements, name) && page[gt - 1] != '/') {
            if (open.size() < maxDepth) {
                open.push_back(name);
            } else {
                ++dropped[name];
                removeTag(lt, gt + 1);
            }
        }
        lt = gt;
    }
    if (copied == 0) return std::string(page);
    limited.append(page, copied);
    return limited;
}

}  // namespace quirebook
