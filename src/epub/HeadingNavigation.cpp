#include "epub/HeadingNavigation.h"

#include <map>

#include "epub/EscapeRules.h"

namespace quirebook {

std::vector<NavigationEntry> HeadingNavigation(const BookProject& project) {
    std::vector<NavigationEntry> entries;
    entries.reserve(project.HeadingEntries.size());
    for (const HeadingEntry& heading : project.HeadingEntries) {
        const auto chapter = static_cast<std::size_t>(heading.Chapter);
        if (chapter >= project.ChapterFiles.size()) continue;
        const std::string fragment = heading.Anchor.empty() ? std::string() : "#" + heading.Anchor;
        entries.push_back(
            {heading.Text, heading.Level, EscapeMarkup(project.ChapterFiles[chapter]) + fragment});
    }
    return entries;
}

std::string NavPointOpening(std::size_t number, std::size_t playOrder, std::string_view label,
                            std::string_view src) {
    return "\t<navPoint id=\"navpoint-" + std::to_string(number) + "\" playOrder=\"" +
           std::to_string(playOrder) +
           "\">\r\n\t\t\t<navLabel>\r\n\t\t\t\t<text>" + std::string(label) +
           "</text>\r\n\t\t\t</navLabel>\r\n\t\t\t<content src=\"" + std::string(src) + "\"";
}

std::string NcxNavPoints(const std::vector<NavigationEntry>& entries, std::string_view contentEnd) {
    const std::string close = "</navPoint>\r\n\t";
    std::string points;
    std::vector<int> open;  // the levels of the points not yet closed, outermost first
    // A reader plays each place once: entries leading to one place share its number.
    std::map<std::string, std::size_t> playOrders;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const NavigationEntry& entry = entries[k];
        while (!open.empty() && open.back() >= entry.Level) {
            open.pop_back();
            points += std::string(open.size(), '\t') + close;
        }
        const std::size_t playOrder =
            playOrders.try_emplace(entry.Href, playOrders.size() + 1).first->second;
        points += NavPointOpening(k + 1, playOrder, entry.Text, entry.Href);
        points += contentEnd;
        points += "\r\n\t\t";
        open.push_back(entry.Level);
    }
    while (!open.empty()) {
        open.pop_back();
        points += std::string(open.size(), '\t') + close;
    }
    return points;
}

}  // namespace quirebook
