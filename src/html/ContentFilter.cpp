#include "html/ContentFilter.h"

#include <span>

#include "css/StyleText.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// One step of a filter's rule list.
enum class RuleOp {
    Delete,         // DeletePattern
    Replace,        // ReplacePatternInPlace
    Plain,          // PlainReplace, exact and case-sensitive
    AltSelfClosed,  // AddMissingAlt, self-closed form
    AltOpen,        // AddMissingAlt, open form
    PageBreaks,     // ReplacePageBreaks
    Identifiers,    // MendIdentifiers
};

struct FilterRule {
    RuleOp Op;
    std::string_view Pattern = {};
    std::string_view Replacement = {};
};

// The chapter filter, rule by rule in order. Rules 3 and 4 once gave identifiers that start with
// a digit the prefix "a" and links to them the prefix "_", so such links missed their targets,
// and anchors written with "name" (made ids by rule 26) kept their leading digit; rule 24 turned
// the first space of an id into "_", so that "a b" and a second id "a_b" became one. All three
// are replaced by the Identifiers step after rule 26, which gives ids, names and link fragments
// one mapping, one-to-one within the chapter (ChapterIdentifiers).
constexpr FilterRule kChapterRules[] = {
    {RuleOp::Delete, "<b></b>"},  // 1
    {RuleOp::Delete, "<i></i>"},  // 2
    // 3 and 4: see RuleOp::Identifiers below.
    {RuleOp::Plain, R"re(dir="RTL")re", R"re(dir="rtl")re"},   // 5
    {RuleOp::Plain, R"re(dir="LTR")re", R"re(dir="ltr")re"},   // 6
    {RuleOp::Delete, R"re(\salign=["\w]+)re"},                 // 7
    {RuleOp::Delete, R"re(\sbgcolor=["\#\w]+)re"},             // 8
    {RuleOp::Delete, R"re(\s(h|v)space=["\w]+)re"},            // 9
    {RuleOp::Delete, R"re(\stype="\w+")re"},                   // 10
    {RuleOp::Delete, R"re(\sborder=["\w]+)re"},                // 11
    {RuleOp::Delete, R"re(\ssize=["\w]+)re"},                  // 12
    {RuleOp::Delete, R"re(\sclear=["\w]+)re"},                 // 13
    {RuleOp::Delete, R"re(\sstart=["\w]+)re"},                 // 14
    {RuleOp::Delete, R"re(\slink=["\#\w]+)re"},                // 15
    {RuleOp::Delete, R"re(\svlink=["\#\w]+)re"},               // 16
    {RuleOp::Delete, R"re(\sv:shapes?="[^"]+")re"},            // 17
    {RuleOp::Replace, R"re(src="\.[\\/])re", R"re(src=")re"},  // 18
    {RuleOp::Replace, R"re(<td height=["\w]+)re", "<td"},      // 19
    {RuleOp::Replace, R"re(<tr height=\d+)re", "<tr"},         // 20
    {RuleOp::Replace, R"re(<tr height="\d+%?")re", "<tr"},     // 21
    {RuleOp::Delete, "</?thead>"},                             // 22
    {RuleOp::Delete, "</?tbody>"},                             // 23
    // 24: see RuleOp::Identifiers below.
    {RuleOp::Replace, "<style[^>]*>", R"re(<style type="text/css">)re"},  // 25
    // 26: also after a line break or tab, where Word wraps its long tags; only inside a tag, so
    // that "Name=" in running text stays.
    {RuleOp::Replace, R"re((<[^<>]*?\s)name=)re", "$1id="},
    {RuleOp::Identifiers},            // mends 3 and 4
    {RuleOp::Delete, "</?center>"},   // 27
    {RuleOp::Delete, "<font[^>]*>"},  // 28
    {RuleOp::Delete, "</font>"},      // 29
    {RuleOp::AltSelfClosed},          // 30
    {RuleOp::PageBreaks},             // 31
};

// The Word filter, rule by rule in order.
constexpr FilterRule kWordRules[] = {
    {RuleOp::Plain, "<u>", R"re(<span class="u">)re"},     // 1
    {RuleOp::Plain, "</u>", "</span>"},                    // 2
    {RuleOp::Plain, "<s>", R"re(<span class="s">)re"},     // 3
    {RuleOp::Plain, "</s>", "</span>"},                    // 4
    {RuleOp::Delete, R"re(\salign=\w+)re"},                // 5
    {RuleOp::Delete, R"re(\sbgcolor=["\#\w]+)re"},         // 6
    {RuleOp::Delete, R"re(\s(h|v)space=["\w]+)re"},        // 7
    {RuleOp::Delete, R"re(\stype=\w+)re"},                 // 8
    {RuleOp::Delete, R"re(\sborder=\w+)re"},               // 9
    {RuleOp::Delete, R"re(\ssize=["\w]+)re"},              // 10
    {RuleOp::Delete, R"re(\sclear=\w+)re"},                // 11
    {RuleOp::Delete, R"re(\sstart=\w+)re"},                // 12
    {RuleOp::Delete, R"re(\slink=["\#\w]+)re"},            // 13
    {RuleOp::Delete, R"re(\svlink=["\#\w]+)re"},           // 14
    {RuleOp::Delete, R"re(\sv:shapes?="[^"]+")re"},        // 15
    {RuleOp::Replace, R"re(src="\./)re", R"re(src=")re"},  // 16
    {RuleOp::Delete, R"re( width=\w+)re"},                 // 17
    {RuleOp::Delete, R"re( width="[^"]+")re"},             // 18
    {RuleOp::Delete, R"re( height=\w+)re"},                // 19
    {RuleOp::Replace, R"re(<td height=\w+)re", "<td"},     // 20
    {RuleOp::Delete, "</?thead>"},                         // 21
    {RuleOp::Delete, "</?tbody>"},                         // 22
    // 23: the value is read as [^"] (as in chapter rule 24): with ".+?" a value without a space
    // let the match run on past its quote into the text and turn a space there into "_".
    {RuleOp::Replace, R"re((id="[^"]+?) ([^"]+?"))re", "$1_$2"},  // 23
    {RuleOp::Replace, R"re((<[^<>]*?\s)name=)re", "$1id="},       // 24, in tags only
    {RuleOp::AltOpen},                                            // 25
};

constexpr std::string_view kPageBreakPattern =
    R"re((?:<b>)?(?:<i>)?<span[^>]+>\s*<br(?: clear=all)? style='page-break-(?:after|before):\w+'>\s*</span>(?:</i>)?(?:</b>)?)re";

void RunRules(std::string& body, std::span<const FilterRule> rules, const OptionFlags& options,
              const BookIdentifiers& book) {
    for (const FilterRule& rule : rules) {
        switch (rule.Op) {
            case RuleOp::Delete:
                DeletePattern(body, rule.Pattern);
                break;
            case RuleOp::Replace:
                ReplacePatternInPlace(body, rule.Pattern, rule.Replacement);
                break;
            case RuleOp::Plain:
                body = PlainReplace(body, rule.Pattern, rule.Replacement);
                break;
            case RuleOp::AltSelfClosed:
                body = AddMissingAlt(body, ImageTagForm::SelfClosed);
                break;
            case RuleOp::AltOpen:
                body = AddMissingAlt(body, ImageTagForm::Open);
                break;
            case RuleOp::PageBreaks:
                body = ReplacePageBreaks(std::move(body), options);
                break;
            case RuleOp::Identifiers:
                body = MendIdentifiers(body, book);
                break;
        }
    }
}

// Overwrites the first occurrence of `tag` (found without regard to case) at or after `from`
// with its lower-case spelling.
void LowerFirstTag(std::string& text, std::string_view tag, std::size_t from) {
    const std::size_t at = PosFrom(text, tag, from, true);
    if (at != 0) text.replace(at - 1, tag.size(), tag);
}

// Cuts the page into the head piece and the body piece; false when the page has no body to
// filter (neither "<body" nor "</head>").
bool SplitPage(const std::string& text, std::string& head, std::string& body) {
    if (const std::size_t p = PosFrom(text, "<body", 1, true); p != 0) {
        head.assign(text, 0, p - 1);
        head += "<body>";
        // ExtractBodyText looks for the exact lower-case tags; give it the ones found here.
        std::string fromBody = "<body";
        fromBody.append(text, p - 1 + 5);
        LowerFirstTag(fromBody, "</body>", 1);
        if (PosFrom(fromBody, "</body>", 1) == 0) LowerFirstTag(fromBody, "</html>", 1);
        body = ExtractBodyText(fromBody);
        return true;
    }
    // A page that never opens its body (HTML allows that): what follows the head is the body.
    if (const std::size_t q = PosFrom(text, "</head>", 1, true); q != 0) {
        const std::size_t bodyStart = q - 1 + 7;
        head.assign(text, 0, bodyStart);
        head += "<body>";
        const std::size_t end = PosFrom(text, "</html>", bodyStart + 1, true);
        body.assign(text, bodyStart, end == 0 ? npos : end - 1 - bodyStart);
        return true;
    }
    return false;
}

std::string Filter(std::string text, std::span<const FilterRule> rules, const OptionFlags& options,
                   const BookIdentifiers& book = {}) {
    if (!options.PassEpubCheck) return text;
    std::string head;
    std::string body;
    if (!SplitPage(text, head, body)) return text;  // nothing to filter, nothing to lose
    RunRules(body, rules, options, book);
    head += body;
    head += "</body></html>";
    return head;
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

}  // namespace

namespace {

enum class AttributeKind { None, Id, Name, Href };

// The attribute that starts at `at` when it is id, name or href followed by "=" and a quote;
// `valueStart` becomes the offset after the quote.
AttributeKind AttributeAt(std::string_view text, std::size_t at, std::size_t& valueStart) {
    static constexpr struct {
        std::string_view Name;
        AttributeKind Kind;
    } kNames[] = {
        {"id=", AttributeKind::Id}, {"name=", AttributeKind::Name}, {"href=", AttributeKind::Href}};
    for (const auto& candidate : kNames) {
        const std::size_t quote = at + candidate.Name.size();
        if (quote >= text.size() || (text[quote] != '"' && text[quote] != '\'')) continue;
        if (PosFrom(text.substr(at, candidate.Name.size()), candidate.Name, 1, true) != 1) continue;
        valueStart = quote + 1;
        return candidate.Kind;
    }
    return AttributeKind::None;
}

}  // namespace

std::string FilterChapter(std::string text, const OptionFlags& options,
                          const BookIdentifiers& book) {
    return Filter(std::move(text), kChapterRules, options, book);
}

std::string FilterWordHtml(std::string text, const OptionFlags& options) {
    return Filter(std::move(text), kWordRules, options);
}

std::string ReplacePageBreaks(std::string text, const OptionFlags& options) {
    ReplacePatternInPlace(text, kPageBreakPattern,
                          options.AllowPageBreak ? R"re(<div class="pager"/>)re" : "");
    return text;
}

std::string InsertChapterTitle(std::string text, std::string_view title) {
    if (text.find("<title>") != npos) return text;
    const std::size_t headEnd = text.find("</head>");
    if (headEnd == npos) return text;
    std::string element = "<title>";
    element += title;
    element += "</title>";
    text.insert(headEnd, element);
    return text;
}

std::string AddMissingAlt(std::string_view text, ImageTagForm form) {
    constexpr std::string_view kAlt = " alt=\"\"";
    Regex& regex = SharedRegex();
    regex.SetPattern(form == ImageTagForm::SelfClosed ? "(<img[^>]+)/>" : "(<img[^>]+)>");
    regex.SetSubject(std::string(text));
    std::string result;
    std::size_t copied = 0;
    try {
        while (regex.MatchNext()) {
            const std::size_t start = regex.MatchStart() - 1;
            const std::size_t end = regex.MatchEnd() - 1;
            if (text.substr(start, end - start).find(" alt=") != npos) continue;
            std::size_t insertAt = end - (form == ImageTagForm::SelfClosed ? 2 : 1);
            // An open-form walk also meets "<img .../>": alt goes before the "/", not after it.
            if (form == ImageTagForm::Open && text[insertAt - 1] == '/') --insertAt;
            if (result.empty()) result.reserve(text.size() + text.size() / 64 + kAlt.size());
            result.append(text, copied, insertAt - copied);
            result += kAlt;
            copied = insertAt;
        }
    } catch (...) {
        regex.SetSubject({});
        throw;
    }
    regex.SetSubject({});
    if (copied == 0) return std::string(text);
    result.append(text, copied);
    return result;
}

namespace {

// Calls visit(kind, attributeStart, valueStart, valueEnd) for every quoted id, name and href
// attribute inside a tag, in the order of the text (offsets 0-based, the value without its
// quotes). Tags with an unclosed value are passed over.
template <typename Visit>
void ForEachIdentifierAttribute(std::string_view text, Visit&& visit) {
    std::size_t lt = text.find('<');
    while (lt != npos && lt + 1 < text.size()) {
        if (!IsAsciiLetter(text[lt + 1])) {
            lt = text.find('<', lt + 1);
            continue;
        }
        const std::size_t gt = text.find('>', lt);
        if (gt == npos) break;
        char quote = 0;
        std::size_t k = lt + 1;
        while (k < gt) {
            const char c = text[k];
            if (quote != 0) {
                if (c == quote) quote = 0;
                ++k;
                continue;
            }
            if (c == '"' || c == '\'') {
                quote = c;
                ++k;
                continue;
            }
            std::size_t valueStart = 0;
            const AttributeKind kind =
                IsBlank(c) ? AttributeAt(text, k + 1, valueStart) : AttributeKind::None;
            // The closing quote is looked for inside this tag only, so that a tag with an
            // unclosed value costs no more than its own length.
            const std::size_t valueEnd =
                kind == AttributeKind::None
                    ? npos
                    : text.substr(0, gt).find(text[valueStart - 1], valueStart);
            if (valueEnd == npos) {
                ++k;
                continue;
            }
            visit(kind, k, valueStart, valueEnd);
            k = valueEnd + 1;
        }
        lt = text.find('<', gt + 1);
    }
}

// The chapter file a link without a scheme points into: its path percent-decoded, without a
// leading "./"; empty for a link into its own chapter.
std::string LinkedFile(std::string_view path) {
    std::string file = PercentDecode(path);
    while (file.compare(0, 2, "./") == 0) file.erase(0, 2);
    return file;
}

}  // namespace

ChapterIdentifiers CollectIdentifiers(std::string_view text) {
    ChapterIdentifiers ids;
    ForEachIdentifierAttribute(
        text, [&](AttributeKind kind, std::size_t, std::size_t valueStart, std::size_t valueEnd) {
            if (kind == AttributeKind::Id || kind == AttributeKind::Name)
                ids.Add(text.substr(valueStart, valueEnd - valueStart));
        });
    ids.Assign();
    return ids;
}

std::string MendIdentifiers(std::string_view text, const BookIdentifiers& book) {
    const ChapterIdentifiers own = CollectIdentifiers(text);
    std::string result;
    result.reserve(text.size() + text.size() / 64);
    std::size_t copied = 0;  // the first byte not yet in `result`
    // Puts `mapped` in place of text[from, to) when it differs.
    auto replaceRange = [&](std::size_t from, std::size_t to, const std::string& mapped) {
        if (text.compare(from, to - from, mapped) == 0) return;
        result.append(text, copied, from - copied);
        result += mapped;
        copied = to;
    };
    std::size_t lastTag = npos;  // the tag whose id was seen last
    ForEachIdentifierAttribute(text, [&](AttributeKind kind, std::size_t attributeStart,
                                         std::size_t valueStart, std::size_t valueEnd) {
        const std::string_view value = text.substr(valueStart, valueEnd - valueStart);
        const std::size_t tag = text.rfind('<', attributeStart);
        if (kind == AttributeKind::Id && lastTag == tag) {
            // A second id in one tag (a name made id beside an id) is not well-formed XML.
            result.append(text, copied, attributeStart - copied);
            copied = valueEnd + 1;
        } else if (kind == AttributeKind::Href) {
            const std::size_t hash = value.find('#');
            if (hash == npos || value.substr(0, hash).find(':') != npos) return;
            const std::string_view fragment = value.substr(hash + 1);
            if (fragment.empty()) return;
            const std::string id = PercentDecode(fragment);
            const std::string file = LinkedFile(value.substr(0, hash));
            const auto chapter = book.find(file);
            replaceRange(valueStart + hash + 1, valueEnd,
                         file.empty()            ? own.NameOf(id)
                         : chapter != book.end() ? chapter->second.NameOf(id)
                                                 : XmlIdentifier(id));
        } else {
            if (kind == AttributeKind::Id) lastTag = tag;
            replaceRange(valueStart, valueEnd, own.NameOf(value));
        }
    });
    if (copied == 0) return std::string(text);
    result.append(text, copied);
    return result;
}

}  // namespace quirebook
