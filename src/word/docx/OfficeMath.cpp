#include "word/docx/OfficeMath.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "html/LinearMath.h"
#include "html/MathCharacters.h"
#include "word/docx/WordXml.h"

namespace quirebook {

namespace {

// Equations nested deeper than this (fractions in fractions ...) give their text: a hostile
// document nests without end.
constexpr int kDeepestMath = 64;

// The value of an Office Math property (m:val); `fallback` when the property is absent.
std::string MathValue(pugi::xml_node property, std::string_view fallback) {
    if (!property) return std::string(fallback);
    return std::string(AttributeText(property, "m:val"));
}

// An Office Math on/off property: on when present without a value or with one other than
// "0", "false" or "off".
bool MathToggle(pugi::xml_node property) {
    if (!property) return false;
    const std::string_view value = AttributeText(property, "m:val");
    return value != "0" && value != "false" && value != "off";
}

// The character of an m:chr (or m:begChr ...) property: `fallback` when the property is absent,
// nothing when it has no value.
std::string MathCharacter(pugi::xml_node properties, const char* name, std::string_view fallback) {
    return MathValue(properties.child(name), fallback);
}

MathElement Operator(std::string text) {
    return MathElement("mo", std::move(text));
}

// The elements as one: the element itself when there is one, else an mrow holding them.
MathElement AsOne(std::vector<MathElement> items) {
    if (items.size() == 1) return std::move(items.front());
    MathElement row("mrow");
    row.Children = std::move(items);
    return row;
}

MathElement Holding(std::string name, std::vector<MathElement> children) {
    MathElement element(std::move(name));
    element.Children = std::move(children);
    return element;
}

// How a math run shows its letters and digits: the alphabet (Word's m:scr and m:sty) and
// whether its letters make one identifier (a word such as "sin") or one each.
struct RunStyle {
    MathAlphabet Alphabet = MathAlphabet::Italic;
    bool Words = false;
};

RunStyle StyleOf(pugi::xml_node properties, bool upright) {
    const std::string script = MathValue(properties.child("m:scr"), "roman");
    std::string style = MathValue(properties.child("m:sty"), upright ? "p" : "i");
    const bool bold = style == "b" || style == "bi";
    const bool italic = style == "i" || style == "bi";
    RunStyle run;
    if (script == "script") {
        run.Alphabet = bold ? MathAlphabet::BoldScript : MathAlphabet::Script;
    } else if (script == "fraktur") {
        run.Alphabet = bold ? MathAlphabet::BoldFraktur : MathAlphabet::Fraktur;
    } else if (script == "double-struck") {
        run.Alphabet = MathAlphabet::DoubleStruck;
    } else if (script == "monospace") {
        run.Alphabet = MathAlphabet::Monospace;
        run.Words = true;
    } else if (script == "sans-serif") {
        run.Alphabet =
            bold ? (italic ? MathAlphabet::SansSerifBoldItalic : MathAlphabet::SansSerifBold)
                 : (italic ? MathAlphabet::SansSerifItalic : MathAlphabet::SansSerif);
        run.Words = !italic;
    } else {
        run.Alphabet = bold ? (italic ? MathAlphabet::BoldItalic : MathAlphabet::Bold)
                            : (italic ? MathAlphabet::Italic : MathAlphabet::Normal);
        run.Words = !italic;
    }
    return run;
}

// The mathvariant names of the alphabets, for letters Unicode has no styled form of.
std::string_view VariantName(MathAlphabet alphabet) {
    switch (alphabet) {
        case MathAlphabet::Normal:
            return "normal";
        case MathAlphabet::Bold:
            return "bold";
        case MathAlphabet::BoldItalic:
            return "bold-italic";
        case MathAlphabet::SansSerif:
            return "sans-serif";
        case MathAlphabet::SansSerifBold:
            return "bold-sans-serif";
        default:
            return {};
    }
}

// Splits a run's text into identifiers, numbers and operators.
class RunTokens {
  public:
    RunTokens(RunStyle style, std::vector<MathElement>& out) : m_style(style), m_out(out) {}

    void Add(std::string_view text) {
        for (std::size_t at = 0; at < text.size();) {
            std::size_t next = at;
            const char32_t c = NextCodePoint(text, next);
            const bool digit =
                IsMathDigit(c) || ((c == '.' || c == ',') && m_kind == Kind::Number &&
                                   next < text.size() && IsDigitAt(text, next));
            const Kind kind = c == ' '             ? Kind::None
                              : IsUnicodeSpace(c)  ? Kind::Space
                              : digit              ? Kind::Number
                              : IsMathLetter(c)    ? Kind::Letters
                              : IsCombiningMark(c) ? m_kind
                                                   : Kind::Operator;
            const bool joins = kind == m_kind && kind != Kind::None &&
                               (IsCombiningMark(c) || kind == Kind::Number || kind == Kind::Space ||
                                (kind == Kind::Letters && m_style.Words));
            if (!joins) Flush();
            m_kind = kind;
            if (kind != Kind::None) m_text.append(text, at, next - at);
            at = next;
        }
        Flush();
    }

  private:
    enum class Kind { None, Space, Letters, Number, Operator };

    // A space of a given width (thin, hair, em ...), which an equation shows as it is.
    static bool IsUnicodeSpace(char32_t c) {
        return c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
               c == 0x3000;
    }

    static bool IsDigitAt(std::string_view text, std::size_t at) {
        return IsMathDigit(NextCodePoint(text, at));
    }

    void Flush() {
        if (m_text.empty()) return;
        std::string text = std::move(m_text);
        m_text.clear();
        if (m_kind == Kind::Space) {
            m_out.emplace_back("mtext", std::move(text));
            return;
        }
        if (m_kind == Kind::Operator) {
            // Word shows a hyphen in an equation as the minus sign.
            m_out.push_back(Operator(text == "-" ? "\u2212" : std::move(text)));
            return;
        }
        // Italic letters stay as they are: an identifier of one letter is shown in italics.
        std::string styled =
            m_style.Alphabet == MathAlphabet::Italic ? text : InAlphabet(text, m_style.Alphabet);
        MathElement token(m_kind == Kind::Number ? "mn" : "mi", styled);
        // A letter Unicode has no styled form of is styled by its variant; an identifier of
        // one letter is italic unless told otherwise.
        const std::string_view variant = VariantName(m_style.Alphabet);
        std::size_t at = 0;
        NextCodePoint(styled, at);
        const bool single = at == styled.size();
        if (styled == text && !variant.empty() &&
            (m_style.Alphabet != MathAlphabet::Normal || (single && m_kind == Kind::Letters)))
            token.Set("mathvariant", std::string(variant));
        m_out.push_back(std::move(token));
    }

    RunStyle m_style;
    std::vector<MathElement>& m_out;
    Kind m_kind = Kind::None;
    std::string m_text;
};

class OfficeMathConverter {
  public:
    explicit OfficeMathConverter(std::size_t& notUnderstood) : m_notUnderstood(notUnderstood) {}

    // The MathML of the children of `container` (an m:oMath, m:e, m:num ...).
    std::vector<MathElement> Items(pugi::xml_node container, int depth) {
        std::vector<MathElement> items;
        if (depth > kDeepestMath) {
            if (container.first_child()) NotUnderstood(container, items);
            return items;
        }
        for (const pugi::xml_node child : container.children())
            if (child.type() == pugi::node_element) Object(child, depth + 1, items);
        return items;
    }

  private:
    // An argument (m:e, m:sub, m:num ...) as one element; an empty mrow when it is absent.
    MathElement Argument(pugi::xml_node argument, int depth) {
        return AsOne(Items(argument, depth));
    }

    void Object(pugi::xml_node node, int depth, std::vector<MathElement>& out) {
        const std::string_view name = node.name();
        if (name == "m:r") {
            Run(node, out);
        } else if (name == "w:r") {
            Text(TextOf(node), out);
        } else if (name == "m:f") {
            out.push_back(Fraction(node, depth));
        } else if (name == "m:sSub" || name == "m:sSup" || name == "m:sSubSup") {
            out.push_back(Scripts(node, depth));
        } else if (name == "m:sPre") {
            out.push_back(Holding(
                "mmultiscripts",
                {Argument(node.child("m:e"), depth), MathElement("mprescripts"),
                 Argument(node.child("m:sub"), depth), Argument(node.child("m:sup"), depth)}));
        } else if (name == "m:rad") {
            out.push_back(Radical(node, depth));
        } else if (name == "m:nary") {
            Nary(node, depth, out);
        } else if (name == "m:d") {
            out.push_back(Delimiter(node, depth));
        } else if (name == "m:acc") {
            const std::string mark = MathCharacter(node.child("m:accPr"), "m:chr", "\u0302");
            out.push_back(Over(Argument(node.child("m:e"), depth), Operator(Accent(mark)), true));
        } else if (name == "m:bar") {
            const bool top = MathValue(node.child("m:barPr").child("m:pos"), "bot") == "top";
            const MathElement base = Argument(node.child("m:e"), depth);
            out.push_back(top ? Over(base, Operator("\u00AF"), true)
                              : Under(base, Operator("_"), true));
        } else if (name == "m:groupChr") {
            const pugi::xml_node properties = node.child("m:groupChrPr");
            const bool top = MathValue(properties.child("m:pos"), "bot") == "top";
            MathElement mark = Operator(MathCharacter(properties, "m:chr", "\u23DF"));
            const MathElement base = Argument(node.child("m:e"), depth);
            out.push_back(top ? Over(base, mark, false) : Under(base, mark, false));
        } else if (name == "m:limLow") {
            out.push_back(Under(Argument(node.child("m:e"), depth),
                                Argument(node.child("m:lim"), depth), false));
        } else if (name == "m:limUpp") {
            out.push_back(Over(Argument(node.child("m:e"), depth),
                               Argument(node.child("m:lim"), depth), false));
        } else if (name == "m:box") {
            out.push_back(Holding("mrow", Items(node.child("m:e"), depth)));
        } else if (name == "m:borderBox") {
            out.push_back(BorderBox(node, depth));
        } else if (name == "m:m") {
            out.push_back(Matrix(node, depth));
        } else if (name == "m:eqArr") {
            out.push_back(EquationArray(node, depth));
        } else if (name == "m:func") {
            Function(node, depth, out);
        } else if (name == "m:phant") {
            const bool shown = MathValue(node.child("m:phantPr").child("m:show"), "1") != "0";
            MathElement content = Holding("mrow", Items(node.child("m:e"), depth));
            out.push_back(shown ? std::move(content) : Holding("mphantom", {std::move(content)}));
        } else if (name == "m:oMath" || name == "w:ins" || name == "w:moveTo" ||
                   name == "w:smartTag" || name == "w:customXml" || name == "w:hyperlink") {
            for (MathElement& item : Items(node, depth)) out.push_back(std::move(item));
        } else if (name == "w:sdt") {
            for (MathElement& item : Items(node.child("w:sdtContent"), depth))
                out.push_back(std::move(item));
        } else if (name == "mc:AlternateContent") {
            for (MathElement& item : Items(ChosenAlternative(node), depth))
                out.push_back(std::move(item));
        } else if (!IsIgnored(name)) {
            NotUnderstood(node, out);
        }
    }

    // Properties, marks of ranges and proofing, deletions: nothing of them is shown.
    static bool IsIgnored(std::string_view name) {
        return (name.size() > 2 && name.substr(name.size() - 2) == "Pr") ||
               name == "w:bookmarkStart" || name == "w:bookmarkEnd" || name == "w:proofErr" ||
               name == "w:permStart" || name == "w:permEnd" || name == "w:commentRangeStart" ||
               name == "w:commentRangeEnd" || name == "w:del" || name == "w:moveFrom" ||
               name == "w:moveFromRangeStart" || name == "w:moveFromRangeEnd" ||
               name == "w:moveToRangeStart" || name == "w:moveToRangeEnd";
    }

    void NotUnderstood(pugi::xml_node node, std::vector<MathElement>& out) {
        ++m_notUnderstood;
        Text(TextOf(node), out);
    }

    // Plain text in an equation: its spaces at the ends kept (as no-break spaces, since MathML
    // trims a token's spaces).
    static void Text(const std::string& text, std::vector<MathElement>& out) {
        if (text.empty()) return;
        std::string kept = text;
        if (kept.front() == ' ') kept.replace(0, 1, "\u00A0");
        if (kept.back() == ' ') kept.replace(kept.size() - 1, 1, "\u00A0");
        out.emplace_back("mtext", std::move(kept));
    }

    void Run(pugi::xml_node run, std::vector<MathElement>& out) {
        const pugi::xml_node properties = run.child("m:rPr");
        std::string text;
        for (const pugi::xml_node child : run.children()) {
            const std::string_view name = child.name();
            if (name == "m:t" || name == "w:t")
                text += child.child_value();
            else if (name == "w:tab" || name == "w:br")
                text += ' ';
        }
        if (MathToggle(properties.child("m:nor"))) {
            Text(text, out);
            return;
        }
        RunTokens(StyleOf(properties, InFunctionName(run)), out).Add(text);
    }

    MathElement Fraction(pugi::xml_node fraction, int depth) {
        const std::string type = MathValue(fraction.child("m:fPr").child("m:type"), "bar");
        MathElement numerator = Argument(fraction.child("m:num"), depth);
        MathElement denominator = Argument(fraction.child("m:den"), depth);
        if (type == "lin")
            return Holding("mrow", {std::move(numerator), Operator("/"), std::move(denominator)});
        MathElement element = Holding("mfrac", {std::move(numerator), std::move(denominator)});
        if (type == "skw") element.Set("bevelled", "true");
        if (type == "noBar") element.Set("linethickness", "0");
        return element;
    }

    MathElement Scripts(pugi::xml_node scripts, int depth) {
        const std::string_view name = scripts.name();
        std::vector<MathElement> parts{Argument(scripts.child("m:e"), depth)};
        if (name != "m:sSup") parts.push_back(Argument(scripts.child("m:sub"), depth));
        if (name != "m:sSub") parts.push_back(Argument(scripts.child("m:sup"), depth));
        return Holding(name == "m:sSub"   ? "msub"
                       : name == "m:sSup" ? "msup"
                                          : "msubsup",
                       std::move(parts));
    }

    MathElement Radical(pugi::xml_node radical, int depth) {
        std::vector<MathElement> degree = Items(radical.child("m:deg"), depth);
        if (MathToggle(radical.child("m:radPr").child("m:degHide")) || degree.empty())
            return Holding("msqrt", Items(radical.child("m:e"), depth));
        return Holding("mroot", {Argument(radical.child("m:e"), depth), AsOne(std::move(degree))});
    }

    // An n-ary operator: its character with its limits under and over it or as its scripts,
    // then what it applies to.
    void Nary(pugi::xml_node nary, int depth, std::vector<MathElement>& out) {
        const pugi::xml_node properties = nary.child("m:naryPr");
        std::string symbol = MathCharacter(properties, "m:chr", "\u222B");
        if (symbol.empty()) symbol = "\u222B";
        const bool integral = symbol.rfind("\u222B", 0) == 0 || symbol == "\u222C" ||
                              symbol == "\u222D" || symbol == "\u222E";
        const std::string place =
            MathValue(properties.child("m:limLoc"), integral ? "subSup" : "undOvr");
        std::vector<MathElement> lower, upper;
        if (!MathToggle(properties.child("m:subHide"))) lower = Items(nary.child("m:sub"), depth);
        if (!MathToggle(properties.child("m:supHide"))) upper = Items(nary.child("m:sup"), depth);
        MathElement op = Operator(symbol);
        const bool under = place == "undOvr";
        if (lower.empty() && upper.empty())
            out.push_back(std::move(op));
        else if (upper.empty())
            out.push_back(
                Holding(under ? "munder" : "msub", {std::move(op), AsOne(std::move(lower))}));
        else if (lower.empty())
            out.push_back(
                Holding(under ? "mover" : "msup", {std::move(op), AsOne(std::move(upper))}));
        else
            out.push_back(
                Holding(under ? "munderover" : "msubsup",
                        {std::move(op), AsOne(std::move(lower)), AsOne(std::move(upper))}));
        out.push_back(Argument(nary.child("m:e"), depth));
    }

    // Brackets around the arguments, with the separator between them; a character that is
    // set empty is left out.
    MathElement Delimiter(pugi::xml_node delimiter, int depth) {
        const pugi::xml_node properties = delimiter.child("m:dPr");
        const std::string opening = MathCharacter(properties, "m:begChr", "(");
        const std::string closing = MathCharacter(properties, "m:endChr", ")");
        const std::string separator = MathCharacter(properties, "m:sepChr", "|");
        std::vector<MathElement> row;
        const auto fence = [&](const std::string& text, const char* form) {
            if (text.empty()) return;
            row.push_back(Operator(text));
            row.back().Set("fence", "true").Set("form", form).Set("stretchy", "true");
        };
        fence(opening, "prefix");
        bool first = true;
        for (const pugi::xml_node argument : delimiter.children("m:e")) {
            if (!first && !separator.empty()) {
                row.push_back(Operator(separator));
                row.back().Set("separator", "true");
            }
            first = false;
            row.push_back(Argument(argument, depth));
        }
        fence(closing, "postfix");
        return Holding("mrow", std::move(row));
    }

    // An accent's character as MathML draws it over its base: the spacing form of a combining
    // mark.
    static std::string Accent(const std::string& mark) {
        std::size_t at = 0;
        if (mark.empty()) return "\u02C6";
        const char32_t c = NextCodePoint(mark, at);
        const char32_t spacing = at == mark.size() ? SpacingAccent(c) : 0;
        if (spacing == 0) return mark;
        std::string text;
        AppendCodePoint(text, spacing);
        return text;
    }

    static MathElement Over(MathElement base, MathElement over, bool accent) {
        MathElement element = Holding("mover", {std::move(base), std::move(over)});
        if (accent) element.Set("accent", "true");
        return element;
    }

    static MathElement Under(MathElement base, MathElement under, bool accent) {
        MathElement element = Holding("munder", {std::move(base), std::move(under)});
        if (accent) element.Set("accentunder", "true");
        return element;
    }

    MathElement BorderBox(pugi::xml_node box, int depth) {
        const pugi::xml_node properties = box.child("m:borderBoxPr");
        std::string notation;
        const auto add = [&](std::string_view word) {
            notation += (notation.empty() ? "" : " ") + std::string(word);
        };
        const char* sides[][2] = {{"m:hideTop", "top"},
                                  {"m:hideBot", "bottom"},
                                  {"m:hideLeft", "left"},
                                  {"m:hideRight", "right"}};
        bool hidden = false;
        for (const auto& side : sides) hidden = hidden || MathToggle(properties.child(side[0]));
        if (!hidden) add("box");
        for (const auto& side : sides)
            if (hidden && !MathToggle(properties.child(side[0]))) add(side[1]);
        const char* strikes[][2] = {{"m:strikeH", "horizontalstrike"},
                                    {"m:strikeV", "verticalstrike"},
                                    {"m:strikeBLTR", "updiagonalstrike"},
                                    {"m:strikeTLBR", "downdiagonalstrike"}};
        for (const auto& strike : strikes)
            if (MathToggle(properties.child(strike[0]))) add(strike[1]);
        MathElement element = Holding("menclose", Items(box.child("m:e"), depth));
        element.Set("notation", notation.empty() ? "box" : notation);
        return element;
    }

    // A cell of a table: its content, aligned as given unless centred.
    static MathElement Cell(std::vector<MathElement> content, std::string_view alignment) {
        MathElement cell = Holding("mtd", std::move(content));
        if (!alignment.empty() && alignment != "center")
            cell.Set("columnalign", std::string(alignment));
        return cell;
    }

    MathElement Matrix(pugi::xml_node matrix, int depth) {
        // The columns' alignments, given in groups of columns alike.
        std::vector<std::string> alignments;
        for (const pugi::xml_node column : matrix.child("m:mPr").child("m:mcs").children("m:mc")) {
            const pugi::xml_node properties = column.child("m:mcPr");
            const long count =
                std::clamp(NumberAttribute(properties.child("m:count"), "m:val", 1), 1L, 64L);
            std::string alignment = MathValue(properties.child("m:mcJc"), "center");
            if (alignment == "inside") alignment = "left";
            if (alignment == "outside") alignment = "right";
            alignments.insert(alignments.end(), static_cast<std::size_t>(count), alignment);
        }
        MathElement table("mtable");
        for (const pugi::xml_node row : matrix.children("m:mr")) {
            MathElement tableRow("mtr");
            std::size_t column = 0;
            for (const pugi::xml_node cell : row.children("m:e")) {
                tableRow.Children.push_back(
                    Cell(Items(cell, depth), column < alignments.size() ? alignments[column] : ""));
                ++column;
            }
            table.Children.push_back(std::move(tableRow));
        }
        return table;
    }

    // An equation array: one row per equation, cut into columns at its alignment marks ("&"),
    // which align the right sides of the even columns with the left sides of the odd ones.
    MathElement EquationArray(pugi::xml_node array, int depth) {
        std::vector<std::vector<std::vector<MathElement>>> rows;
        std::size_t columns = 1;
        for (const pugi::xml_node equation : array.children("m:e")) {
            std::vector<std::vector<MathElement>> cells(1);
            for (MathElement& item : Items(equation, depth)) {
                if (item.Name == "mo" && item.Text == "&")
                    cells.emplace_back();
                else
                    cells.back().push_back(std::move(item));
            }
            columns = std::max(columns, cells.size());
            rows.push_back(std::move(cells));
        }
        MathElement table("mtable");
        table.Set("displaystyle", "true");
        for (auto& cells : rows) {
            MathElement row("mtr");
            cells.resize(columns);
            for (std::size_t i = 0; i < columns; ++i)
                row.Children.push_back(Cell(std::move(cells[i]), columns == 1 ? ""
                                                                 : i % 2 == 0 ? "right"
                                                                              : "left"));
            table.Children.push_back(std::move(row));
        }
        return table;
    }

    // A function: its name, the invisible function application, its argument.
    void Function(pugi::xml_node function, int depth, std::vector<MathElement>& out) {
        out.push_back(
            Holding("mrow", {Argument(function.child("m:fName"), depth), Operator("\u2061"),
                             Argument(function.child("m:e"), depth)}));
    }

    // True for a run of a function's name ("sin", the "lim" of a limit), whose letters stand
    // upright unless the run says otherwise.
    static bool InFunctionName(pugi::xml_node run) {
        pugi::xml_node parent = run.parent();
        while (IsElement(parent, "m:e") &&
               (IsElement(parent.parent(), "m:limLow") || IsElement(parent.parent(), "m:limUpp")))
            parent = parent.parent().parent();
        return IsElement(parent, "m:fName");
    }

    std::size_t& m_notUnderstood;
};

}  // namespace

MathElement OfficeMathToMathMl(pugi::xml_node oMath, bool display, std::size_t& notUnderstood) {
    MathElement math("math");
    if (display) math.Set("display", "block");
    math.Children = OfficeMathConverter(notUnderstood).Items(oMath, 0);
    math.Set("alttext", LinearMath(math));
    return math;
}

bool StandsAlone(pugi::xml_node oMath) {
    pugi::xml_node paragraph = oMath.parent();
    while (paragraph && !IsElement(paragraph, "w:p")) paragraph = paragraph.parent();
    if (!paragraph) return false;
    std::size_t equations = 0;
    std::vector<pugi::xml_node> pending = {paragraph};
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        const std::string_view name = node.name();
        if (name == "m:oMath" || name == "m:oMathPara") {
            ++equations;
            continue;
        }
        if (name == "w:t") {
            if (std::string_view(node.child_value()).find_first_not_of(" \t\u00A0") !=
                std::string_view::npos)
                return false;
        } else if (name == "w:drawing" || name == "w:pict" || name == "w:object" ||
                   name == "w:sym" || name == "w:tab" || name == "w:footnoteReference" ||
                   name == "w:endnoteReference") {
            return false;
        }
        if (name == "w:del" || name == "w:moveFrom" || name == "w:instrText") continue;
        for (const pugi::xml_node child : node.children())
            if (child.type() == pugi::node_element) pending.push_back(child);
    }
    return equations == 1;
}

}  // namespace quirebook
