// The footnotes and endnotes of a Word document: their parts, the numbers Word gives them in
// the order they are referred to, and their labels ("1" for footnotes, "i" for endnotes unless
// the settings say otherwise).
#pragma once

#include <pugixml.hpp>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "word/docx/DocxPackage.h"

namespace quirebook {

enum class NoteKind { Footnote, Endnote };

struct NoteReference {
    NoteKind Kind = NoteKind::Footnote;
    int Number = 0;       // 1, 2, 3 ... in order of first reference
    std::string Label;    // the number in the notes' format: "1", "i", "a" ...
    bool First = true;    // false when the note was referred to before
    pugi::xml_node Note;  // the w:footnote or w:endnote element
};

class DocxNotes {
  public:
    // Reads the notes parts of the main document and the notes' number formats from its
    // settings (and from the body's last section properties, which Word lets override them).
    void Load(const DocxPackage& package, pugi::xml_node bodySectPr);

    // Counts a reference to note `id`; nullopt when the document has no such note.
    std::optional<NoteReference> Refer(NoteKind kind, const std::string& id);

    // The notes referred to, in order of first reference.
    const std::vector<NoteReference>& Referred(NoteKind kind) const;

    // The part holding the notes of that kind ("word/footnotes.xml").
    const std::string& PartName(NoteKind kind) const;

    // Anchor names Word uses: "_ftn" and "_ftnref" for footnotes, "_edn" and "_ednref" for
    // endnotes; and the class of the reference mark.
    static std::string NoteAnchor(NoteKind kind, int number);
    static std::string ReferenceAnchor(NoteKind kind, int number);
    static std::string ReferenceClass(NoteKind kind);

  private:
    struct Notes {
        std::string PartName;
        pugi::xml_document Part;
        std::map<std::string, pugi::xml_node> ById;
        std::map<std::string, int> NumberOf;
        std::vector<NoteReference> Referred;
        std::string Format;
        long Start = 1;
    };
    Notes& Of(NoteKind kind) { return kind == NoteKind::Footnote ? m_footnotes : m_endnotes; }
    const Notes& Of(NoteKind kind) const {
        return kind == NoteKind::Footnote ? m_footnotes : m_endnotes;
    }

    Notes m_footnotes;
    Notes m_endnotes;
};

}  // namespace quirebook
