#include "word/ChapterSplit.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "css/BookStyleSheets.h"
#include "css/StyleText.h"
#include "html/NestedFontSizes.h"
#include "html/PageDirection.h"
#include "text/InOutError.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace {

namespace fs = std::filesystem;

// A page larger than this with at most one section makes chapters too big for slow readers.
constexpr std::int64_t kLargeDocumentBytes = 256000;

constexpr std::string_view kLargeDocumentAdvice =
    "Your may need insert section break in Word,\r\n"
    "so that Quirebook can split it into chapters,\r\n"
    "or your epub may not show properly on slow devices.\r\n"
    "We suggest you insert section breaks then re-import,\r\n"
    "please reference Chapter section in Help file.";

constexpr std::string_view kTail = "\r\n</body></html>";

// Without a split the page keeps the content of its first division (Word's one section), without
// the division's own tags; a body without a division is kept whole.
std::string_view FirstDivisionContent(std::string_view body) {
    const std::size_t division = PosFrom(body, "<div class=", 1);
    if (division == 0) return body;
    const std::size_t tagEnd = PosFrom(body, ">", division);
    const std::size_t close = LastPos(body, "</div>", 0);
    if (tagEnd == 0) return body;
    if (close <= tagEnd) return body.substr(tagEnd);
    return body.substr(tagEnd, close - 1 - tagEnd);
}

// Whether a reader sees anything of `html`: text other than blanks (no-break spaces count as
// blanks), or an element that shows without text. Word ends many documents with a section of
// empty paragraphs, which would be a blank chapter with nothing to name it by.
bool ShowsAnything(std::string_view html) {
    constexpr std::string_view kShownWithoutText[] = {"img",    "svg",    "object", "embed",
                                                      "hr",     "math",   "video",  "audio",
                                                      "canvas", "iframe", "input"};
    constexpr std::string_view kBlankEntities[] = {"&nbsp;", "&#160;", "&#xa0;", "&#xA0;"};
    for (std::size_t at = 0; at < html.size();) {
        const char c = html[at];
        if (c == '<') {
            if (html.substr(at, 4) == "<!--") {
                const std::size_t end = html.find("-->", at + 4);
                at = end == std::string_view::npos ? html.size() : end + 3;
                continue;
            }
            std::size_t nameEnd = at + 1;
            while (nameEnd < html.size() && std::isalnum(static_cast<unsigned char>(html[nameEnd])))
                ++nameEnd;
            const std::string name = AsciiLower(html.substr(at + 1, nameEnd - at - 1));
            for (const std::string_view shown : kShownWithoutText)
                if (name == shown) return true;
            const std::size_t end = html.find('>', at);
            at = end == std::string_view::npos ? html.size() : end + 1;
        } else if (c == '&') {
            const auto blank = [&](std::string_view entity) {
                return html.substr(at, entity.size()) == entity;
            };
            const auto found =
                std::find_if(std::begin(kBlankEntities), std::end(kBlankEntities), blank);
            if (found == std::end(kBlankEntities)) return true;
            at += found->size();
        } else if (c == '\xC2' && at + 1 < html.size() && html[at + 1] == '\xA0') {
            at += 2;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else {
            return true;
        }
    }
    return false;
}

void AddChapter(BookProject& project, const std::string& name, std::int64_t size) {
    project.ChapterFiles.push_back(name);
    project.ChapterSizes.push_back(size);
}

}  // namespace

void MoveWordImages(const std::string& htmlPath) {
    const fs::path page(htmlPath);
    const std::string base = page.stem().string();
    // The folder moves first, so that a failed rename leaves the page pointing where its
    // pictures still are.
    const fs::path pictures = page.parent_path() / (base + "_files");
    std::error_code error;
    if (fs::is_directory(pictures, error)) {
        fs::rename(pictures, page.parent_path() / "imgs", error);
        if (error) ThrowInOutError("rename", pictures.string(), error.value());
    }
    // Word writes the folder's name into its UTF-8 page with each space as "%20", and an "&"
    // or a quote of the name as a character reference in the attribute.
    const std::string reference = PlainReplace(base, " ", "%20") + "_files/";
    const std::string text = ReadTextFile(htmlPath);
    std::string moved = PlainReplace(text, reference, "imgs/");
    const std::string escaped = PlainReplace(PlainReplace(reference, "&", "&amp;"), "\"", "&quot;");
    if (escaped != reference) moved = PlainReplace(moved, escaped, "imgs/");
    if (moved != text) SaveTextFile(htmlPath, moved);
}

std::vector<std::string_view> WordSections(std::string_view body) {
    std::vector<std::size_t> starts;  // 0-based
    Regex& regex = SharedRegex();
    regex.SetPattern("<div class=(Word)?Section");
    regex.SetSubject(std::string(body));
    while (regex.MatchNext()) starts.push_back(regex.MatchStart() - 1);
    regex.SetSubject({});

    std::vector<std::string_view> sections;
    sections.reserve(starts.size());
    for (std::size_t j = 0; j < starts.size(); ++j) {
        if (j + 1 == starts.size()) {
            sections.push_back(body.substr(starts[j]));
            break;
        }
        // What stands between a section's closing tag and the next section is Word's section
        // break, which the chapter boundary replaces. Only this section's own text is searched,
        // so that the search stays linear and never ends before the section begins.
        std::string_view section = body.substr(starts[j], starts[j + 1] - starts[j]);
        const std::size_t close = LastPos(section, "</div>", 0);
        if (close != 0) section = section.substr(0, close - 1 + std::string_view("</div>").size());
        sections.push_back(section);
    }
    return sections;
}

void SplitWordHtml(BookProject& project, const std::string& htmlPath, bool splitOnSections,
                   UserInterface& ui) {
    MoveWordImages(htmlPath);
    project.ChapterFiles.clear();
    project.ChapterSizes.clear();
    if (!fs::is_regular_file(htmlPath)) return;

    const std::string text = ReadTextFile(htmlPath);
    const std::string name = fs::path(htmlPath).filename().string();
    const std::size_t bodyStart = PosFrom(text, "<body", 1, true);
    // ExtractBodyText finds the body tag as Word writes it, in lower case.
    if (bodyStart == 0 || PosFrom(text, "<body", bodyStart) == 0) {
        // Not a page this step knows how to cut; splitting it would lose all of it.
        project.AddLog(htmlPath + " has no body: taken as one chapter as it stands.");
        AddChapter(project, name, FileSizeOf(htmlPath));
        return;
    }
    // Every chapter carries the page's head; of the body's own attributes only its direction
    // stays, so that every chapter reads as the page did.
    const std::string direction = PageDirection(text);
    std::string head = LeftPart(text, bodyStart - 1) +
                       (direction.empty() ? "<body>" : "<body dir=\"" + direction + "\">");
    std::string body = ExtractBodyText(text);
    const std::optional<std::string> style = BuildWordStyleSheet(head, htmlPath, project);
    // Sizes relative to the body text's stay so where they stand inside other sized text; size
    // keywords and absolute sizes do not nest.
    if (style && project.Options.RelativeFontSize && !project.Options.SevenLevelFontSize)
        body = WithNestedFontSizes(body, *style);

    if (!splitOnSections) {
        const std::string page =
            head + "\r\n" + std::string(FirstDivisionContent(body)) + std::string(kTail);
        SaveTextFile(htmlPath, page);
        AddChapter(project, name, static_cast<std::int64_t>(page.size()));
        return;
    }

    std::vector<std::string_view> sections = WordSections(body);
    if (sections.size() <= 1 && FileSizeOf(htmlPath) > kLargeDocumentBytes)
        ui.ShowMessage(std::string(kLargeDocumentAdvice));
    // A page without any section division is still a chapter.
    if (sections.empty()) sections.push_back(body);
    // Deleted before the chapters are written, since a page named "c_1.htm" would otherwise take
    // the first chapter with it.
    fs::remove(htmlPath);

    // Sections that show nothing are no chapters, unless none shows anything.
    const bool anyShown = std::any_of(sections.begin(), sections.end(), ShowsAnything);
    std::size_t blank = 0;
    for (const std::string_view section : sections) {
        if (anyShown && !ShowsAnything(section)) {
            ++blank;
            continue;
        }
        const std::string chapter = "c_" + std::to_string(project.ChapterFiles.size() + 1) + ".htm";
        std::string content;
        content.reserve(head.size() + section.size() + kTail.size() + 2);
        content += head;
        content += "\r\n";
        content += section;
        content += kTail;
        SaveTextFile(project.SourceFolder + chapter, content);
        AddChapter(project, chapter, static_cast<std::int64_t>(content.size()));
    }
    if (blank > 0)
        project.AddLog(std::to_string(blank) + " section" + (blank == 1 ? "" : "s") + " of " +
                       name + " without text or pictures left out: a blank chapter");
    project.AddLog("Word HTML split successfully.");
}

}  // namespace quirebook
