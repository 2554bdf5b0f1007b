#include "text/ReplacementExpansion.h"

#include <algorithm>

#include "text/Regex.h"

namespace quirebook {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsNameChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_';
}
char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ChangeCase(std::string text, char mode) {
    bool wordStart = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (mode) {
            case 'U':
                text[i] = Upper(c);
                break;
            case 'L':
                text[i] = Lower(c);
                break;
            case 'F':
                text[i] = i == 0 ? Upper(c) : Lower(c);
                break;
            case 'I':
                text[i] = wordStart ? Upper(c) : Lower(c);
                wordStart = !(IsLetter(c) || IsDigit(c));
                break;
        }
    }
    return text;
}

// Reads the group number that starts at `at`: one digit, or two when the two-digit number names
// a group of the current match. Advances `at` past the digits used.
int ReadGroupDigits(std::string_view text, std::size_t& at, int submatchCount) {
    int number = text[at++] - '0';
    if (at < text.size() && IsDigit(text[at])) {
        const int twoDigits = number * 10 + (text[at] - '0');
        if (twoDigits <= submatchCount) {
            number = twoDigits;
            ++at;
        }
    }
    return number;
}

// Reads a name or a number up to `closer`, starting at `at`; on success advances `at` past the
// closer and gives the group number (-1 for an unknown name). Gives -2 when the form is not
// well made, leaving `at` unchanged.
int ReadGroupInBrackets(std::string_view text, std::size_t& at, char closer, const Regex& regex) {
    const std::size_t end = text.find(closer, at);
    if (end == std::string_view::npos || end == at) return -2;
    const std::string_view inside = text.substr(at, end - at);
    bool allDigits = true;
    bool nameChars = true;
    for (char c : inside) {
        allDigits = allDigits && IsDigit(c);
        nameChars = nameChars && IsNameChar(c);
    }
    if (!nameChars) return -2;
    at = end + 1;
    if (!allDigits) return regex.GroupNumber(inside);
    int number = 0;
    for (char c : inside) number = std::min(number * 10 + (c - '0'), 1000);  // 1000: no group
    return number;
}

}  // namespace

std::string ExpandReplacement(std::string_view replacement, const Regex& regex) {
    const int submatchCount = regex.SubmatchCount();
    auto group = [&](int number) { return number < 0 ? std::string() : regex.Submatch(number); };

    std::string out;
    out.reserve(replacement.size() + 64);
    std::size_t i = 0;
    const std::size_t n = replacement.size();
    while (i + 1 < n) {
        const char c = replacement[i];
        const char next = replacement[i + 1];
        std::size_t at = i + 1;
        if (c == '$' && next == '$') {
            out += '$';
            i += 2;
            continue;
        }
        if (c == '\\' && (next == '\\' || next == '$')) {
            out += next;
            i += 2;
            continue;
        }
        if ((c == '$' || c == '\\') && IsDigit(next)) {
            out += group(ReadGroupDigits(replacement, at, submatchCount));
            i = at;
            continue;
        }
        if (c == '$' && next == '{') {
            ++at;
            const int number = ReadGroupInBrackets(replacement, at, '}', regex);
            if (number != -2) {
                out += group(number);
                i = at;
                continue;
            }
        }
        if (c == '\\' && next == 'g' && i + 2 < n && replacement[i + 2] == '<') {
            at = i + 3;
            const int number = ReadGroupInBrackets(replacement, at, '>', regex);
            if (number != -2) {
                out += group(number);
                i = at;
                continue;
            }
        }
        if (c == '\\' && (next == 'F' || next == 'I' || next == 'L' || next == 'U') && i + 2 < n &&
            IsDigit(replacement[i + 2])) {
            at = i + 2;
            out += ChangeCase(group(ReadGroupDigits(replacement, at, submatchCount)), next);
            i = at;
            continue;
        }
        out += c;
        ++i;
    }
    if (i < n) out += replacement[i];
    return out;
}

}  // namespace quirebook
