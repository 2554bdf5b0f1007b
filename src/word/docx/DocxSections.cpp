#include "word/docx/DocxSections.h"

#include <algorithm>
#include <cstdlib>

#include "word/docx/WordXml.h"

namespace quirebook {

SectionLayout ReadSectionLayout(pugi::xml_node sectPr) {
    SectionLayout layout;
    const auto length = [](pugi::xml_node node, const char* name, long fallback, long lowest) {
        return std::clamp(NumberAttribute(node, name, fallback), lowest, 31680L * 2);
    };
    if (const pugi::xml_node size = sectPr.child("w:pgSz")) {
        layout.Width = length(size, "w:w", layout.Width, 1);
        layout.Height = length(size, "w:h", layout.Height, 1);
    }
    if (const pugi::xml_node margins = sectPr.child("w:pgMar")) {
        // A negative top or bottom margin lets text run under the header; the page keeps its
        // size.
        layout.Top = std::abs(length(margins, "w:top", layout.Top, -31680));
        layout.Right = length(margins, "w:right", layout.Right, 0);
        layout.Bottom = std::abs(length(margins, "w:bottom", layout.Bottom, -31680));
        layout.Left = length(margins, "w:left", layout.Left, 0);
    }
    if (const pugi::xml_node type = sectPr.child("w:type"); !AttributeText(type).empty())
        layout.Start = std::string(AttributeText(type));
    return layout;
}

std::vector<SectionLayout> CollectSections(pugi::xml_node body) {
    std::vector<SectionLayout> sections;
    // Depth-first over the blocks in document order, without recursion (hostile documents nest
    // deeply), past what the page leaves out: deletions and the alternatives not taken. Text
    // boxes inside paragraphs end no section.
    std::vector<pugi::xml_node> pending;
    for (pugi::xml_node child = body.last_child(); child; child = child.previous_sibling())
        pending.push_back(child);
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        if (node.type() != pugi::node_element || IsElement(node, "w:del") ||
            IsElement(node, "w:moveFrom") || IsElement(node, "w:sectPr"))
            continue;
        if (IsElement(node, "w:p")) {
            if (const pugi::xml_node sectPr = node.child("w:pPr").child("w:sectPr"))
                sections.push_back(ReadSectionLayout(sectPr));
            continue;
        }
        const pugi::xml_node children =
            IsElement(node, "mc:AlternateContent") ? ChosenAlternative(node) : node;
        for (pugi::xml_node child = children.last_child(); child; child = child.previous_sibling())
            pending.push_back(child);
    }
    sections.push_back(ReadSectionLayout(body.child("w:sectPr")));
    return sections;
}

std::string SectionBreakValue(const SectionLayout& section) {
    if (section.Start == "continuous") return "auto";
    if (section.Start == "evenPage") return "left";
    if (section.Start == "oddPage") return "right";
    return "always";
}

}  // namespace quirebook
