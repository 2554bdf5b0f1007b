#include "text/Regex.h"

#include <stdexcept>
#include <utility>

#include "text/ReplacementExpansion.h"

namespace quirebook {

namespace {

// Groups 0 to 99 are kept for every match.
constexpr std::uint32_t kStoredGroups = 100;

// Limits that keep a hostile text from hanging a pass. The match limit bounds the backtracking
// work of one search; the JIT stack and heap limits bound its memory. Real chapters stay far
// below them (see the tests on 50 MB inputs).
constexpr std::uint32_t kMatchLimit = 10'000'000;
constexpr std::uint32_t kDepthLimit = 10'000'000;
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMaximum = 16 * 1024 * 1024;

std::uint32_t CompileFlags(RegexOptions options) {
    std::uint32_t flags = 0;
    if (options & preCaseLess) flags |= PCRE2_CASELESS;
    if (options & preMultiLine) flags |= PCRE2_MULTILINE;
    if (options & preSingleLine) flags |= PCRE2_DOTALL;
    if (options & preExtended) flags |= PCRE2_EXTENDED;
    if (options & preAnchored) flags |= PCRE2_ANCHORED;
    if (options & preDollarEndOnly) flags |= PCRE2_DOLLAR_ENDONLY;
    // preExtra (an unknown escape is an error) is what PCRE2 always does: nothing to set.
    if (options & preUnGreedy) flags |= PCRE2_UNGREEDY;
    return flags;
}

bool IsLimitError(int code) {
    return code == PCRE2_ERROR_MATCHLIMIT || code == PCRE2_ERROR_DEPTHLIMIT ||
           code == PCRE2_ERROR_HEAPLIMIT || code == PCRE2_ERROR_JIT_STACKLIMIT;
}

std::string EngineMessage(int code) {
    PCRE2_UCHAR buffer[256];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0)
        return "error " + std::to_string(code);
    return reinterpret_cast<const char*>(buffer);
}

}  // namespace

Regex::Regex(RegexOptions options)
    : m_options(options),
      m_matchData(pcre2_match_data_create(kStoredGroups, nullptr)),
      m_matchContext(pcre2_match_context_create(nullptr)),
      m_jitStack(pcre2_jit_stack_create(kJitStackStart, kJitStackMaximum, nullptr)) {
    if (!m_matchData || !m_matchContext) throw std::bad_alloc();
    pcre2_set_match_limit(m_matchContext.get(), kMatchLimit);
    pcre2_set_depth_limit(m_matchContext.get(), kDepthLimit);
    pcre2_set_heap_limit(m_matchContext.get(), kHeapLimitKiB);
    if (m_jitStack) pcre2_jit_stack_assign(m_matchContext.get(), nullptr, m_jitStack.get());
}

Regex::~Regex() = default;

void Regex::SetOptions(RegexOptions options) {
    if (options == m_options) return;
    m_options = options;
    m_code.reset();
    ClearMatch();
}

void Regex::SetPattern(std::string_view pattern) {
    if (pattern == m_pattern) return;
    m_pattern = pattern;
    m_code.reset();
    ClearMatch();
}

void Regex::SetSubject(std::string subject) {
    m_subject = std::move(subject);
    m_searchOffset = 0;
    ClearMatch();
}

void Regex::Compile() {
    if (m_code) return;
    if (m_pattern.empty())
        throw RegexError("Regex.Compile() - Please specify a regular expression in RegEx first");
    m_code = CompilePattern(m_pattern, CompileFlags(m_options));
}

bool Regex::SearchFrom(std::size_t offset) {
    Compile();
    ClearMatch();
    if (offset > m_subject.size()) return false;
    int found = pcre2_match(m_code->Code(), reinterpret_cast<PCRE2_SPTR>(m_subject.data()),
                            m_subject.size(), offset, PCRE2_NOTEMPTY, m_matchData.get(),
                            m_matchContext.get());
    if (found == PCRE2_ERROR_NOMATCH) return false;
    if (IsLimitError(found))
        throw RegexLimitError("The text is too complex for the pattern \"" + m_pattern +
                              "\": " + EngineMessage(found));
    if (found < 0)
        throw RegexError("The pattern \"" + m_pattern + "\" failed: " + EngineMessage(found));
    // 0 means more groups took part than are stored: all stored groups are set.
    m_groupsFound = found == 0 ? static_cast<int>(kStoredGroups) : found;
    m_searchOffset = pcre2_get_ovector_pointer(m_matchData.get())[1];
    if (OnMatch) OnMatch(*this);
    return true;
}

bool Regex::MatchFirst() {
    return SearchFrom(0);
}

bool Regex::MatchNext() {
    return SearchFrom(m_searchOffset);
}

void Regex::RequireMatch() const {
    if (m_groupsFound == 0)
        throw std::logic_error("REQUIRE: There must be a successful match first");
}

std::string Regex::MatchedText() const {
    return Submatch(0);
}

std::size_t Regex::MatchStart() const {
    RequireMatch();
    return pcre2_get_ovector_pointer(m_matchData.get())[0] + 1;
}

std::size_t Regex::MatchEnd() const {
    RequireMatch();
    return pcre2_get_ovector_pointer(m_matchData.get())[1] + 1;
}

int Regex::SubmatchCount() const {
    RequireMatch();
    return m_groupsFound - 1;
}

std::string Regex::Submatch(int i) const {
    RequireMatch();
    if (i < 0 || i >= m_groupsFound) return {};
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_matchData.get());
    if (ovector[2 * i] == PCRE2_UNSET) return {};
    return m_subject.substr(ovector[2 * i], ovector[2 * i + 1] - ovector[2 * i]);
}

int Regex::GroupNumber(std::string_view name) const {
    if (!m_code) return -1;
    std::string terminated(name);
    int number = pcre2_substring_number_from_name(m_code->Code(),
                                                  reinterpret_cast<PCRE2_SPTR>(terminated.c_str()));
    if (number == PCRE2_ERROR_NOUNIQUESUBSTRING) {
        // Duplicate names (?J): the first group of that name.
        PCRE2_SPTR first = nullptr;
        PCRE2_SPTR last = nullptr;
        int entrySize = pcre2_substring_nametable_scan(
            m_code->Code(), reinterpret_cast<PCRE2_SPTR>(terminated.c_str()), &first, &last);
        if (entrySize > 0) number = (first[0] << 8) | first[1];
    }
    return number < 0 ? -1 : number;
}

std::string Regex::ReplacementForMatch(std::string_view replacement) const {
    if (replacement.find('$') == std::string_view::npos) return std::string(replacement);
    return ExpandReplacement(replacement, *this);
}

std::string Regex::Replace(std::string subject, std::string_view replacement) {
    ReplaceInPlace(subject, replacement);
    return subject;
}

void Regex::ReplaceInPlace(std::string& text, std::string_view replacement) {
    SetSubject(std::move(text));
    const bool expands = replacement.find('$') != std::string_view::npos;

    // Gather every match first (with its expansion when the replacement refers to groups) ...
    struct Span {
        std::size_t Start;
        std::size_t End;
    };
    std::vector<Span> spans;
    std::vector<std::string> expansions;
    std::size_t insertedBytes = 0;
    try {
        while (MatchNext()) {
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_matchData.get());
            spans.push_back({ovector[0], ovector[1]});
            if (expands) {
                expansions.push_back(ExpandReplacement(replacement, *this));
                insertedBytes += expansions.back().size();
            } else {
                insertedBytes += replacement.size();
            }
        }
    } catch (...) {
        text = std::move(m_subject);  // a failed pass leaves the text as it was
        SetSubject({});
        throw;
    }
    std::string original = std::move(m_subject);
    SetSubject({});
    if (spans.empty()) {
        text = std::move(original);
        return;
    }

    // ... then build the result in one pass.
    std::size_t removedBytes = 0;
    for (const Span& span : spans) removedBytes += span.End - span.Start;
    text.clear();
    text.reserve(original.size() - removedBytes + insertedBytes);
    std::size_t copiedUpTo = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        text.append(original, copiedUpTo, spans[i].Start - copiedUpTo);
        text.append(expands ? std::string_view(expansions[i]) : replacement);
        copiedUpTo = spans[i].End;
    }
    text.append(original, copiedUpTo);
}

const std::string& Regex::ReplaceMatch(std::string_view replacement) {
    RequireMatch();
    std::string replaceWith = ReplacementForMatch(replacement);
    if (OnReplace) OnReplace(*this, replaceWith);
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_matchData.get());
    const std::size_t start = ovector[0];
    m_subject.replace(start, ovector[1] - start, replaceWith);
    m_searchOffset = start + replaceWith.size();
    ClearMatch();
    return m_subject;
}

std::vector<std::string> Regex::MatchAll(std::string subject) {
    SetSubject(std::move(subject));
    std::vector<std::string> matches;
    while (MatchNext()) matches.push_back(MatchedText());
    return matches;
}

Regex& SharedRegex() {
    thread_local Regex shared(preCaseLess | preSingleLine);
    return shared;
}

}  // namespace quirebook
