#include "word/docx/ParagraphSetup.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "word/docx/FieldInstruction.h"
#include "word/docx/FormatCss.h"
#include "word/docx/WordHtmlText.h"
#include "word/docx/WordUnits.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// Word fills the room between a list label and the text with no-break spaces in 7-point
// Times New Roman, each about 1.75 points wide.
constexpr double kSpacerWidth = 1.75;
constexpr double kDefaultTabStop = 36.0;  // points

const DocxStyle& StyleOf(pugi::xml_node paragraph, const DocxStyles& styles) {
    return styles.Paragraph(AttributeText(paragraph.child("w:pPr").child("w:pStyle")));
}

bool IsContextual(pugi::xml_node paragraph, const DocxStyle& style) {
    const pugi::xml_node direct = paragraph.child("w:pPr").child("w:contextualSpacing");
    return direct ? ToggleValue(direct) : style.Paragraph.ContextualSpacing.value_or(false);
}

// The paragraph beside `paragraph` in its container, past the range marks between them
// (bookmarks, comment ranges, proofing marks); null when anything else stands between.
pugi::xml_node Neighbour(pugi::xml_node paragraph, bool forward) {
    for (pugi::xml_node node = forward ? paragraph.next_sibling() : paragraph.previous_sibling();
         node; node = forward ? node.next_sibling() : node.previous_sibling()) {
        if (node.type() != pugi::node_element) continue;
        if (IsElement(node, "w:p")) return node;
        const std::string_view name = node.name();
        if (!name.ends_with("Start") && !name.ends_with("End") && name != "w:proofErr") break;
    }
    return {};
}

ContextualPlace PlaceOf(pugi::xml_node paragraph, const DocxStyle& style,
                        const DocxStyles& styles) {
    if (style.HeadingLevel != 0 || !IsContextual(paragraph, style)) return ContextualPlace::None;
    const auto sameStyle = [&](pugi::xml_node other) {
        if (!other) return false;
        const DocxStyle& otherStyle = StyleOf(other, styles);
        return &otherStyle == &style && IsContextual(other, otherStyle);
    };
    const bool before = sameStyle(Neighbour(paragraph, false));
    const bool after = sameStyle(Neighbour(paragraph, true));
    if (before && after) return ContextualPlace::Middle;
    if (before) return ContextualPlace::Last;
    if (after) return ContextualPlace::First;
    return ContextualPlace::None;
}

const char* PlaceSuffix(ContextualPlace place) {
    switch (place) {
        case ContextualPlace::First:
            return "CxSpFirst";
        case ContextualPlace::Middle:
            return "CxSpMiddle";
        case ContextualPlace::Last:
            return "CxSpLast";
        case ContextualPlace::None:
            break;
    }
    return "";
}

// True for the styles of Word's table of contents, "toc 1" to "toc 9".
bool IsContentsStyle(const DocxStyle& style) {
    const std::string_view name = style.ClassName;
    return name.size() == 7 && name.starts_with("MsoToc") && name[6] >= '1' && name[6] <= '9';
}

// The link of a contents entry that has none of its own (a table of contents made without
// hyperlinks): to its heading's bookmark, which the entry's page number field names, when the
// page writes that bookmark.
std::string EntryLink(pugi::xml_node paragraph, const std::set<std::string>& bookmarks) {
    struct InstructionReader : pugi::xml_tree_walker {
        std::vector<std::string> Instructions;  // one a field
        bool Hyperlink = false;
        bool for_each(pugi::xml_node& node) override {
            const std::string_view name = node.name();
            if (name == "w:hyperlink") {
                Hyperlink = true;
            } else if (name == "w:fldSimple") {
                Instructions.emplace_back(AttributeText(node, "w:instr"));
            } else if (name == "w:fldChar" && AttributeText(node, "w:fldCharType") == "begin") {
                Instructions.emplace_back();
            } else if (name == "w:instrText" && !Instructions.empty()) {
                Instructions.back() += node.child_value();
            }
            return true;
        }
    } reader;
    paragraph.traverse(reader);
    if (reader.Hyperlink) return {};
    std::string link;
    for (const std::string& instruction : reader.Instructions) {
        if (!FieldLinkTarget(instruction).empty()) return {};
        const auto reference = FieldCrossReference(instruction);
        if (reference && reference->PageNumber && link.empty() &&
            bookmarks.contains(reference->Bookmark))
            link = '#' + reference->Bookmark;
    }
    return link;
}

// How many no-break spaces Word puts between a label and the text: enough to reach the
// hanging indent (or the next default tab stop), estimating the label's width.
int SpacerCount(const std::string& label, const RunFormat& format,
                const ParagraphFormat& paragraph) {
    const long characters = std::count_if(label.begin(), label.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    const double labelWidth = characters * 0.55 * format.HalfPoints.value_or(20) / 2.0;
    const long hanging = -paragraph.FirstLine.value_or(0);
    double room = hanging > 0 ? hanging / 20.0 : kDefaultTabStop;
    if (room - labelWidth < kSpacerWidth) room += kDefaultTabStop;
    return std::clamp(static_cast<int>(std::lround((room - labelWidth) / kSpacerWidth)), 1, 30);
}

std::string LabelMarkup(const std::string& text, const ListLevel& level, const RunFormat& markRun,
                        const RunFormat& styleRun, const ParagraphFormat& paragraph,
                        PageContext& context) {
    RunFormat format = markRun;
    format.Overlay(level.Run);
    if (format.Hidden.value_or(false)) return {};
    if (format.Font && format.Font != styleRun.Font) context.FontsUsed.insert(*format.Font);
    const RunMarkup markup =
        MakeRunMarkup(format, styleRun, "", context.PageLanguage, context.Fonts);
    std::string html = markup.Open;
    AppendText(html, text);
    if (level.Suffix == "space") {
        html += ' ';
    } else if (level.Suffix != "nothing") {
        html += "<span style='font:7.0pt \"Times New Roman\"'>";
        for (int i = SpacerCount(text, format, paragraph); i > 0; --i) html += "&nbsp;";
        html += " </span>";
    }
    return html + markup.Close;
}

}  // namespace

ParagraphFormat StyleRuleFormat(const DocxStyle& style, const DocxNumbering& numbering) {
    ParagraphFormat format = style.Paragraph;
    if (const ListLevel* level =
            numbering.Level(format.NumberingId.value_or(0), format.NumberingLevel.value_or(0)))
        format.Overlay(level->Paragraph);
    return format;
}

std::string BreakMarkup(const RunFormat& format, const std::string& breakValue,
                        const DocxFonts& fonts) {
    CssDeclarations css;
    css.Add("font-size", HalfPointsText(format.HalfPoints.value_or(20)));
    if (format.Font) css.Add("font-family", fonts.CssFamily(*format.Font));
    return "<span style='" + css.Inline() +
           "'><br clear=all style='page-break-before:" + breakValue + "'>\n</span>";
}

ParagraphSetup SetUpParagraph(pugi::xml_node paragraph, PageContext& context,
                              const TableLayer* table) {
    const pugi::xml_node properties = paragraph.child("w:pPr");
    const DocxStyle& style = StyleOf(paragraph, context.Styles);
    ParagraphFormat direct;
    ReadParagraphFormat(properties, direct);

    const long listId = direct.NumberingId.value_or(style.Paragraph.NumberingId.value_or(0));
    const long listLevel =
        direct.NumberingLevel.value_or(style.Paragraph.NumberingLevel.value_or(0));
    const ListLevel* level = context.Numbering.Level(listId, listLevel);
    // In a table the table style's formatting lies over the document defaults and beneath the
    // paragraph style's own.
    ParagraphFormat format = style.Paragraph;
    ParagraphSetup setup;
    setup.StyleRun = style.Run;
    setup.TextRun = style.Run;
    if (table != nullptr) {
        format = context.Styles.DefaultParagraph();
        format.Overlay(table->Paragraph);
        format.Overlay(style.ChainParagraph);
        setup.TextRun = context.Styles.DefaultRun();
        setup.TextRun.Overlay(table->Run);
        setup.TextRun.Overlay(style.ChainRun);
    }
    if (level != nullptr) format.Overlay(level->Paragraph);
    format.Overlay(direct);
    setup.Borders = format.Borders;

    setup.MarkRun = setup.TextRun;
    RunFormat markBase = style.Run;
    std::string markClass;
    const pugi::xml_node markProperties = properties.child("w:rPr");
    if (const DocxStyle* character = context.Styles.Find(
            AttributeText(markProperties.child("w:rStyle")), StyleKind::Character)) {
        setup.MarkRun.Overlay(character->Run);
        markBase.Overlay(character->Run);
        markClass = character->ClassName;
        if (!markClass.empty()) context.CharacterStyles.insert(character);
    }
    ReadRunFormat(markProperties, context.Fonts, setup.MarkRun);
    setup.MarkMarkup =
        MakeRunMarkup(setup.MarkRun, markBase, markClass, context.PageLanguage, context.Fonts);
    if (setup.MarkRun.Font) context.FontsUsed.insert(*setup.MarkRun.Font);

    const ContextualPlace place = PlaceOf(paragraph, style, context.Styles);
    context.ParagraphStyles.emplace(&style, place);
    const std::string element =
        style.HeadingLevel != 0 ? "h" + std::to_string(style.HeadingLevel) : std::string("p");
    setup.OpenTag = '<' + element;
    if (style.HeadingLevel == 0)
        AppendAttribute(setup.OpenTag, "class", style.ClassName + PlaceSuffix(place));
    const ParagraphFormat shown = PhysicalSides(format);
    const std::string alignment = shown.Alignment.value_or("left");
    if (alignment == "center" || alignment == "right")
        AppendAttribute(setup.OpenTag, "align", alignment);
    setup.RightToLeft = shown.Bidi.value_or(false);
    // A page that reads right to left says so on its body: a left-to-right paragraph in it
    // says its own direction.
    if (setup.RightToLeft)
        AppendAttribute(setup.OpenTag, "dir", "RTL");
    else if (context.RightToLeftPage)
        AppendAttribute(setup.OpenTag, "dir", "LTR");
    CssDeclarations changes;
    AddParagraphChanges(shown, PhysicalSides(StyleRuleFormat(style, context.Numbering)), changes);
    if (!changes.Empty()) setup.OpenTag += " style='" + changes.Inline() + "'";
    setup.OpenTag += '>';
    setup.CloseTag = "</" + element + '>';
    if (IsContentsStyle(style)) {
        setup.ContentsEntry = true;
        setup.EntryLink = EntryLink(paragraph, context.Bookmarks);
    }

    if (level != nullptr) {
        const std::string text = context.Numbering.NextLabel(listId, listLevel);
        if (!text.empty())
            setup.Label = LabelMarkup(text, *level, setup.MarkRun, style.Run, format, context);
    }
    return setup;
}

}  // namespace quirebook
