// The tree the conformance stage holds a chapter in, and the edits its steps make to elements.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "html/XhtmlModel.h"

namespace quirebook::conform {

using NodeId = std::size_t;

struct Node {
    bool IsText = false;
    std::string Text;  // of a text node
    std::string Name;  // of an element
    const xhtml::ElementRule* Rule = nullptr;
    std::vector<std::pair<std::string, std::string>> Attributes;
    std::vector<NodeId> Children;
    bool Flexible = false;     // a span standing for an unknown element: a div when it holds blocks
    bool Transparent = false;  // written without its own tags (an unwrapped link)
    bool Replaced = false;     // stands in its parent as `Replacement` (maybe nothing)
    bool Markup = false;       // a text that is finished markup, written as it is (an equation)
    std::vector<NodeId> Replacement;
};

// The nodes of a chapter in one array (node 0 stands for "no node"), walked with explicit stacks
// so that no depth of nesting can overflow the call stack.
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
        Nodes.back().Rule = xhtml::RuleOf(name);
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

const std::string* AttributeOf(const Node& node, std::string_view name);
void SetAttribute(Node& node, std::string_view name, std::string value);
// `addition` appended to the attribute's value, after `separator` when there is one already.
void ExtendAttribute(Node& node, std::string_view name, std::string_view addition,
                     std::string_view separator);
// Renamed, keeping only the attributes the new element may carry.
void Rename(Node& node, std::string_view name);
// Renamed, with the old name kept as a class.
void RenameAsClass(Node& node, std::string_view name);

bool IsBlock(const Node& node);
bool IsInline(const Node& node);
bool IsBlankNode(const Node& node);
bool IsVoid(const Node& node);

}  // namespace quirebook::conform
