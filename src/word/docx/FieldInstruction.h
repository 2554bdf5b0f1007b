// Fields of a Word document: the link a field's instruction makes ("HYPERLINK \"https://...\"
// \l \"part\"", a cross-reference "REF _Ref12 \h"), and the fields open at a point of a story.
// Every field shows its last result only, as Word's web page does.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

// The address a HYPERLINK field links to: its target, "#" and its \l location when it has one,
// or "#" and the location alone. Empty for any other field and for a link without either.
std::string FieldLinkTarget(std::string_view instruction);

// What a cross-reference field refers to: REF and NOTEREF show a bookmark's text or note number,
// PAGEREF the number of its page.
struct CrossReference {
    bool PageNumber = false;  // PAGEREF
    std::string Bookmark;
};

// The cross-reference an instruction makes ("REF _Ref12 \h", "NOTEREF _Ref3 \f", "PAGEREF
// _Toc7 \h"); nothing for any other field.
std::optional<CrossReference> FieldCrossReference(std::string_view instruction);

// The complex fields (w:fldChar begin, separate, end) open at the current point of a story.
// Fields nest and may run over many paragraphs; what stands between a field's begin and its
// separator is its instruction, not text.
class FieldStack {
  public:
    // `bookmarks`: the bookmarks the page writes as anchors, which REF and NOTEREF fields link
    // to (with or without their \h switch: a book is read on a screen); none when null.
    explicit FieldStack(const std::set<std::string>* bookmarks = nullptr)
        : m_bookmarks(bookmarks) {}

    void Begin();
    void AddInstruction(std::string_view text);
    void Separate();
    void End();

    // True while any open field is still in its instruction: runs there are not shown.
    bool InInstruction() const { return m_inInstruction != 0; }
    // The link a field of `instruction` makes here: a HYPERLINK field's, or for a REF or NOTEREF
    // field "#" and its bookmark when the page writes it; empty for none.
    std::string LinkOf(std::string_view instruction) const;
    // True while this point is in the result of a PAGEREF field: a page number.
    bool InPageNumber() const;
    // The link of the innermost HYPERLINK field, or cross-reference to a bookmark the page
    // writes, whose result this point is in; empty for none.
    const std::string& Link() const;

  private:
    struct Field {
        std::string Instruction;
        bool InResult = false;
        bool PageNumber = false;  // a PAGEREF field
        std::string Link;
        std::size_t LinkIndex;  // the innermost field with a link up to this one, or npos
    };
    const std::set<std::string>* m_bookmarks;
    std::vector<Field> m_fields;
    std::size_t m_inInstruction = 0;
};

}  // namespace quirebook
