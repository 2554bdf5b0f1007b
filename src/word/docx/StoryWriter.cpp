#include "word/docx/StoryWriter.h"

#include <algorithm>

#include "word/docx/FloatPlacement.h"
#include "word/docx/InlineWriter.h"
#include "word/docx/ParagraphSetup.h"
#include "word/docx/ShapeOutline.h"
#include "word/docx/TableWriter.h"
#include "word/docx/WordHtmlText.h"
#include "word/docx/WordUnits.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// Adds CSS declarations to the style attribute of start tag `tag`, or gives it one.
void AddDeclarations(std::string& tag, const std::string& css) {
    const std::size_t style = tag.find(" style='");
    if (style != std::string::npos)
        tag.insert(style + 8, css + ';');
    else
        tag.insert(tag.size() - 1, " style='" + css + "'");
}

std::string PointsText(double points) {
    return points == 0 ? std::string("0in") : WordNumber(points) + "pt";
}

// The declarations of the division around a group of bordered paragraphs: its sides, and the
// room each side keeps from the text.
std::string GroupCss(const BorderEdges& borders) {
    const auto space = [](const std::optional<WordBorder>& side) {
        return PointsText(side && side->Style != "none" ? side->SpacePoints : 0);
    };
    std::string css = EdgesCss(borders.Top, borders.Left, borders.Bottom, borders.Right);
    css += std::string(css.empty() ? "" : ";") + "padding:" + space(borders.Top) + ' ' +
           space(borders.Right) + ' ' + space(borders.Bottom) + ' ' + space(borders.Left);
    return css;
}

}  // namespace

StoryWriter::StoryWriter(PageContext& context, const std::string& partName, std::string& out,
                         bool body)
    : m_context(context),
      m_out(out),
      m_body(body),
      m_relationships(context.Package.Relationships(partName)),
      m_fields(&context.Bookmarks) {}

const DocxRelationship* StoryWriter::Relationship(std::string_view id) const {
    if (id.empty()) return nullptr;
    const auto found = m_relationships.find(std::string(id));
    return found == m_relationships.end() ? nullptr : &found->second;
}

const SectionLayout& StoryWriter::CurrentSection() const {
    return m_context.Sections.at(std::min(m_section, m_context.Sections.size() - 1));
}

long StoryWriter::TextWidth() const {
    if (m_surroundings.TextWidth > 0) return m_surroundings.TextWidth;
    const SectionLayout& section = CurrentSection();
    // A page narrower than its margins still gives its text an inch.
    return std::max(section.Width - section.Left - section.Right, 1440L);
}

void StoryWriter::WriteBlocks(pugi::xml_node container, int depth) {
    if (depth > kDeepestNesting) {
        WritePlainText(container);
        return;
    }
    m_borderGroups.emplace_back();
    for (const pugi::xml_node child : container.children())
        if (child.type() == pugi::node_element) WriteBlock(child, depth + 1);
    if (m_borderGroups.back().Open) m_out += "</div>\n\n";
    m_borderGroups.pop_back();
}

void StoryWriter::WriteBlock(pugi::xml_node node, int depth) {
    const std::string_view name = node.name();
    // What holds blocks of its own ends a group of bordered paragraphs.
    if (name == "w:tbl" || name == "w:sdt" || name == "w:customXml" || name == "w:ins" ||
        name == "w:moveTo" || name == "mc:AlternateContent")
        JoinBorderGroup({});
    if (name == "w:p") {
        WriteParagraph(node, depth);
    } else if (name == "w:tbl") {
        WriteTable(*this, node, depth);
    } else if (name == "w:sdt") {
        WriteBlocks(node.child("w:sdtContent"), depth);
    } else if (name == "w:customXml" || name == "w:ins" || name == "w:moveTo") {
        WriteBlocks(node, depth);
    } else if (name == "mc:AlternateContent") {
        WriteBlocks(ChosenAlternative(node), depth);
    } else if (name == "w:bookmarkStart") {
        const std::string_view bookmark = AttributeText(node, "w:name");
        if (!bookmark.empty()) m_pendingBookmarks.emplace_back(bookmark);
    }
    // Deletions, moves away, embedded foreign chunks and range marks write nothing.
}

void StoryWriter::WriteParagraph(pugi::xml_node paragraph, int depth) {
    ParagraphSetup setup = SetUpParagraph(paragraph, m_context, m_surroundings.Cell);
    if (const std::string between = JoinBorderGroup(setup.Borders); !between.empty())
        AddDeclarations(setup.OpenTag, between);
    const RunFormat mark = setup.MarkRun;
    const bool rightToLeft = setup.RightToLeft;
    InlineWriter writer(*this, std::move(setup));
    writer.WriteContent(paragraph, depth);
    writer.Finish();
    m_out += "\n\n";
    // Text boxes are written beside their paragraph, outside its group.
    if (!writer.TextBoxes().empty()) JoinBorderGroup({});
    ++m_textBoxes;
    for (const pugi::xml_node textBox : writer.TextBoxes())
        WriteTextBox(textBox, depth, rightToLeft);
    --m_textBoxes;
    if (m_body && m_textBoxes == 0 && paragraph.child("w:pPr").child("w:sectPr")) {
        CloseBorderGroups();
        EndSection(mark);
    }
}

std::string StoryWriter::JoinBorderGroup(const BorderEdges& borders) {
    BorderGroup& group = m_borderGroups.back();
    const bool draws = borders.Draws();
    if (group.Open && draws && group.Borders == borders) {
        const std::optional<WordBorder>& between = borders.InsideH;
        if (!between || between->Style == "none") return {};
        return "border-top:" + BorderCss(*between) +
               ";padding-top:" + PointsText(between->SpacePoints);
    }
    if (group.Open) m_out += "</div>\n\n";
    group.Open = draws;
    group.Borders = borders;
    if (draws) m_out += "<div style='" + GroupCss(borders) + "'>\n\n";
    return {};
}

void StoryWriter::CloseBorderGroups() {
    for (auto group = m_borderGroups.rbegin(); group != m_borderGroups.rend(); ++group) {
        if (group->Open) m_out += "</div>\n\n";
        group->Open = false;
    }
}

void StoryWriter::WriteTextBox(pugi::xml_node textBox, int depth, bool rightToLeft) {
    // A floating text box floats beside the paragraphs after its own, at its own width.
    std::string css = FloatStyle(PlaceFloat(textBox, rightToLeft, CurrentSection()), true);
    const std::optional<WordBorder> outline = TextBoxOutline(textBox, m_context.Theme);
    if (outline && outline->Style != "none") {
        if (!css.empty()) css += ';';
        if (const double points = TextBoxWidth(textBox);
            points > 0 && css.find("width:") == std::string::npos)
            css += "width:" + WordNumber(std::min(points * 20 / TextWidth(), 1.0) * 100) + "%;";
        // Word keeps a tenth of an inch beside a text box's text and half that above and below.
        css += "border:" + BorderCss(*outline) + ";padding:3.6pt 7.2pt";
    }
    if (!css.empty()) m_out += "<div style='" + css + "'>\n\n";
    WriteBlocks(textBox, depth);
    if (!css.empty()) m_out += "</div>\n\n";
}

void StoryWriter::EndSection(const RunFormat& markFormat) {
    if (m_section + 1 >= m_context.Sections.size()) return;
    ++m_section;
    if (markFormat.Font) m_context.FontsUsed.insert(*markFormat.Font);
    m_out +=
        "</div>\n\n" +
        BreakMarkup(markFormat, SectionBreakValue(m_context.Sections[m_section]), m_context.Fonts) +
        "\n\n<div class=WordSection" + std::to_string(m_section + 1) + ">\n\n";
}

void StoryWriter::WritePlainText(pugi::xml_node node) {
    const std::string text = TextOf(node);
    const DocxStyle& normal = m_context.Styles.Paragraph("");
    m_context.ParagraphStyles.emplace(&normal, ContextualPlace::None);
    m_out += "<p";
    AppendAttribute(m_out, "class", normal.ClassName.empty() ? "MsoNormal" : normal.ClassName);
    m_out += '>';
    AppendText(m_out, text);
    m_out += "</p>\n\n";
}

}  // namespace quirebook
