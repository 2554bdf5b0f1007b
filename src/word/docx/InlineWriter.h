// Writes the content of one paragraph as Word writes it in a web page: runs with their
// markup (neighbouring runs of one formatting share it), hyperlinks, HYPERLINK fields and
// cross-references as links, bookmarks as named anchors, the results of other fields, note
// references, pictures, breaks, and tracked changes as accepted; a contents entry without its
// page number. The paragraph's tag is written at its first content,
// so that a page break at its start falls between paragraphs as in Word's pages.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "word/docx/ParagraphSetup.h"
#include "word/docx/ShapeOutline.h"
#include "word/docx/StoryWriter.h"

namespace quirebook {

class InlineWriter {
  public:
    InlineWriter(StoryWriter& story, ParagraphSetup setup);

    // Writes the inline children of `container` (a w:p, or a hyperlink, run or content
    // control within one).
    void WriteContent(pugi::xml_node container, int depth);
    // Closes what is open and the paragraph; an empty paragraph holds a no-break space.
    void Finish();

    // The text boxes met in the paragraph: Word shows their paragraphs beside it, so they are
    // written after it.
    const std::vector<pugi::xml_node>& TextBoxes() const { return m_textBoxes; }

  private:
    enum class Anchor { None, Bookmark, Link };

    void WriteChild(pugi::xml_node node, int depth);
    void WriteRun(pugi::xml_node run, int depth);
    void WriteRunChild(pugi::xml_node child, const RunFormat& format, const RunMarkup& markup,
                       int depth);
    void WriteHyperlink(pugi::xml_node link, int depth);
    void WriteSimpleField(pugi::xml_node field, int depth);
    void WriteNoteReference(pugi::xml_node reference, NoteKind kind, const RunMarkup& markup);
    void WriteNoteMark(const RunMarkup& markup);
    // Word's link of a note reference or of a note's own mark: to `target`, named `name`
    // unless it is empty, with the note's label in brackets.
    void WriteNoteLink(const NoteReference& note, const std::string& target,
                       const std::string& name, const RunMarkup& markup);
    void WritePictures(pugi::xml_node graphic, const RunMarkup& markup);
    void WriteMath(pugi::xml_node math);
    void WritePageBreak(const RunFormat& format);
    void WriteHorizontalRule(const HorizontalRule& rule);

    void StartBookmark(const std::string& name, const std::string& id);
    void EndBookmark(const std::string& id);
    void OpenLink(const std::string& href, bool fromField);
    // Closes the open run and the open bookmark or link, if any.
    void CloseAnchor();

    // The paragraph's tag, once.
    void OpenParagraph();
    // Before anything shown: the tag, the list label, the link of a field or contents entry,
    // the tabs held back.
    void BeginContent();
    // The link of the field whose result this point is in, else the contents entry's.
    const std::string& FieldLink() const;
    void WriteHeldTabs();
    void WriteText(const RunMarkup& markup, std::string_view text, bool escape = true);
    void CloseRun();
    // Opens or closes the span that isolates left-to-right runs in a right-to-left paragraph;
    // the run's markup is closed before.
    void Isolate(bool leftToRight);
    // Whether a run is code: in a monospaced font, or of a character style for code.
    bool IsCode(const RunFormat& format, const std::string& className) const;

    StoryWriter& m_story;
    PageContext& m_context;
    std::string& m_out;
    ParagraphSetup m_setup;
    bool m_open = false;    // the paragraph's tag is written and not yet closed
    bool m_shown = false;   // something visible was written since it opened
    bool m_broken = false;  // a page break closed the paragraph
    bool m_runOpen = false;
    RunMarkup m_run;
    bool m_runLeftToRight = false;  // the run being written is left-to-right text to isolate
    bool m_isolating = false;       // the span isolating left-to-right runs is open
    Anchor m_anchor = Anchor::None;
    std::string m_anchorId;  // the open bookmark's id, the open link's address
    bool m_anchorFromField = false;
    int m_hyperlinks = 0;                          // w:hyperlink elements entered
    std::vector<std::string> m_deferredBookmarks;  // begun inside a link
    std::vector<RunMarkup> m_heldTabs;             // a contents entry's, not yet written
    std::vector<pugi::xml_node> m_textBoxes;
};

}  // namespace quirebook
