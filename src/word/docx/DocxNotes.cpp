#include "word/docx/DocxNotes.h"

#include <algorithm>

#include "word/docx/ListNumberFormat.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

void ReadNumbering(pugi::xml_node properties, std::string& format, long& start) {
    if (const pugi::xml_node numberFormat = properties.child("w:numFmt"))
        format = std::string(AttributeText(numberFormat));
    if (const pugi::xml_node numberStart = properties.child("w:numStart"))
        start = std::clamp(NumberAttribute(numberStart, "w:val", 1), 0L, 100000L);
}

}  // namespace

void DocxNotes::Load(const DocxPackage& package, pugi::xml_node bodySectPr) {
    m_footnotes.Format = "decimal";
    m_endnotes.Format = "lowerRoman";
    pugi::xml_document settings;
    for (const auto& [id, relationship] : package.Relationships(package.MainDocumentPart())) {
        if (relationship.External) continue;
        Notes* notes = relationship.Type == "footnotes"  ? &m_footnotes
                       : relationship.Type == "endnotes" ? &m_endnotes
                                                         : nullptr;
        if (notes != nullptr && notes->PartName.empty() &&
            LoadOptionalWordPart(package, relationship.Target, notes->Part)) {
            notes->PartName = relationship.Target;
            const char* element = notes == &m_footnotes ? "w:footnote" : "w:endnote";
            for (const pugi::xml_node note : notes->Part.document_element().children(element)) {
                // Separators and continuation notices are the page's furniture, not notes.
                const std::string_view type = AttributeText(note, "w:type");
                if (!type.empty() && type != "normal") continue;
                notes->ById.emplace(AttributeText(note, "w:id"), note);
            }
        } else if (relationship.Type == "settings" && !settings.document_element()) {
            LoadOptionalWordPart(package, relationship.Target, settings);
        }
    }
    const pugi::xml_node root = settings.document_element();
    ReadNumbering(root.child("w:footnotePr"), m_footnotes.Format, m_footnotes.Start);
    ReadNumbering(root.child("w:endnotePr"), m_endnotes.Format, m_endnotes.Start);
    ReadNumbering(bodySectPr.child("w:footnotePr"), m_footnotes.Format, m_footnotes.Start);
    ReadNumbering(bodySectPr.child("w:endnotePr"), m_endnotes.Format, m_endnotes.Start);
}

std::optional<NoteReference> DocxNotes::Refer(NoteKind kind, const std::string& id) {
    Notes& notes = Of(kind);
    const auto note = notes.ById.find(id);
    if (note == notes.ById.end()) return std::nullopt;
    const auto known = notes.NumberOf.find(id);
    if (known != notes.NumberOf.end()) {
        NoteReference again = notes.Referred[known->second - 1];
        again.First = false;
        return again;
    }
    NoteReference reference;
    reference.Kind = kind;
    reference.Number = static_cast<int>(notes.Referred.size()) + 1;
    reference.Label = FormatListNumber(
        notes.Start + reference.Number - 1,
        notes.Format == "none" || notes.Format == "bullet" ? "decimal" : notes.Format);
    reference.Note = note->second;
    notes.NumberOf.emplace(id, reference.Number);
    notes.Referred.push_back(reference);
    return reference;
}

const std::vector<NoteReference>& DocxNotes::Referred(NoteKind kind) const {
    return Of(kind).Referred;
}

const std::string& DocxNotes::PartName(NoteKind kind) const {
    return Of(kind).PartName;
}

std::string DocxNotes::NoteAnchor(NoteKind kind, int number) {
    return (kind == NoteKind::Footnote ? "_ftn" : "_edn") + std::to_string(number);
}

std::string DocxNotes::ReferenceAnchor(NoteKind kind, int number) {
    return (kind == NoteKind::Footnote ? "_ftnref" : "_ednref") + std::to_string(number);
}

std::string DocxNotes::ReferenceClass(NoteKind kind) {
    return kind == NoteKind::Footnote ? "MsoFootnoteReference" : "MsoEndnoteReference";
}

}  // namespace quirebook
