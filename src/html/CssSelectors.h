// A small subset of CSS selectors, read from text and matched against elements of a page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

// An attribute test: [name] (present) or [name=value] (equal).
struct AttributeTest {
    std::string Name;  // lower case
    std::optional<std::string> Value;
};

// A compound selector: a type (or none for any) with classes, an id and attribute tests.
struct CompoundSelector {
    std::string Tag;  // lower case; empty for "*" or none given
    std::vector<std::string> Classes;
    std::string Id;
    std::vector<AttributeTest> Attributes;
};

// Compounds joined by combinators, left to right: Children[i] tells whether Compounds[i + 1]
// must be a child (">") of Compounds[i] rather than a descendant (a blank).
struct ComplexSelector {
    std::vector<CompoundSelector> Compounds;
    std::vector<bool> Children;
    std::string Text;  // as written, trimmed
};

using SelectorList = std::vector<ComplexSelector>;

// An element as a selector sees it.
class SelectorSubject {
  public:
    virtual ~SelectorSubject() = default;
    // The element's name in lower case.
    virtual std::string_view Tag() const = 0;
    // The value of the attribute `name` (lower case), or nothing when the element has none.
    virtual std::optional<std::string_view> Attribute(std::string_view name) const = 0;
    // The element's parent element, or nullptr at the top.
    virtual const SelectorSubject* Parent() const = 0;
};

// The comma-separated selectors of `text` (blank text: none). Understood: type selectors and
// "*", .class, #id, [attr], [attr=value] (value bare or quoted), compounds of these, the
// descendant (blank) and child (">") combinators. Raises std::invalid_argument naming the
// selector that cannot be read and why.
SelectorList ParseSelectors(std::string_view text);

// Whether `selector` (or any of `selectors`) selects `element`.
bool Selects(const ComplexSelector& selector, const SelectorSubject& element);
bool SelectsAny(const SelectorList& selectors, const SelectorSubject& element);

// The selectors written back as one comma-separated text.
std::string SelectorListText(const SelectorList& selectors);

}  // namespace quirebook
