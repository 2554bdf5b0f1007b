#include "html/Charset.h"

#include <iconv.h>

#include <algorithm>
#include <stdexcept>

#include "text/Encoding.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

// The first group of the first match of `pattern` in the first 4 KB of the page (where
// declarations stand), or the empty text.
std::string FirstInHead(std::string_view text, const char* pattern) {
    Regex finder(preCaseLess | preSingleLine);
    finder.SetPattern(pattern);
    finder.SetSubject(std::string(text.substr(0, 4096)));
    return finder.MatchNext() ? finder.Submatch(1) : std::string();
}

// The iconv name for a declared charset.
std::string IconvName(const std::string& label) {
    if (label == "gb2312" || label == "gbk" || label == "x-gbk") return "GB18030";
    if (label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "ascii")
        return "WINDOWS-1252";  // what browsers read under these labels
    if (label == "x-mac-cyrillic") return "MAC-CYRILLIC";
    if (label == "unicode" || label == "utf-16" || label == "utf-16le") return "UTF-16LE";
    return label;
}

}  // namespace

std::string DetectCharset(std::string_view text) {
    const std::size_t at = PosFrom(text, "charset=", 1);
    if (at == 0) return "utf-8";
    std::size_t start = at + 8;                                   // 1-based position of the value
    if (start <= text.size() && text[start - 1] == '"') ++start;  // the short form's quote
    const std::size_t quote = PosFrom(text, "\"", start);
    return quote == 0 ? std::string() : std::string(text.substr(start - 1, quote - start));
}

std::string SetCharset(std::string_view text, std::string_view name) {
    const std::size_t at = PosFrom(text, "charset=", 1);
    if (at == 0) return std::string(text);
    const std::size_t equals = at + 7;  // 1-based position of "="
    std::size_t valueStart = equals + 1;
    if (valueStart <= text.size() && text[valueStart - 1] == '"') ++valueStart;
    const std::size_t quote = PosFrom(text, "\"", valueStart);
    if (quote == 0) return std::string(text);
    std::string result(text.substr(0, valueStart - 1));
    result += name;
    result += text.substr(quote - 1);
    return result;
}

std::string DeclaredCharset(std::string_view text) {
    std::string label = FirstInHead(text, "^\\s*<\\?xml[^>]*?encoding\\s*=\\s*[\"']([\\w.:-]+)");
    if (label.empty())
        label = FirstInHead(text, "<meta\\s[^>]*?charset\\s*=\\s*[\"']?\\s*([\\w.:-]+)");
    return AsciiLower(label);
}

std::string SourceCharset(std::string_view text) {
    const std::string mark = ByteOrderMarkEncoding(text);
    if (!mark.empty()) return mark;
    const bool validUtf8 = IsValidUtf8(text);
    if (validUtf8 && HasNonAscii(text)) return "UTF-8";
    const std::string charset = IconvName(DeclaredCharset(text));
    if (validUtf8) {
        // Plain ASCII reads the same in every charset a web page may declare, but for UTF-16
        // without a mark, whose bytes hold NULs.
        const bool utf16 = charset.starts_with("UTF-16") || charset.starts_with("utf-16");
        return utf16 && text.find('\0') != std::string_view::npos ? charset : std::string();
    }
    if (charset.empty() || charset == "utf-8" || charset == "utf8") return "WINDOWS-1252";
    return charset;
}

bool IsReadableCharset(const std::string& charset) {
    if (charset.empty()) return true;
    const iconv_t handle = iconv_open("UTF-8", charset.c_str());
    if (handle == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(handle);
    return true;
}

std::string PageToUtf8(std::string_view text) {
    const std::string charset = SourceCharset(text);
    if (charset.empty() || (charset == "UTF-8" && !text.starts_with("\xEF\xBB\xBF")))
        return std::string(text);
    try {
        return ConvertToUtf8(text, charset);
    } catch (const std::invalid_argument&) {
        return IsValidUtf8(text) ? std::string(text) : ConvertToUtf8(text, "WINDOWS-1252");
    }
}

}  // namespace quirebook
