#include "word/docx/EscapedStrings.h"

#include <optional>

#include "text/Entities.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

constexpr std::size_t kEscapeLength = 7;  // "_x000d_"

// The code an escape at `at` stands for; nothing when no escape stands there.
std::optional<char32_t> EscapeAt(std::string_view text, std::size_t at) {
    if (text.size() - at < kEscapeLength || text[at] != '_' || text[at + 1] != 'x' ||
        text[at + 6] != '_')
        return std::nullopt;
    char32_t code = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return std::nullopt;
        code = code * 16 + static_cast<char32_t>(digit);
    }
    return code;
}

bool IsHighSurrogate(char32_t code) {
    return code >= 0xD800 && code <= 0xDBFF;
}

bool IsLowSurrogate(char32_t code) {
    return code >= 0xDC00 && code <= 0xDFFF;
}

}  // namespace

std::string UnescapedString(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::optional<char32_t> code = EscapeAt(text, at);
        if (!code) {
            decoded += text[at++];
            continue;
        }
        at += kEscapeLength;
        if (IsHighSurrogate(*code)) {
            const std::optional<char32_t> low = EscapeAt(text, at);
            if (!low || !IsLowSurrogate(*low)) continue;  // half a character is none
            code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
            at += kEscapeLength;
        }
        const bool control = *code < 0x20 && *code != '\t' && *code != '\n' && *code != '\r';
        if (control || IsLowSurrogate(*code) || *code == 0xFFFE || *code == 0xFFFF) continue;
        AppendUtf8(decoded, *code);
    }
    // Word keeps a line break as a carriage return, written escaped, often before a line feed.
    std::string lines;
    lines.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] != '\r') {
            lines += decoded[i];
        } else if (i + 1 >= decoded.size() || decoded[i + 1] != '\n') {
            lines += '\n';
        }
    }
    return lines;
}

std::string OnOneLine(std::string_view text) {
    const std::string_view trimmed = TrimBlanks(text);
    std::string line;
    line.reserve(trimmed.size());
    for (std::size_t at = 0; at < trimmed.size();) {
        const std::size_t blanks = trimmed.find_first_not_of(" \t\r\n", at);
        if (blanks == at) {
            line += trimmed[at++];
            continue;
        }
        // Blanks within a line stay as they are; a run holding a line break becomes one space.
        const std::string_view run = trimmed.substr(at, blanks - at);
        if (run.find_first_of("\r\n") == std::string_view::npos)
            line += run;
        else
            line += ' ';
        at = blanks;
    }
    return line;
}

}  // namespace quirebook
