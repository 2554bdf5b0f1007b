#include "html/LinearMath.h"

#include <algorithm>
#include <vector>

#include "html/MathCharacters.h"

namespace quirebook {

namespace {

// One space at most between words, none at the ends.
std::string Tidy(const std::string& text) {
    std::string tidy;
    for (const char c : text) {
        if (c == ' ' && (tidy.empty() || tidy.back() == ' ')) continue;
        tidy += c;
    }
    while (!tidy.empty() && tidy.back() == ' ') tidy.pop_back();
    return tidy;
}

// True when `text` is one character with the marks that sit on it.
bool IsOneCharacter(std::string_view text) {
    if (text.empty()) return false;
    std::size_t at = 0;
    NextCodePoint(text, at);
    while (at < text.size())
        if (!IsCombiningMark(NextCodePoint(text, at))) return false;
    return true;
}

// True when `text` is enclosed by one pair of brackets from its first character to its last.
bool IsEnclosed(std::string_view text) {
    if (text.size() < 2) return false;
    const std::string_view opening = "([{", closing = ")]}";
    const std::size_t kind = opening.find(text.front());
    if (kind == std::string_view::npos || text.back() != closing[kind]) return false;
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == opening[kind]) ++depth;
        if (text[i] == closing[kind] && --depth == 0 && i + 1 != text.size()) return false;
    }
    return true;
}

// A script's text: bare when it is one character, else in braces.
std::string Braced(const std::string& written) {
    const std::string text = Tidy(written);
    return IsOneCharacter(text) ? text : "{" + text + "}";
}

// An operand's text: bare when it is one character, a word or already in brackets, else in
// parentheses.
std::string Parenthesised(const std::string& written, const MathElement& element) {
    const std::string text = Tidy(written);
    if (text.empty()) return text;
    const bool word = element.IsToken() || HasMark(element);
    return IsOneCharacter(text) || word || IsEnclosed(text) ? text : "(" + text + ")";
}

std::string CodePointText(char32_t c) {
    std::string text;
    AppendCodePoint(text, c);
    return text;
}

// The one character an accent element (mo) holds, or 0.
char32_t SoleCharacter(const MathElement& element) {
    if (element.Name != "mo") return 0;
    std::size_t at = 0;
    if (element.Text.empty()) return 0;
    const char32_t c = NextCodePoint(element.Text, at);
    return at == element.Text.size() ? c : 0;
}

// Each character of `text` followed by `mark`: a line under or over all of it.
std::string Marked(const std::string& text, char32_t mark) {
    std::string marked;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = NextCodePoint(text, at);
        AppendCodePoint(marked, c);
        if (c != ' ' && !IsCombiningMark(c)) AppendCodePoint(marked, mark);
    }
    return marked;
}

bool IsBracketOrArrow(char32_t c) {
    return (c >= 0x23B4 && c <= 0x23B5) || (c >= 0x23DC && c <= 0x23E1) ||
           (c >= 0x2190 && c <= 0x21FF);
}

class LinearWriter {
  public:
    std::string Write(const MathElement& element, int level) {
        const std::string_view name = element.Name;
        if (name == "mi" || name == "mn" || name == "mo" || name == "mtext") return element.Text;
        if (name == "ms") return "\"" + element.Text + "\"";
        if (name == "mspace") return " ";
        if (name == "mphantom" || name == "annotation" || name == "annotation-xml" ||
            name == "none" || name == "mprescripts")
            return {};
        if (name == "mglyph") {
            const std::string* alt = element.Attribute("alt");
            return alt == nullptr ? std::string() : *alt;
        }
        if (name == "semantics")
            return element.Children.empty() ? std::string() : Write(element.Children[0], level);
        if (name == "mfrac") return Fraction(element, level);
        if (name == "msqrt") return "√" + Parenthesised(Row(element.Children, level), element);
        if (name == "mroot") return Root(element, level);
        if (name == "msub" || name == "msup" || name == "msubsup") return Scripts(element, level);
        if (name == "munder" || name == "mover" || name == "munderover")
            return UnderOver(element, level);
        if (name == "mmultiscripts") return Multiscripts(element, level);
        if (name == "mtable") return Table(element, level);
        if (name == "menclose") return "▭(" + Row(element.Children, level) + ")";
        if (name == "mfenced") return Fenced(element, level);
        return Row(element.Children, level);
    }

  private:
    std::string Row(const std::vector<MathElement>& children, int level) {
        const std::vector<RowGap> gaps = RowGaps(children, level == 0);
        std::string row;
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (gaps[i].Before) row += ' ';
            if (!IsInvisibleOperator(children[i])) row += Write(children[i], level);
            if (gaps[i].After) row += ' ';
        }
        return row;
    }

    std::string Child(const MathElement& element, std::size_t index, int level) {
        return index < element.Children.size() ? Write(element.Children[index], level)
                                               : std::string();
    }

    std::string Operand(const MathElement& element, std::size_t index, int level) {
        if (index >= element.Children.size()) return {};
        return Parenthesised(Write(element.Children[index], level), element.Children[index]);
    }

    std::string Fraction(const MathElement& element, int level) {
        return Operand(element, 0, level) + (HasNoBar(element) ? "¦" : "/") +
               Operand(element, 1, level);
    }

    std::string Root(const MathElement& element, int level) {
        const std::string degree = Child(element, 1, level + 1);
        const std::string operand = Operand(element, 0, level);
        if (degree == "3") return "∛" + operand;
        if (degree == "4") return "∜" + operand;
        return "√[" + degree + "]" + operand;
    }

    std::string Scripts(const MathElement& element, int level) {
        const std::string_view name = element.Name;
        std::string text = Operand(element, 0, level);
        if (name != "msup") text += "_" + Braced(Child(element, 1, level + 1));
        if (name != "msub") text += "^" + Braced(Child(element, name == "msup" ? 1 : 2, level + 1));
        return text;
    }

    std::string UnderOver(const MathElement& element, int level) {
        const std::string_view name = element.Name;
        const std::string base = Child(element, 0, level);
        if (name != "munderover" && element.Children.size() >= 2) {
            const MathElement& mark = element.Children[1];
            const char32_t c = SoleCharacter(mark);
            const bool under = name == "munder";
            if ((under && IsUnderline(c)) || (!under && IsOverline(c) && !IsOneCharacter(base)))
                return Marked(base, under ? 0x332 : 0x305);
            if (!under && CombiningAccent(c) != 0) {
                const std::string combining = CodePointText(CombiningAccent(c));
                return IsOneCharacter(base) ? base + combining : "(" + base + ")" + combining;
            }
            if (IsBracketOrArrow(c)) return mark.Text + "(" + base + ")";
        }
        std::string text =
            Parenthesised(base, element.Children.empty() ? element : element.Children[0]);
        if (name != "mover") text += "_" + Braced(Child(element, 1, level + 1));
        if (name != "munder")
            text += "^" + Braced(Child(element, name == "mover" ? 1 : 2, level + 1));
        return text;
    }

    // Scripts before the base (after mprescripts) and after it, in pairs of sub and sup.
    std::string Multiscripts(const MathElement& element, int level) {
        std::string before, after;
        bool pre = false;
        std::size_t place = 0;  // of the script in its pair
        for (std::size_t i = 1; i < element.Children.size(); ++i) {
            const MathElement& child = element.Children[i];
            if (child.Name == "mprescripts") {
                pre = true;
                place = 0;
                continue;
            }
            const std::string script = Write(child, level + 1);
            if (!script.empty())
                (pre ? before : after) += (place % 2 == 0 ? "_" : "^") + Braced(script);
            ++place;
        }
        return before + (before.empty() ? "" : " ") + Operand(element, 0, level) + after;
    }

    // Rows apart by "; ", cells by ", ", unless a cell goes on from the one before it (an
    // aligned equation's "= ..." after its left side).
    std::string Table(const MathElement& element, int level) {
        std::string table;
        for (const MathElement& row : element.Children) {
            if (row.Name != "mtr" && row.Name != "mlabeledtr") continue;
            std::string line;
            const std::size_t first = row.Name == "mlabeledtr" ? 1 : 0;
            for (std::size_t i = first; i < row.Children.size(); ++i) {
                const std::string cell = Tidy(Row(row.Children[i].Children, level));
                if (cell.empty()) continue;
                const bool goesOn =
                    SpacingOf(FirstOperator(row.Children[i])) == OperatorSpacing::Around;
                if (!line.empty()) line += goesOn ? " " : ", ";
                line += cell;
            }
            if (!table.empty()) table += "; ";
            table += line;
        }
        return table;
    }

    static std::string FirstOperator(const MathElement& cell) {
        const MathElement* first = &cell;
        while (!first->Children.empty() && !first->IsToken()) first = &first->Children.front();
        return first->Name == "mo" ? first->Text : std::string();
    }

    // An old-style fenced row: its separators between the children, the last one repeated.
    std::string Fenced(const MathElement& element, int level) {
        const std::string* open = element.Attribute("open");
        const std::string* close = element.Attribute("close");
        const std::string* given = element.Attribute("separators");
        std::vector<std::string> separators;
        const std::string_view characters = given == nullptr ? "," : *given;
        for (std::size_t at = 0; at < characters.size();) {
            const std::size_t start = at;
            if (NextCodePoint(characters, at) != ' ')
                separators.emplace_back(characters.substr(start, at - start));
        }
        std::string text = open == nullptr ? "(" : *open;
        for (std::size_t i = 0; i < element.Children.size(); ++i) {
            if (i > 0 && !separators.empty())
                text += separators[std::min(i - 1, separators.size() - 1)] + " ";
            text += Write(element.Children[i], level);
        }
        return text + (close == nullptr ? ")" : *close);
    }
};

}  // namespace

std::string LinearMath(const MathElement& math) {
    return Tidy(LinearWriter().Write(math, 0));
}

}  // namespace quirebook
