#include "word/docx/WordXml.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace quirebook {

bool LoadOptionalWordPart(const DocxPackage& package, const std::string& partName,
                          pugi::xml_document& document) {
    try {
        return package.ReadXml(partName, document);
    } catch (const WordDocumentError&) {
        document.reset();
        return false;
    }
}

std::string_view AttributeText(pugi::xml_node node, const char* name) {
    return node.attribute(name).value();
}

long NumberAttribute(pugi::xml_node node, const char* name, long fallback) {
    const std::string_view text = AttributeText(node, name);
    if (text.empty()) return fallback;
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    double value = 0;
    // Word writes whole numbers, but other writers put "12.0" or "1e3" in the same places.
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || end == begin || value != value) return fallback;
    return static_cast<long>(std::clamp(value, -1e9, 1e9));
}

pugi::xml_node ChosenAlternative(pugi::xml_node alternateContent) {
    static constexpr std::string_view kUnderstood[] = {"wps", "wpg", "wpc", "wpi", "wp14", "w14",
                                                       "w15", "a14", "v",   "o",   "m"};
    for (const pugi::xml_node choice : alternateContent.children("mc:Choice")) {
        const std::string_view required = AttributeText(choice, "Requires");
        bool understood = !required.empty();
        std::size_t start = 0;
        while (understood && start < required.size()) {
            std::size_t end = required.find(' ', start);
            if (end == std::string_view::npos) end = required.size();
            const std::string_view prefix = required.substr(start, end - start);
            understood = prefix.empty() || std::find(std::begin(kUnderstood), std::end(kUnderstood),
                                                     prefix) != std::end(kUnderstood);
            start = end + 1;
        }
        if (understood) return choice;
    }
    return alternateContent.child("mc:Fallback");
}

std::string TextOf(pugi::xml_node node) {
    std::string text;
    std::vector<pugi::xml_node> pending = {node};
    while (!pending.empty()) {
        const pugi::xml_node current = pending.back();
        pending.pop_back();
        if (IsElement(current, "w:t") || IsElement(current, "m:t")) {
            text += current.child_value();
            continue;
        }
        if (IsElement(current, "w:del") || IsElement(current, "w:moveFrom") ||
            IsElement(current, "w:instrText"))
            continue;
        for (pugi::xml_node child = current.last_child(); child; child = child.previous_sibling())
            if (child.type() == pugi::node_element) pending.push_back(child);
    }
    return text;
}

bool IsDocumentBookmark(std::string_view name) {
    return !name.empty() && name != "_GoBack";
}

std::set<std::string> BookmarkNames(pugi::xml_node story) {
    std::set<std::string> names;
    std::vector<pugi::xml_node> pending = {story};
    while (!pending.empty()) {
        const pugi::xml_node current = pending.back();
        pending.pop_back();
        if (IsElement(current, "w:bookmarkStart")) {
            if (const std::string_view name = AttributeText(current, "w:name");
                IsDocumentBookmark(name))
                names.emplace(name);
            continue;
        }
        if (IsElement(current, "w:del") || IsElement(current, "w:moveFrom")) continue;
        for (const pugi::xml_node child : current.children())
            if (child.type() == pugi::node_element) pending.push_back(child);
    }
    return names;
}

bool ToggleValue(pugi::xml_node element) {
    if (!element) return false;
    const std::string_view value = AttributeText(element);
    return value != "0" && value != "false" && value != "off";
}

}  // namespace quirebook
