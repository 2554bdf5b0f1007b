#include "word/docx/LeftToRightRuns.h"

#include <string>

#include "text/TextDirection.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// The text of the run's own w:t elements.
std::string RunText(pugi::xml_node run) {
    std::string text;
    for (const pugi::xml_node t : run.children("w:t")) text += t.child_value();
    return text;
}

bool IsRightToLeft(pugi::xml_node run) {
    return ToggleValue(run.child("w:rPr").child("w:rtl"));
}

// The next element after `node` in document order, past the content of `node` itself, without
// leaving `paragraph`; null at its end.
pugi::xml_node NextAfter(pugi::xml_node node, pugi::xml_node paragraph) {
    for (; node && node != paragraph; node = node.parent())
        if (const pugi::xml_node next = node.next_sibling()) return next;
    return {};
}

// Whether the next run after `run` in its paragraph that holds letters holds left-to-right
// ones, past deletions and the paragraphs of text boxes. The look ahead ends after a bounded
// number of elements (no name is spread over so many), so that a paragraph of many runs
// without letters costs no more than its length.
bool NextLettersAreLeftToRight(pugi::xml_node run) {
    constexpr int kFarthest = 256;
    pugi::xml_node paragraph = run.parent();
    while (paragraph && !IsElement(paragraph, "w:p")) paragraph = paragraph.parent();
    int steps = 0;
    for (pugi::xml_node node = NextAfter(run, paragraph); node && ++steps <= kFarthest;) {
        if (IsElement(node, "w:r")) {
            const StrongDirection direction = StrongDirectionOf(RunText(node));
            if (direction != StrongDirection::None)
                return direction == StrongDirection::LeftToRight && !IsRightToLeft(node);
        }
        const bool skipped = node.type() != pugi::node_element || IsElement(node, "w:r") ||
                             IsElement(node, "w:del") || IsElement(node, "w:moveFrom");
        node = !skipped && node.first_child() ? node.first_child() : NextAfter(node, paragraph);
    }
    return false;
}

}  // namespace

bool IsLeftToRightRun(pugi::xml_node run, const RunFormat& format, bool code, bool continuing) {
    if (format.RightToLeft.value_or(false)) return false;
    const std::string text = RunText(run);
    switch (StrongDirectionOf(text)) {
        case StrongDirection::LeftToRight:
            return true;
        case StrongDirection::None:
            if (code && !text.empty()) return true;
            // Numbers after left-to-right text read with it ("Word 2016").
            return continuing && (text.find_first_of("0123456789") != std::string::npos ||
                                  NextLettersAreLeftToRight(run));
        case StrongDirection::RightToLeft:
        case StrongDirection::Both:
            break;
    }
    return false;
}

}  // namespace quirebook
