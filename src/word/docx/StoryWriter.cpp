#include "word/docx/StoryWriter.h"

#include <algorithm>

#include "word/docx/FloatPlacement.h"
#include "word/docx/InlineWriter.h"
#include "word/docx/ParagraphSetup.h"
#include "word/docx/TableWriter.h"
#include "word/docx/WordHtmlText.h"
#include "word/docx/WordXml.h"

namespace quirebook {

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

void StoryWriter::WriteBlocks(pugi::xml_node container, int depth) {
    if (depth > kDeepestNesting) {
        WritePlainText(container);
        return;
    }
    for (const pugi::xml_node child : container.children())
        if (child.type() == pugi::node_element) WriteBlock(child, depth + 1);
}

void StoryWriter::WriteBlock(pugi::xml_node node, int depth) {
    const std::string_view name = node.name();
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
    ParagraphSetup setup = SetUpParagraph(paragraph, m_context);
    const RunFormat mark = setup.MarkRun;
    const bool rightToLeft = setup.RightToLeft;
    InlineWriter writer(*this, std::move(setup));
    writer.WriteContent(paragraph, depth);
    writer.Finish();
    m_out += "\n\n";
    ++m_textBoxes;
    for (const pugi::xml_node textBox : writer.TextBoxes()) {
        // A floating text box floats beside the paragraphs after its own.
        const std::string floated =
            FloatStyle(PlaceFloat(textBox, rightToLeft, CurrentSection()), true);
        if (!floated.empty()) m_out += "<div style='" + floated + "'>\n\n";
        WriteBlocks(textBox, depth);
        if (!floated.empty()) m_out += "</div>\n\n";
    }
    --m_textBoxes;
    if (m_body && m_textBoxes == 0 && paragraph.child("w:pPr").child("w:sectPr")) EndSection(mark);
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
