// Fuzz target: chapters (the text's parts between NUL bytes; one part stands for three equal
// chapters) through RemovePageFurniture; each chapter that comes out must be its page with byte
// ranges cut, and every block told must name a chapter.
#include <stdexcept>

#include "FuzzSupport.h"
#include "html/PageFurniture.h"

namespace {

// Whether `cut` is `page` with some bytes left out, in order.
bool IsCutFrom(const std::string& cut, const std::string& page) {
    std::size_t at = 0;
    for (const char c : page)
        if (at < cut.size() && cut[at] == c) ++at;
    return at == cut.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quirebook;
    const fuzz::FuzzInput input(data, size);
    std::vector<std::string> chapters;
    const std::string& text = input.Text();
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\0', start);
        chapters.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (chapters.size() == 1) chapters.resize(3, chapters.front());
    FurnitureChoice choice;
    choice.Detect = !input.Flag(0);
    if (input.Flag(1)) choice.Named = ParseSelectors("div > ul, [role=note], nav.a, body p, table");
    // With the chapters' paths, bars linking to their neighbours are found by place and shape.
    if (input.Flag(2))
        for (std::size_t i = 0; i < chapters.size(); ++i)
            choice.ChapterPaths.push_back(std::to_string(i) + ".html");
    const std::vector<std::string> pages = chapters;
    for (const FurnitureBlock& block : RemovePageFurniture(chapters, choice))
        if (block.Chapter >= chapters.size()) throw std::logic_error("A block names no chapter");
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        if (chapters[i] != pages[i] && !IsCutFrom(chapters[i], pages[i]))
            throw std::logic_error("A chapter is not its page with bytes cut out");
    }
    return 0;
}
