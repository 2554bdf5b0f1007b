#include "word/docx/WordHtmlText.h"

namespace quirebook {

namespace {

// Length of the well-formed UTF-8 sequence at the start of `text`, 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 0 || text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points above U+10FFFF.
    if (lead == 0xE0 && byte(1) < 0xA0) return 0;
    if (lead == 0xED && byte(1) > 0x9F) return 0;
    if (lead == 0xF0 && byte(1) < 0x90) return 0;
    if (lead == 0xF4 && byte(1) > 0x8F) return 0;
    return length;
}

// Appends `text` with `escape` deciding for each ASCII byte what to write (nullptr: the byte
// itself); non-ASCII sequences are copied when well-formed, "&nbsp;" for U+00A0 when
// `nbspEntity`.
template <typename Escape>
void AppendRepaired(std::string& out, std::string_view text, bool nbspEntity, Escape escape) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (const char* entity = escape(text, i))
                out += entity;
            else if (c >= 0x20 && c != 0x7F)
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else if (nbspEntity && length == 2 && c == 0xC2 && text[i + 1] == '\xA0') {
            out += "&nbsp;";
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
}

bool IsBareAttributeValue(std::string_view value) {
    if (value.empty()) return false;
    for (const char c : value) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '-') return false;
    }
    return true;
}

}  // namespace

void AppendText(std::string& out, std::string_view text) {
    AppendRepaired(out, text, true, [](std::string_view all, std::size_t i) -> const char* {
        switch (all[i]) {
            case '&':
                return "&amp;";
            case '<':
                return "&lt;";
            case '>':
                return "&gt;";
            case '"':
                return "&quot;";
            case '\t':
            case '\n':
            case '\r':
                return " ";
            case ' ':
                // In a run of spaces every space but the last is a no-break space, so that a
                // browser keeps them all.
                return i + 1 < all.size() && all[i + 1] == ' ' ? "&nbsp;" : " ";
            default:
                return nullptr;
        }
    });
}

void AppendAttributeValue(std::string& out, std::string_view value) {
    AppendRepaired(out, value, false, [](std::string_view all, std::size_t i) -> const char* {
        switch (all[i]) {
            case '&':
                return "&amp;";
            case '"':
                return "&quot;";
            case '<':
                return "&lt;";
            case '>':
                return "&gt;";
            case '\t':
            case '\n':
            case '\r':
                return " ";
            default:
                return nullptr;
        }
    });
}

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += '=';
    if (IsBareAttributeValue(value)) {
        out += value;
        return;
    }
    out += '"';
    AppendAttributeValue(out, value);
    out += '"';
}

}  // namespace quirebook
