// Cuts a page's nesting before it is parsed, so that no parse of a hostile page goes deep.
#include "html/NestingLimit.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <vector>

#include "html/XhtmlModel.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

using namespace xhtml;

// The start-tag names that the nesting limit does not count: void elements and elements whose
// end the parser implies.
constexpr std::string_view kUncountedElements =
    " area base br col embed hr img input keygen link meta param source track wbr basefont "
    "bgsound frame isindex image p li dt dd option optgroup tr td th thead tbody tfoot colgroup "
    "caption rb rt rp rtc html head body ";
// Elements whose content is text up to their end tag.
constexpr std::string_view kRawTextElements =
    " script style textarea title xmp iframe noembed noframes noscript plaintext ";

}  // namespace

std::string LimitNesting(std::string_view page, std::size_t maxDepth) {
    std::string limited;
    std::size_t copied = 0;
    std::vector<std::string> open;
    std::unordered_map<std::string, std::size_t> dropped;
    const auto removeTag = [&](std::size_t from, std::size_t to) {
        limited.append(page, copied, from - copied);
        copied = to;
    };
    for (std::size_t lt = page.find('<'); lt != npos && lt + 1 < page.size();
         lt = page.find('<', lt + 1)) {
        if (page.compare(lt, 4, "<!--") == 0) {
            lt = page.find("-->", lt + 4);
            if (lt == npos) break;
            continue;
        }
        const bool endTag = page[lt + 1] == '/';
        std::size_t nameEnd = lt + (endTag ? 2 : 1);
        if (nameEnd >= page.size() || !IsLetter(page[nameEnd])) continue;
        while (nameEnd < page.size() && !IsSpace(page[nameEnd]) && page[nameEnd] != '/' &&
               page[nameEnd] != '>')
            ++nameEnd;
        const std::string name =
            AsciiLower(page.substr(lt + (endTag ? 2 : 1), nameEnd - lt - (endTag ? 2 : 1)));
        // The tag's end, past quoted values.
        std::size_t gt = nameEnd;
        for (char quote = 0; gt < page.size(); ++gt) {
            if (quote != 0) {
                if (page[gt] == quote) quote = 0;
            } else if (page[gt] == '"' || page[gt] == '\'') {
                quote = page[gt];
            } else if (page[gt] == '>') {
                break;
            }
        }
        if (gt >= page.size()) break;
        if (endTag) {
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match != open.rend()) {
                open.erase(std::prev(match.base()), open.end());
            } else if (auto found = dropped.find(name); found != dropped.end() && found->second) {
                --found->second;
                removeTag(lt, gt + 1);
            }
        } else if (ListHolds(kRawTextElements, name)) {
            // Its text is not markup: the scan goes on after its end tag.
            const std::string end = "</" + name;
            std::size_t close = gt;
            while ((close = page.find("</", close + 1)) != npos &&
                   !HoldsAtAnyCase(page, close, end)) {
            }
            if (close == npos) break;
            gt = close;
        } else if (!ListHolds(kUncountedElements, name) && page[gt - 1] != '/') {
            if (open.size() < maxDepth) {
                open.push_back(name);
            } else {
                ++dropped[name];
                removeTag(lt, gt + 1);
            }
        }
        lt = gt;
    }
    if (copied == 0) return std::string(page);
    limited.append(page, copied);
    return limited;
}

}  // namespace quirebook
