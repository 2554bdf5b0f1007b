// An equation as a tree of MathML presentation elements: what the Word layer makes of Word's
// equations and what the conformance stage reads from a page's math, written as MathML here.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quirebook {

inline constexpr std::string_view kMathMlNamespace = "http://www.w3.org/1998/Math/MathML";

struct MathElement {
    std::string Name;  // "math", "mrow", "mi" ...
    std::vector<std::pair<std::string, std::string>> Attributes;
    std::string Text;  // of a token element (mi, mn, mo, mtext, ms)
    std::vector<MathElement> Children;

    MathElement() = default;
    explicit MathElement(std::string name, std::string text = {})
        : Name(std::move(name)), Text(std::move(text)) {}

    // The attribute's value, or nullptr when the element has none.
    const std::string* Attribute(std::string_view name) const;
    // Sets the attribute, replacing a value it had.
    MathElement& Set(std::string_view name, std::string value);
    // True for mi, mn, mo, mtext and ms, which hold text and no elements.
    bool IsToken() const;
};

// True for the MathML token elements (mi, mn, mo, mtext, ms).
bool IsTokenName(std::string_view name);

// Appends `text` escaped for XML ("&", "<", ">", and '"' in an attribute), with what XML cannot
// hold (control characters, broken UTF-8) mended.
void AppendMathText(std::string& out, std::string_view text, bool attribute);

// Where a row of an equation puts spaces: around relations and binary operators (a sign that
// starts a term keeps to its operand) and after a comma when `spaced` (outside scripts), after
// scripts and large operators, between a function's name and what it applies to. For each child:
// a space before it, a space after it; invisible operators (function application, invisible
// times) have none and are passed over.
struct RowGap {
    bool Before = false;
    bool After = false;
};
std::vector<RowGap> RowGaps(const std::vector<MathElement>& row, bool spaced);

// True for an munder or mover whose script is an accent, a line or a brace: it reads as one
// thing marked, not as a base with a script.
bool HasMark(const MathElement& element);

// True for a fraction drawn without its bar (linethickness zero): a binomial coefficient.
bool HasNoBar(const MathElement& fraction);

// True for an invisible operator (function application, invisible times, separator, plus).
bool IsInvisibleOperator(const MathElement& element);

// The element as MathML markup: text and attribute values escaped (also ">", so that passes
// that read tags as "<...>" never end one early), elements without content closed as "<none/>".
// `withNamespace` puts the MathML namespace on the top element, as XML needs it.
std::string MathMlMarkup(const MathElement& element, bool withNamespace);

}  // namespace quirebook
