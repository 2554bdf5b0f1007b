#include "epub/HeadingNavigation.h"

#include "epub/EscapeRules.h"

namespace quirebook {

std::vector<NavigationEntry> HeadingNavigation(const BookProject& project, NavigationList list) {
    std::vector<NavigationEntry> entries;
    for (const HeadingEntry& heading : project.HeadingEntries) {
        const auto chapter = static_cast<std::size_t>(heading.Chapter);
        if (heading.List != list || chapter >= project.ChapterFiles.size()) continue;
        const std::string fragment = heading.Anchor.empty() ? std::string() : "#" + heading.Anchor;
        entries.push_back(
            {heading.Text, heading.Level, EscapeMarkup(project.ChapterFiles[chapter]) + fragment});
    }
    return entries;
}

std::string NavPointOpening(std::size_t number, std::size_t playOrder, std::string_view label,
                            std::string_view src) {
    return "\t<navPoint id=\"navpoint-" + std::to_string(number) + "\" playOrder=\"" +
           std::to_string(playOrder) + "\">\r\n\t\t\t<navLabel>\r\n\t\t\t\t<text>" +
           std::string(label) + "</text>\r\n\t\t\t</navLabel>\r\n\t\t\t<content src=\"" +
           std::string(src) + "\"";
}

std::size_t PlayOrder::Of(const std::string& href) {
    // A reader plays each place once: entries leading to one place share its number.
    return m_numbers.try_emplace(href, m_numbers.size() + 1).first->second;
}

std::string NcxNavPoints(const std::vector<NavigationEntry>& entries, std::string_view contentEnd) {
    PlayOrder order;
    return NcxNavPoints(entries, order, contentEnd);
}

std::string NcxNavPoints(const std::vector<NavigationEntry>& entries, PlayOrder& order,
                         std::string_view contentEnd) {
    const std::string close = "</navPoint>\r\n\t";
    std::string points;
    std::vector<int> open;  // the levels of the points not yet closed, outermost first
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const NavigationEntry& entry = entries[k];
        while (!open.empty() && open.back() >= entry.Level) {
            open.pop_back();
            points += std::string(open.size(), '\t') + close;
        }
        points += NavPointOpening(k + 1, order.Of(entry.Href), entry.Text, entry.Href);
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

std::string NcxNavList(const std::string& id, const std::string& label,
                       const std::vector<NavigationEntry>& entries, PlayOrder& order) {
    if (entries.empty()) return {};
    std::string list = "<navList id=\"" + id + "\" class=\"" + id +
                       "\">\r\n\t<navLabel>\r\n\t\t<text>" + label + "</text>\r\n\t</navLabel>\r\n";
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const NavigationEntry& entry = entries[k];
        list += "\t<navTarget id=\"" + id + "-" + std::to_string(k + 1) + "\" playOrder=\"" +
                std::to_string(order.Of(entry.Href)) + "\">\r\n\t\t<navLabel>\r\n\t\t\t<text>" +
                entry.Text + "</text>\r\n\t\t</navLabel>\r\n\t\t<content src=\"" + entry.Href +
                "\"/>\r\n\t</navTarget>\r\n";
    }
    return list + "</navList>\r\n";
}

}  // namespace quirebook
