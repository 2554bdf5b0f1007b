// Fitting a web book to narrow screens: its sheets judged against the elements of its chapters.
#include "html/NarrowScreenFit.h"

#include <gumbo.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

#include "css/NarrowScreenSheets.h"
#include "html/CssSelectors.h"
#include "html/LinkTargets.h"
#include "html/XhtmlModel.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// An element of a chapter as selectors see it, kept after the parse is gone.
class KeptElement final : public SelectorSubject {
  public:
    KeptElement(const GumboElement& element, const KeptElement* parent) : m_parent(parent) {
        if (element.tag != GUMBO_TAG_UNKNOWN) {
            m_tag = gumbo_normalized_tagname(element.tag);
        } else {
            GumboStringPiece original = element.original_tag;
            gumbo_tag_from_original_text(&original);
            if (original.data != nullptr) m_tag = AsciiLower({original.data, original.length});
        }
        for (unsigned i = 0; i < element.attributes.length; ++i) {
            const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
            m_attributes.emplace(attribute->name, attribute->value);
        }
    }
    std::string_view Tag() const override { return m_tag; }
    std::optional<std::string_view> Attribute(std::string_view name) const override {
        const auto found = m_attributes.find(std::string(name));
        if (found == m_attributes.end()) return std::nullopt;
        return std::string_view(found->second);
    }
    const SelectorSubject* Parent() const override { return m_parent; }

  private:
    std::string m_tag;
    std::map<std::string, std::string> m_attributes;
    const KeptElement* m_parent;
};

bool IsBlockType(std::string_view tag) {
    static const std::set<std::string_view> kBlocks = {
        "",   "div", "nav", "aside", "section", "header", "footer",     "main", "article",
        "ul", "ol",  "dl",  "table", "form",    "figure", "blockquote", "p"};
    return kBlocks.count(tag) != 0;
}

// The elements of the book's chapters, parsed once.
class BookElements {
  public:
    explicit BookElements(const ChapterTexts& texts) {
        for (const std::string& text : texts) Gather(text);
    }

    // Whether the selector text names blocks (each selector's element has no type or a type
    // that holds text as a block) and selects none; false for selectors the subset cannot read,
    // which may select anything.
    bool SelectNoBlock(const std::string& selectors) const {
        SelectorList list;
        try {
            list = ParseSelectors(selectors);
        } catch (const std::invalid_argument&) {
            return false;
        }
        for (const ComplexSelector& selector : list)
            if (!IsBlockType(selector.Compounds.back().Tag)) return false;
        for (const KeptElement& element : m_elements)
            if (SelectsAny(list, element)) return false;
        return true;
    }

  private:
    void Gather(const std::string& text) {
        std::unique_ptr<GumboOutput, void (*)(GumboOutput*)> output(
            gumbo_parse_with_options(&kGumboDefaultOptions, text.data(), text.size()),
            [](GumboOutput* parsed) { gumbo_destroy_output(&kGumboDefaultOptions, parsed); });
        // Walked without recursion: pages may nest deeply.
        std::vector<std::pair<const GumboNode*, const KeptElement*>> stack{{output->root, nullptr}};
        while (!stack.empty()) {
            const auto [node, parent] = stack.back();
            stack.pop_back();
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
            m_elements.emplace_back(node->v.element, parent);
            const KeptElement* kept = &m_elements.back();
            const GumboVector& children = node->v.element.children;
            for (unsigned i = children.length; i-- > 0;)
                stack.emplace_back(static_cast<const GumboNode*>(children.data[i]), kept);
        }
    }

    std::deque<KeptElement> m_elements;  // a deque keeps the parents' addresses
};

// Calls `visit` on the text of each <style> block of the page, which it may change.
void EachStyleBlock(std::string& page, const std::function<void(std::string&)>& visit) {
    std::size_t at = 0;
    while ((at = FindAnyCase(page, "<style", at)) != std::string::npos) {
        at += 6;
        if (at < page.size() && page[at] != '>' && page[at] != '/' &&
            std::string_view(" \t\r\n\f").find(page[at]) == std::string_view::npos)
            continue;  // another element, as <styles>
        const std::size_t open = page.find('>', at);
        if (open == std::string::npos) return;
        if (page[open - 1] == '/') continue;  // "<style/>" holds nothing
        const std::size_t start = open + 1;
        const std::size_t end = std::min(FindAnyCase(page, "</style", start), page.size());
        std::string css = page.substr(start, end - start);
        visit(css);
        if (css.size() != end - start || page.compare(start, end - start, css) != 0)
            page.replace(start, end - start, css);
        at = start + css.size();
    }
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

bool FitForNarrowScreens(BookProject& project, ChapterTexts& texts,
                         const std::vector<std::string>& sheets, const std::string& fitSheet) {
    std::vector<std::string> sheetTexts;
    for (const std::string& sheet : sheets)
        sheetTexts.push_back(LoadTextFile(project.OpsFolder + sheet));
    // The chapters are parsed only when a sheet places a block beside the text.
    std::optional<BookElements> elements;
    std::map<std::string, bool> judged;
    const auto selectsNoBlock = [&](const std::string& selectors) {
        const auto known = judged.find(selectors);
        if (known != judged.end()) return known->second;
        if (!elements) elements.emplace(texts);
        return judged[selectors] = elements->SelectNoBlock(selectors);
    };
    std::vector<SideColumn> absent;
    const auto gatherColumns = [&](const std::string& css) {
        for (SideColumn& column : AbsentSideColumns(css, selectsNoBlock)) {
            project.AddLog("No chapter holds " + column.Selectors + ": the style sheets keep no " +
                           column.Width + " for it on the " + column.Side + " of the text");
            absent.push_back(std::move(column));
        }
    };
    for (const std::string& css : sheetTexts) gatherColumns(css);
    for (std::string& text : texts) EachStyleBlock(text, gatherColumns);

    // Whether the sheet changed; each change is told.
    const auto fit = [&](std::string& css, const std::string& holder) {
        NarrowFit fitted = FitSheetToNarrowScreens(css, absent);
        if (fitted.FreedMargins + fitted.DroppedMinimumWidths == 0) return false;
        project.AddLog("Fitted to narrow screens: " + holder + ", " +
                       Counted(fitted.FreedMargins, "margin", "margins") + " set to 0, " +
                       Counted(fitted.DroppedMinimumWidths, "minimum width", "minimum widths") +
                       " dropped");
        css = std::move(fitted.Sheet);
        return true;
    };
    for (std::size_t i = 0; i < sheets.size(); ++i)
        if (fit(sheetTexts[i], sheets[i]))
            SaveTextFile(project.OpsFolder + sheets[i], sheetTexts[i]);
    for (std::size_t i = 0; i < texts.size(); ++i)
        EachStyleBlock(texts[i], [&](std::string& css) {
            fit(css, "a style block of " + project.ChapterFiles[i]);
        });

    const std::string fitText = LoadTextFile(project.TemplateFolder + kFitSheetTemplate);
    if (fitText.empty() || fitText == "R") {
        project.AddLog("The fit sheet " + project.TemplateFolder + kFitSheetTemplate +
                       " is missing or empty: the chapters are made without it");
        return false;
    }
    SaveTextFile(project.OpsFolder + fitSheet, fitText);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string& text = texts[i];
        const std::size_t head = FindAnyCase(text, "</head");
        if (head == std::string::npos) continue;
        text.insert(head, "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                              RelativeReference(project.ChapterFiles[i], fitSheet) + "\" />\n");
    }
    return true;
}

}  // namespace quirebook
