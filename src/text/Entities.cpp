#include "text/Entities.h"

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

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

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

// The character a reference's body (between "&" and ";") stands for; 0 when unknown.
char32_t ReferencedCharacter(std::string_view body) {
    if (body.size() > 1 && body[0] == '#') {
        const bool hex = body[1] == 'x' || body[1] == 'X';
        const std::string digits(body.substr(hex ? 2 : 1));
        if (digits.empty() || digits.size() > 7) return 0;
        char* end = nullptr;
        const unsigned long value = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (*end != '\0' || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return 0;
        return static_cast<char32_t>(value);
    }
    static const std::pair<std::string_view, char32_t> kXml[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [name, character] : kXml)
        if (body == name) return character;
    // The characters of windows-1252 codes 128 to 159 (0: no character).
    static constexpr char32_t kWindows1252Characters[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    // Names of the table: codes 160 to 255 are their own characters.
    for (int code = 128; code < 256; ++code) {
        const std::string_view entity = EntityTable(code);
        if (entity.size() == body.size() + 2 && entity.substr(1, body.size()) == body)
            return code >= 160 ? static_cast<char32_t>(code) : kWindows1252Characters[code - 128];
    }
    return 0;
}

}  // namespace

std::string DecodeEntities(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '&') {
            const std::size_t end = text.find(';', at + 1);
            if (end != std::string_view::npos && end - at <= 10) {
                const char32_t character = ReferencedCharacter(text.substr(at + 1, end - at - 1));
                if (character != 0) {
                    AppendUtf8(decoded, character);
                    at = end;
                    continue;
                }
            }
        }
        decoded += text[at];
    }
    return decoded;
}

}  // namespace quirebook
