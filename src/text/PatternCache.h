// Compiled patterns shared by the whole process: each distinct pattern text and option set is
// compiled (and JIT-compiled where the platform allows) once, whichever object asks for it.
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>
#include <memory>
#include <string>

namespace quirebook {

// A compiled pattern. Immutable once made, so any number of pattern objects (and threads) may
// match with it at the same time.
class CompiledPattern {
  public:
    explicit CompiledPattern(pcre2_code* code) : m_code(code) {}
    ~CompiledPattern() { pcre2_code_free(m_code); }
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;

    const pcre2_code* Code() const { return m_code; }

  private:
    pcre2_code* m_code;
};

// The compiled form of `pattern` with PCRE2 compile options `compileOptions`, from the cache or
// compiled now. Raises RegexError with the pattern text as its message when PCRE2 rejects it.
std::shared_ptr<const CompiledPattern> CompilePattern(const std::string& pattern,
                                                      std::uint32_t compileOptions);

// Number of compilations done by this process so far (the cache's misses).
std::uint64_t PatternCompilationCount();

}  // namespace quirebook
