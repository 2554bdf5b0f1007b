// Fields of a Word document: the link a field's instruction makes ("HYPERLINK \"https://...\"
// \l \"part\""), and the fields open at a point of a story. Every other field shows its last
// result only, as Word's web page does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook {

// The address a HYPERLINK field links to: its target, "#" and its \l location when it has one,
// or "#" and the location alone. Empty for any other field and for a link without either.
std::string FieldLinkTarget(std::string_view instruction);

// The complex fields (w:fldChar begin, separate, end) open at the current point of a story.
// Fields nest and may run over many paragraphs; what stands between a field's begin and its
// separator is its instruction, not text.
class FieldStack {
  public:
    void Begin();
    void AddInstruction(std::string_view text);
    void Separate();
    void End();

    // True while any open field is still in its instruction: runs there are not shown.
    bool InInstruction() const { return m_inInstruction != 0; }
    // The link of the innermost HYPERLINK field whose result this point is in; empty for none.
    const std::string& Link() const;

  private:
    struct Field {
        std::string Instruction;
        bool InResult = false;
        std::string Link;
        std::size_t LinkIndex;  // the innermost field with a link up to this one, or npos
    };
    std::vector<Field> m_fields;
    std::size_t m_inInstruction = 0;
};

}  // namespace quirebook
