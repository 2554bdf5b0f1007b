// Making style text valid for books: parsed as CSS Syntax Level 3 parses it, what a CSS parser
// drops is left out by its bytes.
#include "css/StyleSheetRepair.h"

#include <algorithm>
#include <set>
#include <utility>

#include "css/CssTokens.h"
#include "css/FontSizeValues.h"
#include "css/SelectorSyntax.h"
#include "css/StyleRules.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::size_t kShownLength = 80;  // of a rule or declaration named in the log

bool IsBlankOrComment(const CssToken& token) {
    return token.Type == CssTokenType::Whitespace || token.Type == CssTokenType::Comment;
}

bool OpensBlock(CssTokenType type) {
    return type == CssTokenType::OpenCurly || type == CssTokenType::OpenSquare ||
           type == CssTokenType::OpenParen || type == CssTokenType::Function;
}

// The token that closes a block its opener starts.
CssTokenType CloserOf(CssTokenType opener) {
    switch (opener) {
        case CssTokenType::OpenCurly:
            return CssTokenType::CloseCurly;
        case CssTokenType::OpenSquare:
            return CssTokenType::CloseSquare;
        default:
            return CssTokenType::CloseParen;
    }
}

// For each token that opens a block, the index of the token that closes it, or the number of
// tokens when the text ends first; a closer that closes no open block is an ordinary token.
std::vector<std::size_t> MatchBlocks(const std::vector<CssToken>& tokens,
                                     std::vector<std::size_t>* unclosed = nullptr) {
    std::vector<std::size_t> close(tokens.size(), tokens.size());
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (OpensBlock(tokens[i].Type)) {
            open.push_back(i);
        } else if (!open.empty() && tokens[i].Type == CloserOf(tokens[open.back()].Type)) {
            close[open.back()] = i;
            open.pop_back();
        }
    }
    if (unclosed != nullptr) *unclosed = std::move(open);
    return close;
}

// A piece of style text as the log shows it: comments gone, blanks single, at most
// kShownLength bytes.
std::string Shown(std::string_view css, const std::vector<CssToken>& tokens, std::size_t first,
                  std::size_t last) {
    std::string shown;
    bool blank = false;
    for (std::size_t i = first; i < last; ++i) {
        if (tokens[i].Type == CssTokenType::Comment) continue;
        if (tokens[i].Type == CssTokenType::Whitespace) {
            blank = !shown.empty();
            continue;
        }
        if (blank) shown += ' ';
        blank = false;
        shown.append(css.substr(tokens[i].Begin, tokens[i].End - tokens[i].Begin));
    }
    if (shown.size() > kShownLength) shown = shown.substr(0, kShownLength - 3) + "...";
    return shown;
}

struct RuleContext {
    std::vector<std::string> Conditions;  // the @media and @supports around, outermost first
    bool OnEveryScreen = true;
    bool Keyframes = false;  // inside @keyframes, whose rules are named by percentages
};

class Repairer {
  public:
    Repairer(std::string_view css, bool withoutDirection)
        : m_css(css),
          m_tokens(ReadCssTokens(css)),
          m_close(MatchBlocks(m_tokens)),
          m_withoutDirection(withoutDirection) {}

    RepairedStyle Sheet() {
        ReadRuleList(0, m_tokens.size(), RuleContext{}, true);
        return Finish();
    }

    RepairedStyle Attribute() {
        ReadDeclarations(0, m_tokens.size(), RuleContext{}, "", true);
        return Finish();
    }

  private:
    bool Is(std::size_t i, CssTokenType type) const {
        return i < m_tokens.size() && m_tokens[i].Type == type;
    }

    // Past the component value that starts at token `i`: a whole block for an opener.
    std::size_t Next(std::size_t i) const {
        return OpensBlock(m_tokens[i].Type) ? std::min(m_close[i], m_tokens.size() - 1) + 1 : i + 1;
    }

    // The first of tokens [from, to) that is of one of the types, stepping over blocks, or `to`.
    template <typename... Types>
    std::size_t FindAtLevel(std::size_t from, std::size_t to, Types... types) const {
        while (from < to && ((m_tokens[from].Type != types) && ...)) from = Next(from);
        return std::min(from, to);
    }

    std::size_t LineOf(std::size_t byte) {
        if (m_lineStarts.empty()) {
            m_lineStarts.push_back(0);
            for (std::size_t at = m_css.find('\n'); at != std::string_view::npos;
                 at = m_css.find('\n', at + 1))
                m_lineStarts.push_back(at + 1);
        }
        return static_cast<std::size_t>(
            std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), byte) -
            m_lineStarts.begin());
    }

    void Note(std::size_t token, std::string text) {
        m_result.Notes.push_back({LineOf(m_tokens[token].Begin), std::move(text)});
    }

    // Leaves out tokens [first, last), or writes `text` in their place.
    void Cut(std::size_t first, std::size_t last, std::string text = {}) {
        if (first < last)
            m_edits.push_back({m_tokens[first].Begin, m_tokens[last - 1].End, std::move(text)});
    }

    std::string Shown(std::size_t first, std::size_t last) const {
        return quirebook::Shown(m_css, m_tokens, first, last);
    }

    void ReadRuleList(std::size_t from, std::size_t to, const RuleContext& context, bool top) {
        for (std::size_t i = from; i < to;) {
            const CssTokenType type = m_tokens[i].Type;
            if (IsBlankOrComment(m_tokens[i]) ||
                (top && (type == CssTokenType::Cdo || type == CssTokenType::Cdc))) {
                ++i;
            } else if (type == CssTokenType::AtKeyword) {
                i = ReadAtRule(i, to, context);
            } else {
                i = ReadQualifiedRule(i, to, context);
            }
        }
    }

    std::size_t ReadQualifiedRule(std::size_t start, std::size_t to, const RuleContext& context) {
        const std::size_t open = FindAtLevel(start, to, CssTokenType::OpenCurly);
        if (open == to) {
            Cut(start, to);
            Note(start, "the text \"" + Shown(start, to) +
                            "\" is left out: no block follows it, so it is no rule");
            return to;
        }
        const std::size_t end = std::min(m_close[open] + 1, m_tokens.size());
        const std::string fault =
            context.Keyframes
                ? (IsKeyframeSelectorList(m_css, m_tokens, start, open) ? ""
                                                                        : "no keyframe selector")
                : SelectorListFault(m_css, m_tokens, start, open);
        const std::string selectors = Shown(start, open);
        if (!fault.empty()) {
            Cut(start, end);
            Note(start, "the rule \"" + selectors +
                            "\" is left out: its selector is not valid CSS (" + fault + ")");
            return end;
        }
        CutTouchingComments(start, open, selectors);
        ReadDeclarations(open + 1, std::min(m_close[open], to), context, selectors, false);
        return end;
    }

    // epubcheck takes a comment right after a selector's part ("p/**/.a", "p.a/**/,q") for a
    // part itself; CSS reads it as nothing, and so it goes. After a blank, a comma, a ":" or a
    // combinator it may stay.
    void CutTouchingComments(std::size_t first, std::size_t last, const std::string& selectors) {
        bool cut = false;
        for (std::size_t i = first + 1; i < last; ++i) {
            if (m_tokens[i].Type != CssTokenType::Comment) continue;
            std::size_t before = i - 1;
            while (before > first && m_tokens[before].Type == CssTokenType::Comment) --before;
            const CssToken& token = m_tokens[before];
            if (token.Type == CssTokenType::Whitespace || token.Type == CssTokenType::Comma ||
                token.Type == CssTokenType::Colon ||
                (token.Type == CssTokenType::Delim &&
                 std::string_view(">+~").find(m_css[token.Begin]) != std::string_view::npos))
                continue;
            Cut(i, i + 1);
            cut = true;
        }
        if (cut) Note(first, "a comment inside the selector \"" + selectors + "\" is left out");
    }

    std::size_t ReadAtRule(std::size_t start, std::size_t to, const RuleContext& context) {
        const std::string name = CssTokenName(m_css, m_tokens[start]);
        const std::size_t stop =
            FindAtLevel(start + 1, to, CssTokenType::Semicolon, CssTokenType::OpenCurly);
        const std::string shown = Shown(start, stop);
        if (stop == to) {
            Cut(start, to);
            Note(start, "the at-rule \"" + shown + "\" is left out: it ends before its \";\"");
            return to;
        }
        const bool statement = m_tokens[stop].Type == CssTokenType::Semicolon;
        const std::size_t end = statement ? stop + 1 : std::min(m_close[stop] + 1, m_tokens.size());
        std::string fault = ValueFault(start + 1, stop);
        if (fault.empty() && name == "import" && NamesNothing(start + 1, stop))
            fault = "it imports nothing";
        if (!fault.empty()) {
            Cut(start, end);
            Note(start, "the at-rule \"" + shown + "\" is left out: " + fault);
            return end;
        }
        if (statement) return end;
        RuleContext inner = context;
        if (name == "media" || name == "supports") {
            inner.Conditions.push_back("@" + name + " " + Shown(start + 1, stop));
            inner.OnEveryScreen = context.OnEveryScreen && AppliesOnEveryScreen(inner.Conditions);
        } else {
            inner.OnEveryScreen = false;
        }
        inner.Keyframes = name.size() >= 9 && name.compare(name.size() - 9, 9, "keyframes") == 0;
        const std::size_t blockEnd = std::min(m_close[stop], to);
        if (inner.Keyframes || HoldsRules(name, stop + 1, blockEnd)) {
            ReadRuleList(stop + 1, blockEnd, inner, false);
        } else {
            ReadDeclarations(stop + 1, blockEnd, inner, "", false);
        }
        return end;
    }

    // Whether the block of tokens [first, last) of the at-rule `name` holds rules: always for
    // the conditional group rules; for others when its first "{" comes before its first ";" or
    // "}", as epubcheck reads it (@page holds declarations, or rules for its margin boxes).
    bool HoldsRules(const std::string& name, std::size_t first, std::size_t last) const {
        static const std::set<std::string> kGroupRules = {
            "media", "supports", "document", "-moz-document", "layer", "container", "scope"};
        if (kGroupRules.count(name) != 0) return true;
        while (first < last && !Is(first, CssTokenType::OpenCurly) &&
               !Is(first, CssTokenType::Semicolon) && !Is(first, CssTokenType::CloseCurly))
            ++first;
        return first < last && Is(first, CssTokenType::OpenCurly);
    }

    // `strayAllowed`: a ";" that ends no declaration may stay (style attributes).
    void ReadDeclarations(std::size_t from, std::size_t to, const RuleContext& context,
                          const std::string& selectors, bool strayAllowed) {
        for (std::size_t i = from; i < to;) {
            const CssTokenType type = m_tokens[i].Type;
            if (IsBlankOrComment(m_tokens[i])) {
                ++i;
                continue;
            }
            if (type == CssTokenType::Semicolon) {
                if (!strayAllowed) {
                    Cut(i, i + 1);
                    Note(i, "an empty declaration (a \";\" alone) is left out");
                }
                ++i;
                continue;
            }
            if (type == CssTokenType::AtKeyword) {
                const std::size_t stop =
                    FindAtLevel(i + 1, to, CssTokenType::Semicolon, CssTokenType::OpenCurly);
                const std::size_t end = stop == to                          ? to
                                        : Is(stop, CssTokenType::Semicolon) ? stop + 1
                                                                            : Next(stop);
                Cut(i, std::min(end, to));
                Note(i, "the at-rule \"" + Shown(i, stop) +
                            "\" inside a declaration block is left out");
                i = std::min(end, to);
                continue;
            }
            const std::size_t stop = FindAtLevel(i, to, CssTokenType::Semicolon);
            const std::size_t end = stop == to ? to : stop + 1;
            if (type != CssTokenType::Ident) {
                Cut(i, end);
                Note(i, "the text \"" + Shown(i, stop) + "\" is left out: it is no declaration");
            } else {
                ReadDeclaration(i, stop, end, context, selectors);
            }
            i = end;
        }
    }

    // The declaration of tokens [first, stop), its ";" (if any) before `end`.
    void ReadDeclaration(std::size_t first, std::size_t stop, std::size_t end,
                         const RuleContext& context, const std::string& selectors) {
        const std::string name = CssTokenName(m_css, m_tokens[first]);
        std::size_t colon = first + 1;
        while (colon < stop && IsBlankOrComment(m_tokens[colon])) ++colon;
        std::string fault;
        std::size_t valueEnd = stop;
        bool important = false;
        if (!Is(colon, CssTokenType::Colon) || colon >= stop) {
            fault = "no \":\" follows its name";
        } else {
            valueEnd = ImportantMark(colon + 1, stop);
            important = valueEnd != stop;
            std::size_t value = colon + 1;
            while (value < valueEnd && IsBlankOrComment(m_tokens[value])) ++value;
            fault = value == valueEnd ? "its value is empty" : ValueFault(colon + 1, stop);
        }
        if (!fault.empty()) {
            Cut(first, end);
            Note(first, "the declaration \"" + Shown(first, stop) + "\" is left out: " + fault);
            return;
        }
        if (name == "font-size" || name == "font") {
            if (!JudgeFontSize(name, first, colon + 1, valueEnd, end)) return;
        }
        if (!m_withoutDirection || (name != "direction" && name != "unicode-bidi")) return;
        Cut(first, end);
        ++m_result.DirectionDeclarations;
        if (name == "direction") {
            m_result.Directions.push_back({selectors, AsciiLower(Shown(colon + 1, valueEnd)),
                                           important, context.OnEveryScreen && !context.Keyframes});
        }
    }

    // epubcheck takes a font size (the value of font-size, or the first part of a font value
    // that is no keyword or weight) only as a length in the units it knows, a percentage, 0, a
    // function, or one of the keywords of CSS 2. An "unset" or "initial" font size is written as
    // the size it means ("inherit", "medium"); a declaration with another goes. Gives whether
    // the declaration stays.
    bool JudgeFontSize(const std::string& name, std::size_t first, std::size_t from, std::size_t to,
                       std::size_t end) {
        std::vector<std::size_t> parts;
        for (std::size_t i = from; i < to; i = Next(i))
            if (!IsBlankOrComment(m_tokens[i])) parts.push_back(i);
        std::size_t bad = to;
        if (name == "font-size") {
            for (const std::size_t part : parts)
                if (bad == to && !IsAcceptedFontSize(m_css, m_tokens[part], false)) bad = part;
        } else {
            for (const std::size_t part : parts) {
                const CssTokenType type = m_tokens[part].Type;
                if (type == CssTokenType::Ident || type == CssTokenType::Number ||
                    type == CssTokenType::Delim || type == CssTokenType::Comma)
                    continue;
                if (!IsAcceptedFontSize(m_css, m_tokens[part], true)) bad = part;
                break;
            }
        }
        if (bad == to) return true;
        const std::string shown = Shown(bad, Next(bad));
        const std::string keyword = CssTokenName(m_css, m_tokens[bad]);
        if (parts.size() == 1 && m_tokens[bad].Type == CssTokenType::Ident &&
            (keyword == "unset" || keyword == "initial")) {
            const std::string meant = keyword == "unset" ? "inherit" : "medium";
            Cut(bad, bad + 1, meant);
            Note(bad, "the font size \"" + shown + "\" is written \"" + meant +
                          "\", the size it means, which epubcheck takes");
            return true;
        }
        Cut(first, end);
        Note(first, "the declaration \"" + Shown(first, to) +
                        "\" is left out: epubcheck does not take \"" + shown +
                        "\" for a font size");
        return false;
    }

    // Where the "!important" that ends tokens [from, to) starts, or `to` without one.
    std::size_t ImportantMark(std::size_t from, std::size_t to) const {
        std::size_t last = to;
        while (last > from && IsBlankOrComment(m_tokens[last - 1])) --last;
        if (last == from || !Is(last - 1, CssTokenType::Ident) ||
            CssTokenName(m_css, m_tokens[last - 1]) != "important")
            return to;
        std::size_t bang = last - 1;
        while (bang > from && IsBlankOrComment(m_tokens[bang - 1])) --bang;
        if (bang == from || !Is(bang - 1, CssTokenType::Delim) ||
            m_css[m_tokens[bang - 1].Begin] != '!')
            return to;
        return bang - 1;
    }

    // What in tokens [from, to), at any depth, a value or an at-rule's prelude may not hold, as
    // a phrase; empty when nothing.
    std::string ValueFault(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i < to; ++i) {
            const CssToken& token = m_tokens[i];
            const std::string_view text = m_css.substr(token.Begin, token.End - token.Begin);
            switch (token.Type) {
                case CssTokenType::OpenCurly:
                case CssTokenType::CloseCurly:
                case CssTokenType::Semicolon:
                case CssTokenType::AtKeyword:
                case CssTokenType::Cdo:
                case CssTokenType::Cdc:
                    return "\"" + std::string(text) + "\" cannot stand in it";
                case CssTokenType::BadString:
                    return "a string in it is broken by a line end";
                case CssTokenType::String:
                    if (token.EscapedLineEnd) return "a string in it runs over a line end";
                    break;
                case CssTokenType::BadUrl:
                    return "a url() in it is broken";
                case CssTokenType::Url:
                    if (TrimBlanks(text.substr(4, text.size() - 4 - (token.Unclosed ? 0 : 1)))
                            .empty())
                        return "its url() is empty";
                    break;
                case CssTokenType::Function:
                    if (CssTokenName(m_css, token) == "url" && NamesNothing(i + 1, m_close[i]))
                        return "its url() is empty";
                    break;
                default:
                    break;
            }
        }
        return {};
    }

    // Whether tokens [from, to) hold no string but blanks: an empty reference.
    bool NamesNothing(std::size_t from, std::size_t to) const {
        to = std::min(to, m_tokens.size());
        for (std::size_t i = from; i < to; ++i) {
            const CssToken& token = m_tokens[i];
            if (IsBlankOrComment(token)) continue;
            if (token.Type != CssTokenType::String) return false;
            const std::size_t quotes = token.Unclosed ? 1 : 2;
            if (!TrimBlanks(m_css.substr(token.Begin + 1, token.End - token.Begin - quotes))
                     .empty())
                return false;
        }
        return true;
    }

    RepairedStyle Finish() {
        std::sort(m_edits.begin(), m_edits.end(),
                  [](const Edit& a, const Edit& b) { return a.Begin < b.Begin; });
        std::string& text = m_result.Text;
        std::size_t copied = 0;
        for (const Edit& edit : m_edits) {
            if (edit.Begin < copied) continue;  // inside a cut already made
            text.append(m_css, copied, edit.Begin - copied);
            text += edit.Text;
            copied = edit.End;
        }
        text.append(m_css, copied);
        CloseAtEnd(text);
        return std::move(m_result);
    }

    // What is open where the text ends, closed as CSS reads it: a comment, a string, a url(),
    // then the blocks from the innermost out.
    void CloseAtEnd(std::string& text) {
        const std::vector<CssToken> tokens = ReadCssTokens(text);
        std::vector<std::size_t> unclosed;
        MatchBlocks(tokens, &unclosed);
        std::string closers;
        if (!tokens.empty() && tokens.back().Unclosed) {
            const CssToken& last = tokens.back();
            closers = last.Type == CssTokenType::Comment ? "*/"
                      : last.Type == CssTokenType::Url   ? ")"
                                                         : std::string(1, text[last.Begin]);
        }
        for (auto open = unclosed.rbegin(); open != unclosed.rend(); ++open) {
            const CssTokenType closer = CloserOf(tokens[*open].Type);
            closers += closer == CssTokenType::CloseCurly    ? '}'
                       : closer == CssTokenType::CloseSquare ? ']'
                                                             : ')';
        }
        if (closers.empty()) return;
        m_result.Notes.push_back({LineOf(m_css.size()),
                                  "the text ends before what it opened is "
                                  "closed: \"" +
                                      closers + "\" is added at its end"});
        text += closers;
    }

    std::string_view m_css;
    std::vector<CssToken> m_tokens;
    std::vector<std::size_t> m_close;
    bool m_withoutDirection;
    struct Edit {
        std::size_t Begin = 0;
        std::size_t End = 0;
        std::string Text;  // written in place of the bytes [Begin, End)
    };
    std::vector<Edit> m_edits;
    std::vector<std::size_t> m_lineStarts;  // filled when a note needs it
    RepairedStyle m_result;
};

}  // namespace

RepairedStyle RepairStyleSheet(std::string_view css, bool withoutDirection) {
    return Repairer(css, withoutDirection).Sheet();
}

RepairedStyle RepairStyleAttribute(std::string_view declarations, bool withoutDirection) {
    return Repairer(declarations, withoutDirection).Attribute();
}

}  // namespace quirebook
