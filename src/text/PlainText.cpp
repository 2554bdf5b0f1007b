#include "text/PlainText.h"

#include <algorithm>

namespace quirebook {

namespace {

constexpr std::size_t npos = std::string_view::npos;

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsAt(std::string_view text, std::size_t at, std::string_view find, bool ignoreCase) {
    if (!ignoreCase) return text.compare(at, find.size(), find) == 0;
    for (std::size_t k = 0; k < find.size(); ++k)
        if (FoldAscii(text[at + k]) != FoldAscii(find[k])) return false;
    return true;
}

// 0-based offset of the first occurrence at or after `from`, or npos.
std::size_t Find(std::string_view text, std::string_view find, std::size_t from, bool ignoreCase) {
    if (find.empty() || from > text.size() || find.size() > text.size() - from) return npos;
    if (!ignoreCase) return text.find(find, from);
    const char first = FoldAscii(find[0]);
    const char firstOther = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 32) : first;
    const std::size_t lastStart = text.size() - find.size();
    for (std::size_t at = from; at <= lastStart; ++at) {
        if ((text[at] == first || text[at] == firstOther) && EqualsAt(text, at, find, true))
            return at;
    }
    return npos;
}

// 0-based offset of the last occurrence beginning at or before `upTo`, or npos.
std::size_t FindLast(std::string_view text, std::string_view find, std::size_t upTo,
                     bool ignoreCase) {
    if (find.empty() || find.size() > text.size()) return npos;
    std::size_t at = std::min(upTo, text.size() - find.size());
    if (!ignoreCase) return text.rfind(find, at);
    for (;; --at) {
        if (EqualsAt(text, at, find, true)) return at;
        if (at == 0) return npos;
    }
}

}  // namespace

std::string PlainReplace(std::string_view text, std::string_view find, std::string_view replacement,
                         bool ignoreCase) {
    std::size_t at = Find(text, find, 0, ignoreCase);
    if (at == npos) return std::string(text);
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    std::size_t copiedUpTo = 0;
    while (at != npos) {
        result.append(text, copiedUpTo, at - copiedUpTo);
        result.append(replacement);
        copiedUpTo = at + find.size();
        at = Find(text, find, copiedUpTo, ignoreCase);
    }
    result.append(text, copiedUpTo);
    return result;
}

std::size_t PosFrom(std::string_view text, std::string_view find, std::size_t start,
                    bool ignoreCase) {
    const std::size_t at = Find(text, find, start == 0 ? 0 : start - 1, ignoreCase);
    return at == npos ? 0 : at + 1;
}

std::size_t PosBefore(std::string_view text, std::string_view find, std::size_t start,
                      bool ignoreCase, std::size_t limit) {
    if (limit <= 1) return 0;
    return PosFrom(text.substr(0, limit - 1), find, start, ignoreCase);
}

std::size_t LastPos(std::string_view text, std::string_view find, std::size_t from,
                    bool ignoreCase) {
    const std::size_t upTo = from == 0 ? npos : from - 1;
    const std::size_t at = FindLast(text, find, upTo, ignoreCase);
    return at == npos ? 0 : at + 1;
}

std::string LeftPart(std::string_view text, std::size_t n) {
    return std::string(text.substr(0, n));
}

std::string CopyFrom(std::string_view text, std::size_t position, std::size_t n) {
    if (position == 0) position = 1;
    if (position > text.size()) return {};
    return std::string(text.substr(position - 1, n == 0 ? npos : n));
}

std::string CopyToEnd(std::string_view text, std::size_t position) {
    return CopyFrom(text, position, 0);
}

void AppendRange(std::string& buffer, std::string_view source, std::size_t last,
                 std::size_t first) {
    if (first == 0) first = 1;
    last = std::min(last, source.size());
    if (last < first) return;
    buffer.append(source.substr(first - 1, last - first + 1));
}

std::string TextBetween(std::string_view text, std::string_view startMarker,
                        std::string_view endMarker, bool ignoreCase) {
    const std::size_t start = Find(text, startMarker, 0, ignoreCase);
    if (start == npos) return {};
    const std::size_t from = start + startMarker.size();
    const std::size_t end = Find(text, endMarker, from, ignoreCase);
    if (end == npos) return {};
    return std::string(text.substr(from, end - from));
}

std::string EscapeMarkup(std::string_view text) {
    std::string escaped = PlainReplace(text, "&", "&amp;");
    escaped = PlainReplace(escaped, "<", "&lt;");
    return PlainReplace(escaped, ">", "&gt;");
}

}  // namespace quirebook
