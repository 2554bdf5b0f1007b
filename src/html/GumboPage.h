// A page parsed as browsers parse it (gumbo), and the small readings of its elements that the
// passes walking such a parse share: names, attributes, tokens, and the view a selector takes.
#pragma once

#include <gumbo.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "html/CssSelectors.h"

namespace quirebook {

// How deep a page's elements may nest before it is parsed (see LimitNesting), so that no
// hostile page makes a walk over its parse go deep.
constexpr std::size_t kParseNestingLimit = 256;

// The parse of a page's text, which the caller keeps alive as long as the parse: the nodes'
// byte ranges point into it. Parse errors are not gathered.
class GumboDocument {
  public:
    explicit GumboDocument(std::string_view text);
    ~GumboDocument();
    GumboDocument(const GumboDocument&) = delete;
    GumboDocument& operator=(const GumboDocument&) = delete;

    const GumboNode& Root() const { return *m_output->root; }
    // The body element, or the root when the parse has none.
    const GumboNode& Body() const;

  private:
    GumboOutput* m_output;
};

// Whether the node is an element (a template counts as one).
bool IsElement(const GumboNode& node);

// The element's child at `index`, as a node.
inline const GumboNode& ChildAt(const GumboElement& element, unsigned index) {
    return *static_cast<const GumboNode*>(element.children.data[index]);
}

// An element's tag name, lower-cased, also for tags gumbo does not know.
std::string TagName(const GumboElement& element);

// The value of an element's attribute, or nothing when it has none of that name.
std::optional<std::string_view> AttributeOf(const GumboElement& element, const char* name);

// Whether `tokens`, a list separated by ASCII white space (as class, rel and role are), holds
// `token`, compared byte for byte.
bool HoldsToken(std::string_view tokens, std::string_view token);

// An element as a selector sees it, its parent given as the walk that found it knows it.
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

}  // namespace quirebook
