// The pattern component: Perl-compatible regular expressions over byte strings (PCRE2 in 8-bit
// mode, no UTF flag, the engine's built-in ASCII tables), with search, walk and replace-all.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/PatternCache.h"
#include "text/RegexError.h"

namespace quirebook {

// Compile options, a set of flags mapped one to one onto PCRE2's.
using RegexOptions = unsigned;
inline constexpr RegexOptions preCaseLess = 1u << 0;       // caseless
inline constexpr RegexOptions preMultiLine = 1u << 1;      // ^ and $ at line ends
inline constexpr RegexOptions preSingleLine = 1u << 2;     // "." matches line breaks too
inline constexpr RegexOptions preExtended = 1u << 3;       // white space in the pattern ignored
inline constexpr RegexOptions preAnchored = 1u << 4;       // match only at the search position
inline constexpr RegexOptions preDollarEndOnly = 1u << 5;  // $ only at the very end
inline constexpr RegexOptions preExtra = 1u << 6;          // unknown escapes are errors
inline constexpr RegexOptions preUnGreedy = 1u << 7;       // quantifiers lazy by default

// Positions are 1-based byte positions; 0 means "not found". Every search runs with the
// not-empty flag: a match of length 0 is never reported.
class Regex {
  public:
    explicit Regex(RegexOptions options = 0);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    RegexOptions Options() const { return m_options; }
    void SetOptions(RegexOptions options);
    const std::string& Pattern() const { return m_pattern; }
    // A different text discards the compiled form and the match; the same text changes nothing.
    void SetPattern(std::string_view pattern);

    // Called after each successful search, when set.
    std::function<void(Regex&)> OnMatch;
    // Called by ReplaceMatch with the expanded replacement, which the handler may change.
    std::function<void(Regex&, std::string& replaceWith)> OnReplace;

    // Stores the subject, searches from its start next, clears the current match.
    void SetSubject(std::string subject);
    const std::string& Subject() const { return m_subject; }

    bool MatchFirst();
    // Searches on from where the previous match ended (from the start after SetSubject).
    bool MatchNext();

    // The current match; each asks for a successful search first.
    std::string MatchedText() const;
    std::size_t MatchStart() const;
    std::size_t MatchEnd() const;  // the position just after the match
    std::size_t MatchLength() const { return MatchEnd() - MatchStart(); }
    // The highest group number that took part in the current match.
    int SubmatchCount() const;
    // Group i of the current match (0 = the whole match); empty when the group took no part or
    // i exceeds SubmatchCount.
    std::string Submatch(int i) const;
    // The number of the group called `name`, or -1 when the pattern has none.
    int GroupNumber(std::string_view name) const;

    // Every match of the subject replaced by the (expanded) replacement; the subject itself when
    // nothing matches. Matches never overlap and inserted text is not searched again. The
    // component keeps no subject afterwards.
    std::string Replace(std::string subject, std::string_view replacement);
    // As Replace, rewriting `text`; when a search fails (a limit, say) `text` is left as it was.
    void ReplaceInPlace(std::string& text, std::string_view replacement);
    // Replaces the current match inside the stored subject and returns the whole new subject;
    // the next MatchNext continues after the inserted text.
    const std::string& ReplaceMatch(std::string_view replacement);
    // The text of every match, in order.
    std::vector<std::string> MatchAll(std::string subject);

  private:
    struct MatchDataDeleter {
        void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
    };
    struct MatchContextDeleter {
        void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
    };
    struct JitStackDeleter {
        void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
    };

    void Compile();
    bool SearchFrom(std::size_t offset);
    void ClearMatch() { m_groupsFound = 0; }
    void RequireMatch() const;
    // The replacement as inserted for the current match: expanded when it holds a dollar sign,
    // as written otherwise.
    std::string ReplacementForMatch(std::string_view replacement) const;

    RegexOptions m_options;
    std::string m_pattern;
    std::shared_ptr<const CompiledPattern> m_code;
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> m_matchData;
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> m_matchContext;
    std::unique_ptr<pcre2_jit_stack, JitStackDeleter> m_jitStack;
    std::string m_subject;
    std::size_t m_searchOffset = 0;  // 0-based offset of the next search
    int m_groupsFound = 0;           // 0: no current match; else SubmatchCount + 1
};

// The engine used by the content steps: caseless, "." matching line breaks. One per thread, so
// that steps may run side by side in separate threads; its state never outlives a step.
Regex& SharedRegex();

}  // namespace quirebook
