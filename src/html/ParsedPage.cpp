#include "html/ParsedPage.h"

#include "text/TextUtilities.h"

namespace quirebook {

ParsedPage::ParsedPage(std::string_view page)
    : m_output(nullptr, [](GumboOutput* parsed) {
          if (parsed != nullptr) gumbo_destroy_output(&kGumboDefaultOptions, parsed);
      }) {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;  // the parse errors are not used
    m_output.reset(gumbo_parse_with_options(&options, page.data(), page.size()));
}

const GumboNode& ParsedPage::Body() const {
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

bool HoldsWord(std::string_view words, std::string_view word) {
    std::size_t at = 0;
    while ((at = words.find(word, at)) != std::string_view::npos) {
        const std::size_t end = at + word.size();
        const auto blank = [](char c) {
            return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
        };
        const bool starts = at == 0 || blank(words[at - 1]);
        const bool ends = end == words.size() || blank(words[end]);
        if (starts && ends) return true;
        at = end;
    }
    return false;
}

}  // namespace quirebook
