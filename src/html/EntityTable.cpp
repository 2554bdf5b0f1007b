#include <array>
#include <string>

#include "html/XhtmlConversion.h"
#include "text/WSRegEx3.h"

namespace quirebook {

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

}  // namespace quirebook
