// Throughput of the pattern and plain replacement passes on a 10 MB chapter-like text.
#include <benchmark/benchmark.h>

#include <string>

#include "text/PatternHelpers.h"
#include "text/PlainText.h"

namespace {

using namespace quirebook;

// About 10 MB of ordinary web-page markup.
const std::string& TenMegabytes() {
    static const std::string text = [] {
        const std::string block =
            "<p class=MsoNormal style='margin-left:12pt'><span lang=EN-US>The quick brown fox "
            "jumps over the lazy dog &amp; runs <b>away</b>.</span></p>\r\n"
            "<div><a href=\"chapter2.htm#note1\">1</a><img src=\"images/fig1.png\"><br></div>\r\n";
        std::string result;
        while (result.size() < (10u << 20)) result += block;
        return result;
    }();
    return text;
}

void Run(benchmark::State& state, const std::string& text, auto pass) {
    for (auto _ : state) benchmark::DoNotOptimize(pass(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void ReplacePatternSimple(benchmark::State& state) {
    Run(state, TenMegabytes(),
        [](const std::string& t) { return ReplacePattern(t, "<br>", "<br />"); });
}
void ReplacePatternWithGroups(benchmark::State& state) {
    Run(state, TenMegabytes(), [](const std::string& t) {
        return ReplacePattern(t, "<(p|div)\\s[^>]*>(.*?)</\\1>", "<$1>$2</$1>");
    });
}
void ReplacePatternNoMatch(benchmark::State& state) {
    Run(state, TenMegabytes(),
        [](const std::string& t) { return ReplacePattern(t, "<script[^>]*>.*?</script>", ""); });
}
void PlainReplaceCaseSensitive(benchmark::State& state) {
    Run(state, TenMegabytes(),
        [](const std::string& t) { return PlainReplace(t, "&amp;", "&#38;"); });
}
void PlainReplaceIgnoringCase(benchmark::State& state) {
    Run(state, TenMegabytes(),
        [](const std::string& t) { return PlainReplace(t, "<SPAN", "<span", true); });
}

BENCHMARK(ReplacePatternSimple)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplacePatternWithGroups)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplacePatternNoMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainReplaceCaseSensitive)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainReplaceIgnoringCase)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
