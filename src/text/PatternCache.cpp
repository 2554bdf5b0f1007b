#include "text/PatternCache.h"

#include <map>
#include <mutex>
#include <utility>

#include "text/RegexError.h"

namespace quirebook {

namespace {

// Patterns built from document text (anchors, file names) would grow the cache without end;
// past this size it starts again. Codes still in use live on through their shared pointers.
constexpr std::size_t kMaximumCachedPatterns = 4096;

struct Cache {
    std::mutex Lock;
    std::map<std::pair<std::uint32_t, std::string>, std::shared_ptr<const CompiledPattern>> Codes;
    std::uint64_t Compilations = 0;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

std::shared_ptr<const CompiledPattern> Compile(const std::string& pattern,
                                               std::uint32_t compileOptions) {
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     compileOptions, &errorCode, &errorOffset, nullptr);
    if (code == nullptr) throw RegexError(pattern);
    // Without JIT support the interpreter serves; the result is the same, only slower.
    pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    return std::make_shared<const CompiledPattern>(code);
}

}  // namespace

std::shared_ptr<const CompiledPattern> CompilePattern(const std::string& pattern,
                                                      std::uint32_t compileOptions) {
    Cache& cache = TheCache();
    std::lock_guard guard(cache.Lock);
    auto key = std::make_pair(compileOptions, pattern);
    if (auto found = cache.Codes.find(key); found != cache.Codes.end()) return found->second;
    auto compiled = Compile(pattern, compileOptions);
    ++cache.Compilations;
    if (cache.Codes.size() >= kMaximumCachedPatterns) cache.Codes.clear();
    cache.Codes.emplace(std::move(key), compiled);
    return compiled;
}

std::uint64_t PatternCompilationCount() {
    Cache& cache = TheCache();
    std::lock_guard guard(cache.Lock);
    return cache.Compilations;
}

}  // namespace quirebook
