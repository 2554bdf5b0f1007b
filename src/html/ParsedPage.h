// A page parsed as a browser parses it (gumbo), and the questions steps ask of its elements:
// their names, attributes, roles, and the view a selector takes of them.
#pragma once

#include <gumbo.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "html/CssSelectors.h"

namespace quirebook {

class ParsedPage {
  public:
    // Parses `page`, which must outlive the parse: the nodes point into its bytes.
    explicit ParsedPage(std::string_view page);

    const GumboNode& Root() const { return *m_output->root; }
    // The body element, or the root when the parse has none.
    const GumboNode& Body() const;

  private:
    std::unique_ptr<GumboOutput, void (*)(GumboOutput*)> m_output;
};

// Whether the node is an element (a template counts as one).
bool IsElement(const GumboNode& node);

// The node's children, each as a node.
inline const GumboNode& ChildAt(const GumboElement& element, unsigned index) {
    return *static_cast<const GumboNode*>(element.children.data[index]);
}

// The element's name in lower case, also for elements HTML does not know.
std::string TagName(const GumboElement& element);

// The value of the attribute `name`, or nothing when the element has none.
std::optional<std::string_view> AttributeOf(const GumboElement& element, const char* name);

// Whether the space-separated `words` (a class or role attribute) hold `word`.
bool HoldsWord(std::string_view words, std::string_view word);

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
