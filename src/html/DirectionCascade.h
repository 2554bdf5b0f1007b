// The direction the style of a chapter gives each of its elements, picked as the cascade picks
// the winning declaration: importance, then the element's own style attribute, then
// specificity, then order.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "html/CssSelectors.h"

namespace quirebook {

// A "direction" declaration of a style rule.
struct DirectionRule {
    SelectorList Selectors;
    std::string Value;  // lower case
    bool Important = false;
};

// The direction an element's own style attribute declares.
struct InlineDirection {
    std::string Value;  // lower case
    bool Important = false;
};

class DirectionCascade {
  public:
    // Adds rules after those added before: a later rule wins over an earlier one that selects
    // the same element with the same importance and specificity.
    void Add(const std::vector<DirectionRule>& rules);

    // The value of the declaration that wins for `element`, whose style attribute declares
    // `own` (or nothing); empty when nothing declares its direction.
    std::string DirectionOf(const SelectorSubject& element,
                            const std::optional<InlineDirection>& own) const;

  private:
    struct Rank {
        bool Important = false;
        bool Inline = false;
        int Ids = 0;
        int Classes = 0;  // classes and attribute tests
        int Types = 0;
        std::size_t Order = 0;
        bool operator<(const Rank& other) const;
    };
    struct Candidate {
        const ComplexSelector* Selector;
        const DirectionRule* Rule;
        Rank Ranked;
    };

    // The selectors by what their last compound needs most ("#id", ".class", the type, or "*"),
    // so that an element tries only those that may select it.
    std::unordered_map<std::string, std::vector<Candidate>> m_candidates;
    std::size_t m_order = 0;
};

}  // namespace quirebook
