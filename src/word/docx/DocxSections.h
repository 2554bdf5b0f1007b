// The sections of a Word document: each section's page size and margins (its w:sectPr) and how
// it begins, which Word writes as page rules and as the break between section divisions.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace quirebook {

struct SectionLayout {
    // Twentieths of a point; Word's defaults are a Letter page with one-inch margins.
    long Width = 12240, Height = 15840;
    long Top = 1440, Right = 1440, Bottom = 1440, Left = 1440;
    std::string Start = "nextPage";  // w:type: nextPage, continuous, evenPage, oddPage, nextColumn
};

SectionLayout ReadSectionLayout(pugi::xml_node sectPr);

// The sections of a body in order: one for each paragraph that ends a section (in tables and
// content controls too, not in text boxes), and the last from the body's own w:sectPr (Word's
// defaults when it has none).
std::vector<SectionLayout> CollectSections(pugi::xml_node body);

// The CSS page-break-before value of the break into a section: "auto" for a continuous one,
// "left" and "right" for even and odd pages, "always" otherwise.
std::string SectionBreakValue(const SectionLayout& section);

}  // namespace quirebook
