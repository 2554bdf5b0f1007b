// Writes a story of a Word document (the body, a note, a text box) as Word writes it in a
// filtered web page: its paragraphs and tables in order and, in the body, a division for each
// section with Word's section-break markup between them.
#pragma once

#include <pugixml.hpp>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "word/docx/FieldInstruction.h"
#include "word/docx/PageContext.h"
#include "word/docx/TableFormats.h"

namespace quirebook {

class StoryWriter {
  public:
    // Blocks nested deeper than this (tables in tables, content controls, text boxes) are
    // written as their plain text: hostile documents nest without end.
    static constexpr int kDeepestNesting = 64;

    // A writer for the stories of part `partName`, appending to `out`. The body writer
    // (`body` true) writes the section divisions.
    StoryWriter(PageContext& context, const std::string& partName, std::string& out, bool body);

    // Writes the block content of `container` (w:body, w:tc, w:footnote, w:txbxContent ...).
    void WriteBlocks(pugi::xml_node container, int depth);

    PageContext& Context() { return m_context; }
    std::string& Out() { return m_out; }
    FieldStack& Fields() { return m_fields; }
    // The relationship `id` of the story's part; nullptr when it has none.
    const DocxRelationship* Relationship(std::string_view id) const;
    // Bookmarks that began between paragraphs: the next paragraph writes them.
    std::vector<std::string>& PendingBookmarks() { return m_pendingBookmarks; }
    // The note being written, for its own mark (w:footnoteRef); nullptr outside notes.
    const NoteReference* CurrentNote() const { return m_currentNote; }
    void SetCurrentNote(const NoteReference* note) { m_currentNote = note; }
    // The layout of the section being written (the first one outside the body).
    const SectionLayout& CurrentSection() const;

    // What the blocks being written stand in: the width of the room for text in twentieths of
    // a point (0 for the section's text width) and, in a table cell, what the table gives the
    // cell's paragraphs.
    struct Surroundings {
        long TextWidth = 0;
        const TableLayer* Cell = nullptr;
    };
    // Sets the surroundings until the returned object ends.
    class SurroundingsScope {
      public:
        SurroundingsScope(StoryWriter& story, Surroundings inner)
            : m_story(story), m_outer(story.m_surroundings) {
            story.m_surroundings = inner;
        }
        ~SurroundingsScope() { m_story.m_surroundings = m_outer; }
        SurroundingsScope(const SurroundingsScope&) = delete;
        SurroundingsScope& operator=(const SurroundingsScope&) = delete;

      private:
        StoryWriter& m_story;
        Surroundings m_outer;
    };
    // The width of the room for text where blocks are being written.
    long TextWidth() const;

  private:
    // Consecutive paragraphs with the same borders share one bordered division, as Word draws
    // them in one box; each container's blocks keep their own.
    struct BorderGroup {
        bool Open = false;
        BorderEdges Borders;
    };

    void WriteBlock(pugi::xml_node node, int depth);
    void WriteParagraph(pugi::xml_node paragraph, int depth);
    // Opens, continues or closes the bordered division for a paragraph with `borders`; gives
    // the declarations the paragraph adds for the border between it and the one before.
    std::string JoinBorderGroup(const BorderEdges& borders);
    void CloseBorderGroups();
    // A text box of a paragraph reading right to left or not: floated and outlined as Word
    // shows it.
    void WriteTextBox(pugi::xml_node textBox, int depth, bool rightToLeft);
    void EndSection(const RunFormat& markFormat);
    void WritePlainText(pugi::xml_node node);

    PageContext& m_context;
    std::string& m_out;
    bool m_body;
    std::map<std::string, DocxRelationship> m_relationships;
    FieldStack m_fields;
    std::vector<std::string> m_pendingBookmarks;
    const NoteReference* m_currentNote = nullptr;
    std::size_t m_section = 0;
    int m_textBoxes = 0;  // text boxes being written, whose paragraphs end no section
    Surroundings m_surroundings;
    std::vector<BorderGroup> m_borderGroups;  // one for each container being written
};

}  // namespace quirebook
