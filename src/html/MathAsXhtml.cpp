#include "html/MathAsXhtml.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "html/LinearMath.h"
#include "html/MathCharacters.h"

namespace quirebook {

namespace {

// The space around operators: a four-per-em space, which justified text does not stretch.
constexpr std::string_view kSpace = "\u2005";

bool IsOneCharacter(std::string_view text) {
    if (text.empty()) return false;
    std::size_t at = 0;
    NextCodePoint(text, at);
    while (at < text.size())
        if (!IsCombiningMark(NextCodePoint(text, at))) return false;
    return true;
}

char32_t FirstCharacter(std::string_view text) {
    std::size_t at = 0;
    return text.empty() ? 0 : NextCodePoint(text, at);
}

bool IsOpening(const MathElement& element) {
    static constexpr std::string_view kOpenings[] = {"(",      "[",      "{",      "|",
                                                     "\u2016", "\u27E8", "\u2308", "\u230A"};
    return element.Name == "mo" && std::find(std::begin(kOpenings), std::end(kOpenings),
                                             element.Text) != std::end(kOpenings);
}

bool IsClosing(const MathElement& element) {
    static constexpr std::string_view kClosings[] = {")",      "]",      "}",      "|",
                                                     "\u2016", "\u27E9", "\u2309", "\u230B"};
    return element.Name == "mo" && std::find(std::begin(kClosings), std::end(kClosings),
                                             element.Text) != std::end(kClosings);
}

const MathElement* ChildAt(const MathElement& element, std::size_t index) {
    return index < element.Children.size() ? &element.Children[index] : nullptr;
}

// About how many lines an element stands tall, for the size of the brackets around it.
double Height(const MathElement& element) {
    const std::string_view name = element.Name;
    if (element.IsToken() || element.Children.empty()) return 1;
    if (name == "mfrac") {
        const std::string* bevelled = element.Attribute("bevelled");
        if (bevelled != nullptr && *bevelled == "true") return 1;
        double height = 0;
        for (const MathElement& part : element.Children) height += Height(part);
        return height;
    }
    if (name == "mtable") {
        double height = 0;
        for (const MathElement& row : element.Children) height += Height(row);
        return height;
    }
    if (name == "msub" || name == "msup" || name == "msubsup" || name == "mmultiscripts")
        return Height(element.Children[0]);
    if (name == "munder" || name == "mover" || name == "munderover") {
        double height = Height(element.Children[0]);
        for (std::size_t i = 1; i < element.Children.size(); ++i)
            height += 0.6 * Height(element.Children[i]);
        return height;
    }
    double height = 1;
    for (const MathElement& child : element.Children) height = std::max(height, Height(child));
    return height;
}

// The alignment of a table's cell: its own, else its row's or table's for its column (the
// last given one repeated), else centred.
std::string CellAlignment(const MathElement& table, const MathElement& row, const MathElement& cell,
                          std::size_t column) {
    if (const std::string* own = cell.Attribute("columnalign")) return *own;
    for (const MathElement* holder : {&row, &table}) {
        const std::string* list = holder->Attribute("columnalign");
        if (list == nullptr) continue;
        std::vector<std::string> values;
        for (std::size_t from = 0; from < list->size();) {
            const std::size_t end = std::min(list->find(' ', from), list->size());
            if (end > from) values.push_back(list->substr(from, end - from));
            from = end + 1;
        }
        if (!values.empty()) return values[std::min(column, values.size() - 1)];
    }
    return "center";
}

class XhtmlMathWriter {
  public:
    explicit XhtmlMathWriter(bool display) : m_display(display) {}

    std::string& Out() { return m_out; }

    void Row(const std::vector<MathElement>& children, int level) {
        const std::vector<RowGap> gaps = RowGaps(children, level == 0);
        // Brackets around what is taller than a line (a table, a fraction) grow with it.
        std::size_t first = children.size(), last = children.size();
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (IsInvisibleOperator(children[i])) continue;
            if (first == children.size()) first = i;
            last = i;
        }
        double inner = 1;
        for (std::size_t i = 0; i < children.size(); ++i)
            if (i != first && i != last) inner = std::max(inner, Height(children[i]));
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (gaps[i].Before) Space();
            const MathElement& child = children[i];
            const bool grows =
                inner > 1.3 && children.size() > 1 &&
                ((i == first && IsOpening(child)) || (i == last && IsClosing(child)));
            if (grows)
                Grown(child.Text, inner);
            else
                Write(child, level);
            if (gaps[i].After) Space();
        }
    }

    void Write(const MathElement& element, int level) {
        const std::string_view name = element.Name;
        if (element.IsToken()) {
            Token(element, {});
        } else if (name == "mspace") {
            m_out += kSpace;
        } else if (name == "msub" || name == "msup" || name == "msubsup") {
            WriteChild(element, 0, level);
            const bool sub = name != "msup";
            ScriptPair(sub ? ChildAt(element, 1) : nullptr,
                       name == "msub" ? nullptr : ChildAt(element, sub ? 2 : 1), level);
        } else if (name == "mmultiscripts") {
            Multiscripts(element, level);
        } else if (name == "munder" || name == "mover" || name == "munderover") {
            UnderOver(element, level);
        } else if (name == "mfrac") {
            Fraction(element, level);
        } else if (name == "msqrt" || name == "mroot") {
            Root(element, level);
        } else if (name == "mtable") {
            Table(element, level);
        } else if (name == "menclose") {
            Enclosed(element, level);
        } else if (name == "mphantom") {
            m_out += "<span style=\"visibility:hidden\">";
            Row(element.Children, level);
            m_out += "</span>";
        } else if (name == "mfenced") {
            Fenced(element, level);
        } else if (name == "semantics") {
            WriteChild(element, 0, level);
        } else if (name == "mglyph") {
            if (const std::string* alt = element.Attribute("alt"))
                AppendMathText(m_out, *alt, false);
        } else if (name != "annotation" && name != "annotation-xml" && name != "none" &&
                   name != "mprescripts") {
            Row(element.Children, level);
        }
    }

  private:
    void WriteChild(const MathElement& element, std::size_t index, int level) {
        if (const MathElement* child = ChildAt(element, index)) Write(*child, level);
    }

    void Space() {
        if (m_out.size() < kSpace.size() ||
            m_out.compare(m_out.size() - kSpace.size(), kSpace.size(), kSpace) != 0)
            m_out += kSpace;
    }

    // A token: an identifier of one letter in italics, one with a mathvariant in its alphabet
    // (or in bold and italics where Unicode has none), `mark` on its character.
    void Token(const MathElement& element, std::string_view mark) {
        if (IsInvisibleOperator(element)) return;
        std::string text = element.Name == "ms" ? "\"" + element.Text + "\"" : element.Text;
        bool italic = false, bold = false;
        const std::string* variant = element.Attribute("mathvariant");
        if (variant != nullptr) {
            std::string mapped = InAlphabet(text, AlphabetNamed(*variant));
            if (mapped == text) {
                italic = variant->find("italic") != std::string::npos;
                bold = variant->find("bold") != std::string::npos;
            }
            text = std::move(mapped);
        } else if (element.Name == "mi") {
            italic = IsOneCharacter(text) && IsItalicLetter(FirstCharacter(text));
        }
        text += mark;
        if (element.Name == "mtext") {
            // The spaces at its ends are part of the text.
            const std::size_t start = text.find_first_not_of(' ');
            const std::size_t end = text.find_last_not_of(' ');
            if (start == std::string::npos) {
                text = "\u00A0";
            } else {
                text = std::string(start > 0 ? "\u00A0" : "") +
                       text.substr(start, end + 1 - start) +
                       (end + 1 < text.size() ? "\u00A0" : "");
            }
        }
        const bool large = m_display && element.Name == "mo" && IsLargeOperator(element.Text);
        if (large) m_out += "<span style=\"font-size:150%;line-height:1\">";
        if (bold) m_out += "<b>";
        if (italic) m_out += "<i>";
        AppendMathText(m_out, text, false);
        if (italic) m_out += "</i>";
        if (bold) m_out += "</b>";
        if (large) m_out += "</span>";
    }

    // A bracket drawn as tall as `lines`.
    void Grown(const std::string& bracket, double lines) {
        const int percent = static_cast<int>(std::min(lines, 6.0) * 85);
        m_out += "<span style=\"font-size:" + std::to_string(percent) +
                 "%;line-height:1;vertical-align:middle\">";
        AppendMathText(m_out, bracket, false);
        m_out += "</span>";
    }

    // A subscript and a superscript after a base: sub and sup, one over the other when both.
    void ScriptPair(const MathElement* sub, const MathElement* sup, int level) {
        const bool both = sub != nullptr && sup != nullptr;
        if (both)
            m_out +=
                "<span style=\"display:inline-block;vertical-align:-0.4em;line-height:1;"
                "text-align:left\">";
        for (const auto& [script, tag] : {std::pair{sup, "sup"}, std::pair{sub, "sub"}}) {
            if (script == nullptr) continue;
            // A style sheet may give scripts no line height (to keep lines even): one over the
            // other, they need theirs.
            m_out +=
                std::string("<") + tag + (both ? " style=\"display:block;line-height:1.1\">" : ">");
            Write(*script, level + 1);
            m_out += std::string("</") + tag + ">";
        }
        if (both) m_out += "</span>";
    }

    void Multiscripts(const MathElement& element, int level) {
        std::vector<const MathElement*> post, pre;
        bool prescripts = false;
        for (std::size_t i = 1; i < element.Children.size(); ++i) {
            const MathElement& child = element.Children[i];
            if (child.Name == "mprescripts")
                prescripts = true;
            else
                (prescripts ? pre : post).push_back(child.Name == "none" ? nullptr : &child);
        }
        const auto pairs = [&](const std::vector<const MathElement*>& scripts) {
            for (std::size_t i = 0; i < scripts.size(); i += 2)
                if (scripts[i] != nullptr || (i + 1 < scripts.size() && scripts[i + 1] != nullptr))
                    ScriptPair(scripts[i], i + 1 < scripts.size() ? scripts[i + 1] : nullptr,
                               level);
        };
        pairs(pre);
        WriteChild(element, 0, level);
        pairs(post);
    }

    void UnderOver(const MathElement& element, int level) {
        const std::string_view name = element.Name;
        const MathElement* base = ChildAt(element, 0);
        if (base == nullptr) return;
        const MathElement* under = name == "mover" ? nullptr : ChildAt(element, 1);
        const MathElement* over = ChildAt(element, name == "munderover" ? 2
                                                   : name == "mover"    ? 1
                                                                        : 99);
        if (name != "munderover") {
            const MathElement* mark = under != nullptr ? under : over;
            const char32_t c = mark != nullptr && mark->Name == "mo" && IsOneCharacter(mark->Text)
                                   ? FirstCharacter(mark->Text)
                                   : 0;
            // An accent on one character is its combining mark; a line is drawn along the base.
            if (over != nullptr && CombiningAccent(c) != 0 && base->IsToken() &&
                IsOneCharacter(base->Text)) {
                std::string combining;
                AppendCodePoint(combining, CombiningAccent(c));
                Token(*base, combining);
                return;
            }
            // A brace or bracket over or under the base is drawn as a curved line along it.
            if (c == 0x23DE || c == 0x23DC || c == 0x23B4 || c == 0x23DF || c == 0x23DD ||
                c == 0x23B5) {
                m_out += over != nullptr
                             ? "<span style=\"display:inline-block;border:1px solid;"
                               "border-bottom:none;border-radius:0.5em 0.5em 0 0;padding:0.1em "
                               "0.2em 0\">"
                             : "<span style=\"display:inline-block;border:1px solid;"
                               "border-top:none;border-radius:0 0 0.5em 0.5em;padding:0 0.2em "
                               "0.1em\">";
                Write(*base, level);
                m_out += "</span>";
                return;
            }
            if ((over != nullptr && IsOverline(c)) || (under != nullptr && IsUnderline(c))) {
                m_out += over != nullptr ? "<span style=\"text-decoration:overline\">"
                                         : "<span style=\"text-decoration:underline\">";
                Write(*base, level);
                m_out += "</span>";
                return;
            }
        }
        // Limits of a large operator in running text stand as its scripts.
        if (!m_display && base->Name == "mo" && IsLargeOperator(base->Text)) {
            Write(*base, level);
            ScriptPair(under, over, level);
            return;
        }
        // A stack is a small table whose first row is the base, so that the base stands on
        // the line of the text; what goes over it is the table's caption.
        m_out +=
            "<span style=\"display:inline-table;vertical-align:baseline;text-align:center;"
            "line-height:1.1\">";
        if (over != nullptr) {
            m_out +=
                "<span style=\"display:table-caption;caption-side:top;font-size:75%;"
                "white-space:nowrap\">";
            Write(*over, level + 1);
            m_out += "</span>";
        }
        m_out += "<span style=\"display:table-row\"><span style=\"display:table-cell\">";
        Write(*base, level);
        m_out += "</span></span>";
        if (under != nullptr) {
            m_out +=
                "<span style=\"display:table-row\"><span style=\"display:table-cell;"
                "font-size:75%\">";
            Write(*under, level + 1);
            m_out += "</span></span>";
        }
        m_out += "</span>";
    }

    void Fraction(const MathElement& element, int level) {
        const std::string* bevelled = element.Attribute("bevelled");
        if (bevelled != nullptr && *bevelled == "true") {
            m_out += "<sup>";
            WriteChild(element, 0, level + 1);
            m_out += "</sup>\u2044<sub>";
            WriteChild(element, 1, level + 1);
            m_out += "</sub>";
            return;
        }
        const bool bar = !HasNoBar(element);
        m_out +=
            "<span style=\"display:inline-block;vertical-align:middle;text-align:center;"
            "margin:0 0.1em\"><span style=\"display:block;padding:0 0.1em\">";
        WriteChild(element, 0, level);
        m_out += bar ? "</span><span style=\"display:block;padding:0 0.1em;border-top:1px solid\">"
                     : "</span><span style=\"display:block;padding:0 0.1em\">";
        WriteChild(element, 1, level);
        m_out += "</span></span>";
    }

    void Root(const MathElement& element, int level) {
        m_out += "<span style=\"white-space:nowrap\">";
        if (element.Name == "mroot") {
            m_out += "<sup>";
            WriteChild(element, 1, level + 1);
            m_out += "</sup>";
        }
        const double height = element.Name == "mroot"
                                  ? (element.Children.empty() ? 1 : Height(element.Children[0]))
                                  : RowHeight(element);
        if (height > 1.3)
            Grown("√", height);
        else
            m_out += "√";
        m_out += "<span style=\"border-top:1px solid;padding:0 0.1em\">";
        if (element.Name == "mroot")
            WriteChild(element, 0, level);
        else
            Row(element.Children, level);
        m_out += "</span></span>";
    }

    static double RowHeight(const MathElement& element) {
        double height = 1;
        for (const MathElement& child : element.Children) height = std::max(height, Height(child));
        return height;
    }

    void Table(const MathElement& table, int level) {
        m_out +=
            "<span style=\"display:inline-table;vertical-align:middle;border-collapse:collapse\">";
        for (const MathElement& row : table.Children) {
            if (row.Name != "mtr" && row.Name != "mlabeledtr") continue;
            m_out += "<span style=\"display:table-row\">";
            const std::size_t first = row.Name == "mlabeledtr" ? 1 : 0;
            std::vector<std::string> alignments;
            for (std::size_t i = first; i < row.Children.size(); ++i)
                alignments.push_back(CellAlignment(table, row, row.Children[i], i - first));
            for (std::size_t i = 0; i < alignments.size(); ++i) {
                // The two sides of an aligned equation meet without a gap.
                const bool meetsNext = alignments[i] == "right" && i + 1 < alignments.size() &&
                                       alignments[i + 1] == "left";
                const bool meetsLast =
                    alignments[i] == "left" && i > 0 && alignments[i - 1] == "right";
                m_out += "<span style=\"display:table-cell;padding:0.15em " +
                         std::string(meetsNext ? "0" : "0.4em") + " 0.15em " +
                         (meetsLast ? "0" : "0.4em") + ";text-align:" + alignments[i] + "\">";
                Row(row.Children[first + i].Children, level);
                m_out += "</span>";
            }
            m_out += "</span>";
        }
        m_out += "</span>";
    }

    void Enclosed(const MathElement& element, int level) {
        const std::string* given = element.Attribute("notation");
        const std::string notation = " " + (given == nullptr ? std::string("box") : *given) + " ";
        std::string style = "padding:0 0.2em";
        const auto has = [&](std::string_view word) {
            return notation.find(" " + std::string(word) + " ") != std::string::npos;
        };
        if (has("box") || has("roundedbox") || has("circle") || has("longdiv")) {
            style += ";border:1px solid";
        } else {
            for (const std::string_view side : {"top", "bottom", "left", "right"})
                if (has(side)) style += ";border-" + std::string(side) + ":1px solid";
        }
        if (has("horizontalstrike")) style += ";text-decoration:line-through";
        m_out += "<span style=\"" + style + "\">";
        Row(element.Children, level);
        m_out += "</span>";
    }

    // An old-style fenced row, written as the row of brackets and separators it stands for.
    void Fenced(const MathElement& element, int level) {
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
        std::vector<MathElement> row;
        row.emplace_back("mo", open == nullptr ? "(" : *open);
        for (std::size_t i = 0; i < element.Children.size(); ++i) {
            if (i > 0 && !separators.empty())
                row.emplace_back("mo", separators[std::min(i - 1, separators.size() - 1)]);
            row.push_back(element.Children[i]);
        }
        row.emplace_back("mo", close == nullptr ? ")" : *close);
        Row(row, level);
    }

    bool m_display;
    std::string m_out;
};

}  // namespace

std::string MathAsXhtml(const MathElement& math, bool linear) {
    const std::string* alttext = math.Attribute("alttext");
    const std::string title = alttext != nullptr && !alttext->empty() ? *alttext : LinearMath(math);
    const std::string* display = math.Attribute("display");
    const bool block = display != nullptr && *display == "block";
    XhtmlMathWriter writer(block);
    std::string& out = writer.Out();
    out += "<span class=\"math\" title=\"";
    AppendMathText(out, title, true);
    out += block ? "\" style=\"display:block;text-align:center;text-indent:0;margin:0.5em 0\">"
                 : "\">";
    if (linear)
        AppendMathText(out, title, false);
    else
        writer.Row(math.Children, 0);
    out += "</span>";
    return std::move(out);
}

}  // namespace quirebook
