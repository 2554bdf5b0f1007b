#include "word/docx/NoteArea.h"

#include "word/docx/StoryWriter.h"

namespace quirebook {

void WriteNoteArea(PageContext& context, std::string& out) {
    for (const NoteKind kind : {NoteKind::Footnote, NoteKind::Endnote}) {
        const std::vector<NoteReference>& notes = context.Notes.Referred(kind);
        if (notes.empty()) continue;
        out += "<div><br clear=all>\n\n<hr align=left size=1 width=\"33%\">\n\n";
        StoryWriter story(context, context.Notes.PartName(kind), out, false);
        for (const NoteReference& note : notes) {
            // Word's division ids are the note anchors without their underscore.
            out += "<div id=" + DocxNotes::NoteAnchor(kind, note.Number).substr(1) + ">\n\n";
            story.SetCurrentNote(&note);
            story.WriteBlocks(note.Note, 0);
            out += "</div>\n\n";
        }
        out += "</div>\n\n";
    }
}

}  // namespace quirebook
