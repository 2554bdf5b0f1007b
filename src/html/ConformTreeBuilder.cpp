// Builds the conformance stage's tree from a page parsed as browsers parse it (gumbo): element
// names mapped to XHTML 1.1 or HTML5 by the element and by where it stands, attributes filtered,
// ids made unique.
#include "html/ConformTreeBuilder.h"

#include <gumbo.h>

#include <algorithm>
#include <memory>
#include <set>

#include "html/ChapterWriter.h"
#include "html/IdentifierNames.h"
#include "html/LinearMath.h"
#include "html/MathAsXhtml.h"
#include "html/PageMath.h"
#include "text/TextUtilities.h"

namespace quirebook::conform {

using namespace xhtml;

namespace {

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

}  // namespace

Tree BuildTree(std::string_view page, bool html5) {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // the parse errors are not used
    std::unique_ptr<GumboOutput, void (*)(GumboOutput*)> output(
        gumbo_parse_with_options(&options, page.data(), page.size()),
        [](GumboOutput* parsed) { gumbo_destroy_output(&kGumboDefaultOptions, parsed); });
    Tree tree;
    tree.PageSize = page.size();
    tree.Html5 = html5;
    // About one element and one text per tag, and some nodes the mending adds: reserved at
    // once, since growing moves every node.
    const auto tags = static_cast<std::size_t>(std::count(page.begin(), page.end(), '<'));
    tree.Nodes.reserve(tags * 2 + tags / 4 + 16);
    tree.NewText({});  // node 0 stands for "no node"
    TreeBuilder(tree).Build(*output->root);
    return tree;
}

}  // namespace quirebook::conform
