// Picking an element's direction among the rules that select it.
#include "html/DirectionCascade.h"

#include <algorithm>
#include <tuple>

namespace quirebook {

bool DirectionCascade::Rank::operator<(const Rank& other) const {
    return std::tie(Important, Inline, Ids, Classes, Types, Order) <
           std::tie(other.Important, other.Inline, other.Ids, other.Classes, other.Types,
                    other.Order);
}

void DirectionCascade::Add(const std::vector<DirectionRule>& rules) {
    for (const DirectionRule& rule : rules) {
        ++m_order;
        for (const ComplexSelector& selector : rule.Selectors) {
            Rank rank{rule.Important, false, 0, 0, 0, m_order};
            for (const CompoundSelector& compound : selector.Compounds) {
                rank.Ids += compound.Id.empty() ? 0 : 1;
                rank.Classes +=
                    static_cast<int>(compound.Classes.size() + compound.Attributes.size());
                rank.Types += compound.Tag.empty() ? 0 : 1;
            }
            const CompoundSelector& last = selector.Compounds.back();
            const std::string key = !last.Id.empty()        ? "#" + last.Id
                                    : !last.Classes.empty() ? "." + last.Classes[0]
                                    : !last.Tag.empty()     ? last.Tag
                                                            : "*";
            m_candidates[key].push_back({&selector, &rule, rank});
        }
    }
}

std::string DirectionCascade::DirectionOf(const SelectorSubject& element,
                                          const std::optional<InlineDirection>& own) const {
    std::optional<Rank> best;
    std::string value;
    if (own) {
        best = Rank{own->Important, true, 0, 0, 0, 0};
        value = own->Value;
    }
    const auto tryKey = [&](const std::string& key) {
        const auto found = m_candidates.find(key);
        if (found == m_candidates.end()) return;
        for (const Candidate& candidate : found->second) {
            if ((best && !(*best < candidate.Ranked)) || !Selects(*candidate.Selector, element))
                continue;
            best = candidate.Ranked;
            value = candidate.Rule->Value;
        }
    };
    if (const auto id = element.Attribute("id")) tryKey("#" + std::string(*id));
    if (const auto classes = element.Attribute("class")) {
        for (std::size_t at = 0; at < classes->size();) {
            const std::size_t end =
                std::min(classes->find_first_of(" \t\n\r\f", at), classes->size());
            if (end > at) tryKey("." + std::string(classes->substr(at, end - at)));
            at = end + 1;
        }
    }
    tryKey(std::string(element.Tag()));
    tryKey("*");
    return value;
}

}  // namespace quirebook
