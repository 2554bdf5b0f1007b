// Test support: the text of a page with the look a browser gives each of its characters (size,
// font family, underline, strikethrough), worked out by a small cascade of the page's style
// sheets over its parse. It understands what Word pages and books hold: type, class and id
// selectors with combinators, style attributes, inherited sizes in pt, px, em, % and keywords,
// the browsers' default sizes of headings and the default monospaced family of code elements.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quirebook::testing {

struct TextLook {
    double Points = 12;  // the font size in points: 16 px, a reader's default, is 12 pt
    std::string Family;  // the font-family value in force, lower case; empty for the default
    bool Underline = false;
    bool Strike = false;
    bool Heading = false;  // inside h1 to h6
    bool Link = false;     // inside a link (an a element with an href)
};

// Whether a font-family value ends its list with the generic "monospace".
bool FallsBackToMonospace(std::string_view family);

// The first family of a font-family value, lower case, without quotes.
std::string FirstFamily(std::string_view family);

class StyledText {
  public:
    // The page `html` with its own style elements and `sheets` (the texts of the style sheets
    // it links, in order) applied.
    StyledText(std::string_view html, const std::vector<std::string>& sheets);

    // The page's visible text: blanks (no-break spaces too) as one space, a space between blocks.
    const std::string& Text() const { return m_text; }
    // The look of the byte at `at` of Text().
    const TextLook& LookAt(std::size_t at) const { return m_looks[m_lookOf[at]]; }

    // The offsets in Text() where `text`, its blanks made single spaces, stands.
    std::vector<std::size_t> Find(std::string_view text) const;
    // Whether `text` stands somewhere with every byte but blanks looking as `accept` wants.
    bool AnyOccurrence(std::string_view text,
                       const std::function<bool(const TextLook&)>& accept) const;

    // The runs of one look, blanks at their ends left out: offset, length.
    std::vector<std::pair<std::size_t, std::size_t>> Runs() const;

  private:
    friend class StyledTextBuilder;
    std::string m_text;
    std::vector<std::size_t> m_lookOf;
    std::vector<TextLook> m_looks;
};

// `text` with each run of blanks (ASCII white space and no-break spaces) made one space, and
// none at its ends.
std::string SingleSpaced(std::string_view text);

}  // namespace quirebook::testing
