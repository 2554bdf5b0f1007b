#include "html/XhtmlConversion.h"

#include <algorithm>
#include <array>
#include <set>

#include "css/css4epub.h"
#include "css/manCSS.h"
#include "html/Charset.h"
#include "html/LimitedPass.h"
#include "html/ePubFilter.h"
#include "html/ufootnotes.h"
#include "text/TextFiles.h"

#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/WSRegEx3.h"

namespace quirebook {

std::string QuoteAttributeValues(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + text.size() / 16);
    bool inTag = false;
    char quote = 0;  // the character that opened the current quoted value
    bool inUnquotedValue = false;
    char previous = 0;
    for (const char c : text) {
        if (c == '<') {
            // A new tag: nothing of the text before it (an "=" in running text, a value left
            // open by a stray quote) carries into it.
            inTag = true;
            quote = 0;
            inUnquotedValue = false;
        } else if (inTag) {
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else {
                if (previous == '=') {
                    quoted += '"';
                    inUnquotedValue = true;
                }
                if (inUnquotedValue && (c == ' ' || c == '/' || c == '>')) {
                    quoted += '"';
                    inUnquotedValue = false;
                }
            }
        }
        quoted += c;
        if (c == '>') {
            inTag = false;
            quote = 0;
        }
        previous = c;
    }
    return quoted;
}

namespace {

bool IsVoidElementName(std::string_view name) {
    static constexpr std::array<std::string_view, 8> kVoidElements{"img",  "input", "br",  "hr",
                                                                   "meta", "link",  "col", "base"};
    for (std::string_view element : kVoidElements)
        if (name == element) return true;
    return false;
}

}  // namespace

std::string CloseVoidElements(std::string_view text, std::size_t* unterminatedTagAt) {
    if (unterminatedTagAt != nullptr) *unterminatedTagAt = 0;
    std::string closed;
    closed.reserve(text.size() + text.size() / 32);
    std::size_t copiedUpTo = 0;  // 0-based
    for (std::size_t open = text.find('<'); open != std::string_view::npos;) {
        const std::size_t close = text.find('>', open + 1);
        if (close == std::string_view::npos) {
            if (unterminatedTagAt != nullptr) *unterminatedTagAt = open + 1;
            break;
        }
        const std::string_view tag = text.substr(open + 1, close - open - 1);
        const std::string_view name = tag.substr(0, tag.find(' '));
        if (IsVoidElementName(name) && text[close - 1] != '/') {
            closed.append(text, copiedUpTo, close - copiedUpTo);
            closed += '/';
            copiedUpTo = close;
        }
        open = text.find('<', close + 1);
    }
    closed.append(text, copiedUpTo);
    return closed;
}

std::string WriteXhtmlHeader(std::string_view text, std::string_view language) {
    std::string header =
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\"\r\n"
        " \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\"";
    if (!language.empty() && language != "en")
        header += " xml:lang=\"" + std::string(language) + "\"";
    header += ">\r\n\r\n";
    // The head start tag, with or without attributes; everything before it (an old document
    // type, the old html start tag) goes.
    TWSRegEx head(preCaseLess);
    head.SetPattern("<head[\\s>]");
    head.SetSubject(std::string(text));
    if (head.MatchNext()) return header + std::string(text.substr(head.MatchStart() - 1));
    // No head at all: the old html start tag goes too, and an empty head takes its place.
    head.SetPattern("^(?:\\s|<\\?[^>]*>|<!(?:--.*?--|[^>])*>)*(?:<html[^>]*>)?");
    head.SetSubject(std::string(text));
    const std::size_t skip = head.MatchNext() ? head.MatchEnd() - 1 : 0;
    return header + "<head></head>\r\n" + std::string(text.substr(skip));
}

std::string UnwrapImageSpans(std::string_view text) {
    return ReplacePattern(std::string(text), "<span[^>]+>(<img[^>]+>)</span>", "$1");
}

std::string UnwrapPlainSpans(std::string_view input) {
    const std::string text = ReplacePattern(std::string(input), "<span>([^<]+?)</span>", "$1");
    // Each remaining "<span>" and its closing tag, found by counting the spans nested in it, are
    // marked for removal; positions are those of `text`, and closing tags already marked belong
    // to an enclosing span and are passed over.
    std::set<std::size_t> removedOpenings;
    std::set<std::size_t> removedClosings;
    const auto nextClosing = [&](std::size_t from) {
        std::size_t at = text.find("</span>", from);
        while (at != std::string::npos && removedClosings.count(at) != 0)
            at = text.find("</span>", at + 1);
        return at;
    };
    for (std::size_t open = text.find("<span>"); open != std::string::npos;
         open = text.find("<span>", open + 6)) {
        removedOpenings.insert(open);
        std::size_t closing = nextClosing(open + 6);
        std::size_t nested = text.find("<span", open + 6);
        while (closing != std::string::npos && nested != std::string::npos && nested < closing) {
            closing = nextClosing(closing + 6);
            nested = text.find("<span", nested + 5);
        }
        if (closing != std::string::npos) removedClosings.insert(closing);
    }
    if (removedOpenings.empty()) return text;
    std::string result;
    result.reserve(text.size());
    auto openings = removedOpenings.begin();
    auto closings = removedClosings.begin();
    std::size_t copiedUpTo = 0;
    while (openings != removedOpenings.end() || closings != removedClosings.end()) {
        const bool takeOpening = closings == removedClosings.end() ||
                                 (openings != removedOpenings.end() && *openings < *closings);
        const std::size_t at = takeOpening ? *openings++ : *closings++;
        result.append(text, copiedUpTo, at - copiedUpTo);
        copiedUpTo = at + (takeOpening ? 6 : 7);
    }
    result.append(text, copiedUpTo);
    return result;
}

std::string_view EntityTable(int code) {
    // Windows-1252 codes 128 to 159. Zcaron and zcaron are written as numeric references:
    // XHTML defines no entity of those names.
    static constexpr std::array<std::string_view, 32> kWindows1252{
        "&euro;",   "",        "&sbquo;",  "&fnof;",   "&bdquo;",  "&hellip;", "&dagger;",
        "&Dagger;", "",        "&permil;", "&Scaron;", "&lsaquo;", "&OElig;",  "&#x17D;",
        "&#x17D;",  "",        "",         "&lsquo;",  "&rsquo;",  "&ldquo;",  "&rdquo;",
        "&bull;",   "&ndash;", "&mdash;",  "&tilde;",  "&trade;",  "&scaron;", "&rsaquo;",
        "&oelig;",  "",        "&#x17E;",  "&Yuml;"};
    // ISO 8859-1 codes 160 to 255.
    static constexpr std::array<std::string_view, 96> kLatin1{
        "&nbsp;",   "&iexcl;",  "&cent;",   "&pound;",  "&curren;", "&yen;",    "&brvbar;",
        "&sect;",   "&uml;",    "&copy;",   "&ordf;",   "&laquo;",  "&not;",    "&shy;",
        "&reg;",    "&macr;",   "&deg;",    "&plusmn;", "&sup2;",   "&sup3;",   "&acute;",
        "&micro;",  "&para;",   "&middot;", "&cedil;",  "&sup1;",   "&ordm;",   "&raquo;",
        "&frac14;", "&frac12;", "&frac34;", "&iquest;", "&Agrave;", "&Aacute;", "&Acirc;",
        "&Atilde;", "&Auml;",   "&Aring;",  "&AElig;",  "&Ccedil;", "&Egrave;", "&Eacute;",
        "&Ecirc;",  "&Euml;",   "&Igrave;", "&Iacute;", "&Icirc;",  "&Iuml;",   "&ETH;",
        "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",  "&Otilde;", "&Ouml;",   "&times;",
        "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;",  "&Uuml;",   "&Yacute;", "&THORN;",
        "&szlig;",  "&agrave;", "&aacute;", "&acirc;",  "&atilde;", "&auml;",   "&aring;",
        "&aelig;",  "&ccedil;", "&egrave;", "&eacute;", "&ecirc;",  "&euml;",   "&igrave;",
        "&iacute;", "&icirc;",  "&iuml;",   "&eth;",    "&ntilde;", "&ograve;", "&oacute;",
        "&ocirc;",  "&otilde;", "&ouml;",   "&divide;", "&oslash;", "&ugrave;", "&uacute;",
        "&ucirc;",  "&uuml;",   "&yacute;", "&thorn;",  "&yuml;"};
    if (code >= 128 && code < 160) return kWindows1252[code - 128];
    if (code >= 160 && code < 256) return kLatin1[code - 160];
    return {};
}

std::string NamedEntitiesFromNumeric(std::string_view text) {
    TWSRegEx references(preCaseLess | preSingleLine);
    references.SetPattern("\\&\\#1\\d\\d\\;");
    references.SetSubject(std::string(text));
    std::string result;
    std::size_t copiedUpTo = 0;  // 0-based
    while (references.MatchNext()) {
        const int code = std::stoi(references.MatchedText().substr(2, 3));
        if (code < 128) continue;
        const std::size_t start = references.MatchStart() - 1;
        result.append(text, copiedUpTo, start - copiedUpTo);
        result += EntityTable(code);
        copiedUpTo = references.MatchEnd() - 1;
    }
    if (copiedUpTo == 0) return std::string(text);
    result.append(text, copiedUpTo);
    return result;
}

namespace {

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

// The body steps, on the text from "<body" up to "</body".
std::string ConvertBody(BookProject& project, const std::string& chapter, std::string body) {
    const auto pass = [&](std::string_view name, const auto& step) {
        RunLimitedPass(project, chapter, name, body, step);
    };
    pass("UnwrapImageSpans", [](const std::string& t) { return UnwrapImageSpans(t); });
    pass("section classes", [](const std::string& t) {
        return ReplacePattern(t, " class=\"(Word)?Section[^\"]+\"", "");
    });
    pass("VML shapes",
         [](const std::string& t) { return ReplacePattern(t, "\\sv:shapes?=\"[^\"]+\"", ""); });
    pass("image sources",
         [](const std::string& t) { return ReplacePattern(t, "src=\"\\.[\\\\/]", "src=\""); });
    pass("UnwrapPlainSpans", [](const std::string& t) { return UnwrapPlainSpans(t); });
    if (project.Options.ForceIBooksFont)
        pass("SpansToSamples", [](const std::string& t) { return SpansToSamples(t); });
    pass("WrapFootnoteReferences", [](const std::string& t) { return WrapFootnoteReferences(t); });
    return body;
}

// Splits the page around its body and converts the body. A page without "<body" has its body
// after the head; one without "</body" has it up to "</html" or the end.
std::string ConvertBodyOf(BookProject& project, const std::string& chapter,
                          const std::string& text) {
    std::size_t from = text.find("<body");
    if (from == std::string::npos) {
        const std::size_t headEnd = text.find("</head>");
        from = headEnd == std::string::npos ? 0 : headEnd + 7;
    }
    std::size_t to = text.find("</body", from);
    if (to == std::string::npos) to = text.find("</html", from);
    if (to == std::string::npos) to = text.size();
    return text.substr(0, from) + ConvertBody(project, chapter, text.substr(from, to - from)) +
           text.substr(to);
}

void FinishChapter(BookProject& project, std::size_t index, UserInterface& ui) {
    const std::string& chapter = project.ChapterFiles[index];
    const std::string path = project.OpsFolder + chapter;
    std::string text = LoadTextFile(path);
    const std::string declared = LowerCase(DetectCharset(text));
    const auto pass = [&](std::string_view name, const auto& step) {
        RunLimitedPass(project, chapter, name, text, step);
    };
    // The page is read into UTF-8 first, so that every later step, and the title inserted into
    // it, sees one encoding.
    pass("the character set", [](const std::string& t) { return PageToUtf8(t); });
    pass("QuoteAttributeValues", [](const std::string& t) { return QuoteAttributeValues(t); });
    pass("ChangeMarkupCase", [](const std::string& t) { return ChangeMarkupCase(true, t); });
    std::size_t unterminatedTag = 0;
    pass("CloseVoidElements",
         [&](const std::string& t) { return CloseVoidElements(t, &unterminatedTag); });
    if (unterminatedTag != 0) {
        const std::string message =
            "Error in source HTML: unterminated tag from " + std::to_string(unterminatedTag);
        project.AddLog(chapter + ": " + message);
        ui.ShowMessage(message);
    }
    pass("WriteXhtmlHeader",
         [&](const std::string& t) { return WriteXhtmlHeader(t, project.BookMetadata.Language); });
    pass("FilterChapter", [&](const std::string& t) { return FilterChapter(t, project.Options); });
    const std::string title =
        index < project.ChapterTitles.size() ? project.ChapterTitles[index] : std::string();
    pass("InsertChapterTitle", [&](const std::string& t) { return InsertChapterTitle(t, title); });
    text = PlainReplace(text, "<p> </p>", "<br />");
    text = ConvertBodyOf(project, chapter, text);
    if (declared == "windows-1252" || declared == "iso-8859-1")
        pass("NamedEntitiesFromNumeric",
             [](const std::string& t) { return NamedEntitiesFromNumeric(t); });
    text = SetCharset(text, "utf-8");
    LinkReplacementStyleSheet(text, project);
    SaveTextFile(path, text);
}

}  // namespace

void FinishChapters(BookProject& project, UserInterface& ui) {
    const std::size_t count = project.ChapterFiles.size();
    for (std::size_t i = 0; i < count; ++i) {
        ui.ShowProgress("Converting chapter " + std::to_string(i + 1) + " of " +
                            std::to_string(count) + ": " + project.ChapterFiles[i],
                        static_cast<int>((i + 1) * 100 / count));
        FinishChapter(project, i, ui);
    }
}

}  // namespace quirebook
