#include "text/Encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>

#include "text/PlainText.h"

namespace quirebook {

namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(handle); }
};

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Decodes the code point starting at `at`; returns its length in bytes, or 0 when the bytes
// there are not well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF
// included).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, at, codePoint);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

bool HasNonAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

std::string FileNameToUtf8(std::string_view path) {
    std::string result;
    result.reserve(path.size() + path.size() / 2);
    for (std::size_t from = 0; from <= path.size();) {
        const std::size_t slash = std::min(path.find('/', from), path.size());
        const std::string_view name = path.substr(from, slash - from);
        if (IsValidUtf8(name)) {
            result += name;
        } else {
            result += PlainReplace(ConvertToUtf8(name, "WINDOWS-1252"), kReplacementCharacter, "_");
        }
        if (slash < path.size()) result += '/';
        from = slash + 1;
    }
    return result;
}

std::string ByteOrderMarkEncoding(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) return "UTF-8";
    if (text.starts_with("\xFF\xFE")) return "UTF-16LE";
    if (text.starts_with("\xFE\xFF")) return "UTF-16BE";
    return {};
}

std::string ConvertToUtf8(std::string_view text, const std::string& charset) {
    const std::string mark = ByteOrderMarkEncoding(text);
    if (mark == charset) text.remove_prefix(mark == "UTF-8" ? 3 : 2);
    const iconv_t opened = iconv_open("UTF-8", charset.c_str());
    if (opened == reinterpret_cast<iconv_t>(-1))
        throw std::invalid_argument("Unknown character set \"" + charset + "\"");
    const std::unique_ptr<void, IconvCloser> handle(opened);

    std::string result;
    result.resize(text.size() * 2 + 16);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char* out = result.data() + written;
        std::size_t outLeft = result.size() - written;
        const std::size_t done = iconv(handle.get(), &in, &inLeft, &out, &outLeft);
        written = result.size() - outLeft;
        if (done != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            result.resize(result.size() * 2);
        } else {
            // An invalid or cut-short sequence: one replacement character for its first byte.
            if (result.size() - written < kReplacementCharacter.size())
                result.resize(result.size() * 2);
            result.replace(written, kReplacementCharacter.size(), kReplacementCharacter);
            written += kReplacementCharacter.size();
            ++in;
            --inLeft;
            iconv(handle.get(), nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        }
    }
    result.resize(written);
    return result;
}

std::u16string Utf8ToWide(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(text, at, codePoint);
        if (length == 0) {
            wide += u'\uFFFD';
            ++at;
            continue;
        }
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            wide += static_cast<char16_t>(0xD800 + (codePoint >> 10));
            wide += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
        } else {
            wide += static_cast<char16_t>(codePoint);
        }
        at += length;
    }
    return wide;
}

}  // namespace quirebook
