#include "word/docx/StyleSheet.h"

#include <set>

#include "word/docx/FormatCss.h"
#include "word/docx/ParagraphSetup.h"
#include "word/docx/WordUnits.h"

namespace quirebook {

namespace {

// Writes the rules of the style sheet and gathers the fonts they name.
class RuleWriter {
  public:
    RuleWriter(PageContext& context, std::string& out) : m_context(context), m_out(out) {}

    void Paragraph(const DocxStyle& style, ContextualPlace place) {
        ParagraphFormat format = StyleRuleFormat(style, m_context.Numbering);
        std::string name = style.ClassName;
        switch (place) {
            case ContextualPlace::First:
                format.SpaceAfter = 0;
                name += "CxSpFirst";
                break;
            case ContextualPlace::Middle:
                format.SpaceBefore = format.SpaceAfter = 0;
                name += "CxSpMiddle";
                break;
            case ContextualPlace::Last:
                format.SpaceBefore = 0;
                name += "CxSpLast";
                break;
            case ContextualPlace::None:
                break;
        }
        const std::string selector = style.HeadingLevel != 0
                                         ? "h" + std::to_string(style.HeadingLevel)
                                         : "p." + name + ", li." + name + ", div." + name;
        if (!m_written.insert(selector).second) return;
        CssDeclarations css;
        AddParagraphRule(PhysicalSides(format), css);
        AddRunRule(style.Run, m_context.Fonts, css);
        Rule(selector, css, style.Run);
    }

    void Character(const DocxStyle& style) {
        std::string selector = "span." + style.ClassName;
        if (style.ClassName == "MsoHyperlink")
            selector = "a:link, " + selector;
        else if (style.ClassName == "MsoHyperlinkFollowed")
            selector = "a:visited, " + selector;
        if (!m_written.insert(selector).second) return;
        CssDeclarations css;
        AddRunRule(style.Run, m_context.Fonts, css);
        Rule(selector, css, style.Run);
    }

    // A rule for `selector` unless one was written for it: Word's default for links, notes.
    void Fallback(const std::string& selector, const CssDeclarations& css) {
        if (m_written.insert(selector).second) Rule(selector, css, {});
    }

  private:
    void Rule(const std::string& selector, const CssDeclarations& css, const RunFormat& run) {
        if (run.Font) m_context.FontsUsed.insert(*run.Font);
        m_out += (m_out.empty() ? " " : "\n") + selector + css.Block();
    }

    PageContext& m_context;
    std::string& m_out;
    std::set<std::string> m_written;
};

std::string FontDefinitions(const PageContext& context) {
    std::string text;
    for (const std::string& name : context.FontsUsed) {
        text += text.empty() ? " @font-face\n\t{font-family:" : "\n@font-face\n\t{font-family:";
        text += QuotedFontName(name);
        const DocxFont* font = context.Fonts.Find(name);
        if (font != nullptr && !font->Panose.empty()) text += ";\n\tpanose-1:" + font->Panose;
        text += ";}";
    }
    return text;
}

std::string PageDefinitions(const PageContext& context) {
    std::string text;
    for (std::size_t i = 0; i < context.Sections.size(); ++i) {
        const SectionLayout& section = context.Sections[i];
        const std::string name = "WordSection" + std::to_string(i + 1);
        text += (i == 0 ? " @page " : "\n@page ") + name + "\n\t{size:" + TwipsText(section.Width) +
                ' ' + TwipsText(section.Height) + ";\n\tmargin:" + TwipsText(section.Top) + ' ' +
                TwipsText(section.Right) + ' ' + TwipsText(section.Bottom) + ' ' +
                TwipsText(section.Left) + ";}\ndiv." + name + "\n\t{page:" + name + ";}";
    }
    return text;
}

}  // namespace

std::string LinkColor(const DocxStyles& styles, bool visited) {
    const DocxStyle* style =
        styles.Find(visited ? "FollowedHyperlink" : "Hyperlink", StyleKind::Character);
    if (style != nullptr && style->Run.Color && *style->Run.Color != "windowtext")
        return *style->Run.Color;
    return visited ? "purple" : "blue";
}

std::string StyleSheet(PageContext& context) {
    std::string rules;
    RuleWriter writer(context, rules);
    writer.Paragraph(context.Styles.Paragraph(""), ContextualPlace::None);
    for (const auto& [style, place] : context.ParagraphStyles) {
        writer.Paragraph(*style, ContextualPlace::None);
        if (place != ContextualPlace::None) writer.Paragraph(*style, place);
    }
    for (const DocxStyle* style : context.CharacterStyles) writer.Character(*style);
    for (const char* id : {"Hyperlink", "FollowedHyperlink"})
        if (const DocxStyle* style = context.Styles.Find(id, StyleKind::Character))
            writer.Character(*style);
    for (const bool visited : {false, true}) {
        CssDeclarations css;
        css.Add("color", LinkColor(context.Styles, visited));
        css.Add("text-decoration", "underline");
        writer.Fallback(
            visited ? "a:visited, span.MsoHyperlinkFollowed" : "a:link, span.MsoHyperlink", css);
    }
    for (const NoteKind kind : {NoteKind::Footnote, NoteKind::Endnote}) {
        if (context.Notes.Referred(kind).empty()) continue;
        const std::string selector = "span." + DocxNotes::ReferenceClass(kind);
        CssDeclarations css;
        css.Add("vertical-align", "super");
        writer.Fallback(selector, css);
    }
    return "<style>\n<!--\n /* Font Definitions */\n" + FontDefinitions(context) +
           "\n /* Style Definitions */\n" + rules + "\n /* Page Definitions */\n" +
           PageDefinitions(context) +
           "\n /* List Definitions */\n "
           "ol\n\t{margin-bottom:0in;}\nul\n\t{margin-bottom:0in;}\n-->\n</style>";
}

}  // namespace quirebook
