// A page parsed as browsers parse it (gumbo), and the small readings of its elements.
#include "html/GumboPage.h"

#include "text/TextUtilities.h"

namespace quirebook {

namespace {

GumboOutput* Parse(std::string_view text) {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    return gumbo_parse_with_options(&options, text.data(), text.size());
}

bool IsAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

}  // namespace

GumboDocument::GumboDocument(std::string_view text) : m_output(Parse(text)) {}

GumboDocument::~GumboDocument() {
    gumbo_destroy_output(&kGumboDefaultOptions, m_output);
}

const GumboNode& GumboDocument::Body() const {
    const GumboNode& root = Root();
    if (root.type != GUMBO_NODE_ELEMENT) return root;
    for (unsigned i = 0; i < root.v.element.children.length; ++i) {
        const GumboNode& child = ChildAt(root.v.element, i);
        if (child.type == GUMBO_NODE_ELEMENT && child.v.element.tag == GUMBO_TAG_BODY) return child;
    }
    return root;
}

bool IsElement(const GumboNode& node) {
    return node.type == GUMBO_NODE_ELEMENT || node.type == GUMBO_NODE_TEMPLATE;
}

std::string TagName(const GumboElement& element) {
    if (element.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(element.tag);
    GumboStringPiece original = element.original_tag;
    gumbo_tag_from_original_text(&original);
    return original.data == nullptr ? std::string() : AsciiLower({original.data, original.length});
}

std::optional<std::string_view> AttributeOf(const GumboElement& element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    if (attribute == nullptr) return std::nullopt;
    return std::string_view(attribute->value);
}

bool HoldsToken(std::string_view tokens, std::string_view token) {
    if (token.empty()) return false;
    std::size_t at = 0;
    while ((at = tokens.find(token, at)) != std::string_view::npos) {
        const std::size_t end = at + token.size();
        const bool starts = at == 0 || IsAsciiBlank(tokens[at - 1]);
        const bool ends = end == tokens.size() || IsAsciiBlank(tokens[end]);
        if (starts && ends) return true;
        at = end;
    }
    return false;
}

}  // namespace quirebook
