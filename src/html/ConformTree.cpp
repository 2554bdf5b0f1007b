// The tree the conformance stage holds a chapter in, and the edits its steps make to elements.
#include "html/ConformTree.h"

#include <algorithm>

namespace quirebook::conform {

using namespace xhtml;

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

void RenameAsClass(Node& node, std::string_view name) {
    ExtendAttribute(node, "class", node.Name, " ");
    Rename(node, name);
}

bool IsBlock(const Node& node) {
    return !node.IsText && node.Rule->Where == Kind::Block;
}

bool IsInline(const Node& node) {
    return node.IsText || node.Rule->Where == Kind::Inline;
}

bool IsBlankNode(const Node& node) {
    return node.IsText && IsBlankText(node.Text);
}

bool IsVoid(const Node& node) {
    return node.Rule->Holds == Model::Empty;
}

}  // namespace quirebook::conform
