#include "html/CarryResources.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "css/StyleSheetReferences.h"
#include "html/LinkTargets.h"
#include "html/LinksAndResources.h"
#include "html/NarrowScreenFit.h"
#include "html/SvgPictures.h"
#include "text/Encoding.h"
#include "text/Entities.h"
#include "text/FolderFiles.h"
#include "text/PlainText.h"
#include "text/Regex.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t npos = std::string::npos;
// Style sheets importing style sheets deeper than this are not followed further.
constexpr int kMaximumImportDepth = 16;

// `path` with "-2", "-3" ... before its extension.
std::string NumberedPath(const std::string& path, int number) {
    const std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot == npos || (slash != npos && dot < slash) || dot == slash + 1) dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(number) + path.substr(dot);
}

// The span of a tag's quoted (or bare) attribute value; Start is npos without the attribute.
struct ValueSpan {
    std::size_t Start = npos;
    std::size_t End = npos;
};

ValueSpan AttributeValue(std::string_view tag, std::string_view name) {
    for (std::size_t at = 1; at + name.size() < tag.size(); ++at) {
        const char before = tag[at - 1];
        if (before != ' ' && before != '\t' && before != '\n' && before != '\r') continue;
        if (!HoldsAtAnyCase(tag, at, name)) continue;
        std::size_t i = at + name.size();
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n')) ++i;
        if (i >= tag.size() || tag[i] != '=') continue;
        ++i;
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n')) ++i;
        if (i >= tag.size()) return {};
        if (tag[i] == '"' || tag[i] == '\'') {
            const std::size_t close = tag.find(tag[i], i + 1);
            return close == npos ? ValueSpan{} : ValueSpan{i + 1, close};
        }
        const std::size_t end = tag.find_first_of(" \t\r\n>/", i);
        return {i, end == npos ? tag.size() : end};
    }
    return {};
}

std::string ValueText(std::string_view tag, const ValueSpan& span) {
    return span.Start == npos ? std::string()
                              : std::string(tag.substr(span.Start, span.End - span.Start));
}

// A "<link>" that brings in a style sheet: rel says so, or its path ends in ".css".
bool IsStyleSheetLink(std::string_view tag) {
    if (AsciiLower(ValueText(tag, AttributeValue(tag, "rel"))).find("stylesheet") != npos)
        return true;
    std::string href = ValueText(tag, AttributeValue(tag, "href"));
    href = href.substr(0, href.find_first_of("?#"));
    return href.size() >= 4 && HoldsAtAnyCase(href, href.size() - 4, ".css");
}

class Carrier {
  public:
    explicit Carrier(BookProject& project)
        : m_project(project),
          m_pages(fs::weakly_canonical(project.SourceFolder).lexically_normal()),
          m_root(BookResourceRoot(project)) {
        if (!m_pages.has_filename()) m_pages = m_pages.parent_path();
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(project.OpsFolder, error);
             it != fs::recursive_directory_iterator(); it.increment(error)) {
            m_taken.insert(
                AsciiLower(fs::relative(it->path(), project.OpsFolder, error).generic_string()));
        }
        std::set<std::string> names;
        for (const std::string& folder : {project.OpsFolder, m_pages.string()})
            for (const auto& entry : fs::directory_iterator(folder, error))
                names.insert(AsciiLower(entry.path().filename().string()));
        m_outside = "root";
        for (int n = 2; names.count(m_outside) != 0; ++n) m_outside = "root-" + std::to_string(n);
    }

    CarriedResources Run(ChapterTexts& texts) {
        for (std::size_t i = 0; i < texts.size(); ++i)
            CarryForChapter(m_project.ChapterFiles[i], texts[i]);
        // A web book's chapters fit narrow screens; a Word book has its patch sheet.
        if (!m_project.FromWordDocument) {
            const std::string fitSheet =
                FreeBookPath(fs::path(kFitSheetTemplate).filename().string());
            if (FitForNarrowScreens(m_project, texts, m_result.StyleSheets, fitSheet))
                m_result.StyleSheets.push_back(fitSheet);
        }
        return std::move(m_result);
    }

  private:
    void CarryForChapter(const std::string& chapter, std::string& text) {
        Regex tags(preCaseLess | preSingleLine);
        tags.SetPattern("<([a-z][a-z0-9]*)\\b[^>]*>");
        tags.SetSubject(text);
        std::string rewritten;
        std::size_t copied = 0;  // 0-based, the first byte not yet copied
        while (tags.MatchNext()) {
            const std::size_t start = tags.MatchStart() - 1;
            if (start < copied) continue;  // inside a style block already rewritten
            const std::string tag = tags.MatchedText();
            const std::string name = AsciiLower(tags.Submatch(1));
            const std::string carried = CarryTagReferences(tag, name, chapter);
            if (carried != tag) {
                rewritten.append(text, copied, start - copied);
                rewritten += carried;
                copied = start + tag.size();
            }
            if (name != "style") continue;
            const std::size_t contentStart = start + tag.size();
            const std::size_t end =
                std::min(FindAnyCase(text, "</style", contentStart), text.size());
            rewritten.append(text, copied, contentStart - copied);
            rewritten += RewriteStyle(text.substr(contentStart, end - contentStart),
                                      m_pages.string(), chapter);
            copied = end;
        }
        if (copied == 0) return;
        rewritten.append(text, copied);
        text = std::move(rewritten);
    }

    // The tag with the picture of an "<img>", the style sheet of a "<link>" and what its style
    // attribute names with url() carried.
    std::string CarryTagReferences(std::string tag, const std::string& name,
                                   const std::string& chapter) {
        if (name == "img" || (name == "link" && IsStyleSheetLink(tag) && !IsReplacementLink(tag))) {
            const bool picture = name == "img";
            const ValueSpan span = AttributeValue(tag, picture ? "src" : "href");
            const std::string written = UnescapeReferencePath(ValueText(tag, span));
            const std::optional<std::string> carried =
                span.Start == npos
                    ? std::nullopt
                    : Carry(written, m_pages.string(), chapter,
                            {picture ? ResourceKind::Picture : ResourceKind::StyleSheet});
            if (carried && *carried != written)
                tag.replace(span.Start, span.End - span.Start, EscapeMarkup(*carried));
        }
        const ValueSpan style = AttributeValue(tag, "style");
        const std::string value = ValueText(tag, style);
        if (AsciiLower(value).find("url(") == npos) return tag;
        const std::string css = DecodeEntities(value);
        const std::string carried = RewriteStyle(css, m_pages.string(), chapter);
        if (carried == css) return tag;
        const char quote = tag[style.Start - 1] == '\'' ? '\'' : '"';
        tag.replace(style.Start, style.End - style.Start,
                    PlainReplace(EscapeMarkup(carried), std::string(1, quote),
                                 quote == '"' ? "&quot;" : "&#39;"));
        return tag;
    }

    // The link to the replacement style sheet, which is in the book already.
    bool IsReplacementLink(std::string_view tag) const {
        if (!m_project.ReplaceStyleSheet || m_project.ReplacementStyleSheet.empty()) return false;
        return ValueText(tag, AttributeValue(tag, "href")) ==
               EscapeMarkup(fs::path(m_project.ReplacementStyleSheet).filename().string());
    }

    // The reference to write in `holder` (a book path) for `reference`, read in the folder
    // `base`: the carried resource's path from the holder; the reference itself when it names no
    // file; nullopt when the resource is left out.
    std::optional<std::string> Carry(const std::string& reference, const std::string& base,
                                     const std::string& holder,
                                     const std::vector<ResourceKind>& kinds) {
        std::string cacheKey = base + '\0' + reference;
        for (const ResourceKind kind : kinds) cacheKey += static_cast<char>('0' + int(kind));
        auto cached = m_resolved.find(cacheKey);
        if (cached == m_resolved.end())
            cached = m_resolved.emplace(cacheKey, m_root.Resolve(reference, base, kinds)).first;
        const ResolvedResource& resource = cached->second;
        if (resource.Status == ResourceStatus::NotAFile) return reference;
        if (resource.Status != ResourceStatus::Found) {
            LeaveOut(resource, reference, base, holder, kinds);
            return std::nullopt;
        }
        auto known = m_carried.find(resource.Key);
        if (known == m_carried.end()) {
            known = m_carried.emplace(resource.Key, BookPathOf(resource.File)).first;
            Place(resource, known->second);
        }
        return RelativeReference(holder, known->second) + resource.Fragment;
    }

    // A path below OpsFolder for the file, taken by nothing else.
    std::string BookPathOf(const std::string& file) {
        const fs::path inPages = fs::path(file).lexically_relative(m_pages);
        // A name in Latin-1 bytes is named in UTF-8 in the book, as a package must.
        const std::string wanted = FileNameToUtf8(
            !inPages.empty() && *inPages.begin() != ".."
                ? inPages.generic_string()
                : m_outside + "/" +
                      fs::path(file).lexically_relative(m_root.Folder()).generic_string());
        return FreeBookPath(wanted);
    }

    // `wanted`, or a numbered path beside it when a file of the book takes it; now taken.
    std::string FreeBookPath(const std::string& wanted) {
        std::string path = wanted;
        for (int n = 2; !m_taken.insert(AsciiLower(path)).second; ++n)
            path = NumberedPath(wanted, n);
        return path;
    }

    void Place(const ResolvedResource& resource, const std::string& bookPath) {
        const std::string target = m_project.OpsFolder + bookPath;
        fs::create_directories(fs::path(target).parent_path());
        switch (resource.Type.Kind) {
            case ResourceKind::StyleSheet:
                m_result.StyleSheets.push_back(bookPath);
                ++m_depth;
                SaveTextFile(
                    target, RewriteStyle(ReadTextFile(resource.Key),
                                         fs::path(resource.File).parent_path().string(), bookPath));
                --m_depth;
                return;
            case ResourceKind::Font:
                m_result.Fonts.push_back(bookPath);
                break;
            default:
                m_result.Pictures.push_back(bookPath);
                if (resource.Type.MediaType == "image/svg+xml") {
                    SaveTextFile(target, ConformSvgPicture(ReadTextFile(resource.Key)));
                    return;
                }
                break;
        }
        CopyFile(resource.Key, target);
    }

    // Style text read in the folder `base`, its references carried for `holder`.
    std::string RewriteStyle(const std::string& style, const std::string& base,
                             const std::string& holder) {
        return RewriteStyleReferences(
            style, [&](StyleReferenceKind kind, const std::string& value) {
                if (kind == StyleReferenceKind::Import) {
                    if (m_depth < kMaximumImportDepth)
                        return Carry(value, base, holder, {ResourceKind::StyleSheet});
                    ResolvedResource deep;
                    deep.Status = ResourceStatus::Refused;
                    deep.Reason = "style sheets import each other too deeply";
                    LeaveOut(deep, value, base, holder, {ResourceKind::StyleSheet});
                    return std::optional<std::string>();
                }
                return Carry(value, base, holder, {ResourceKind::Picture, ResourceKind::Font});
            });
    }

    void LeaveOut(const ResolvedResource& resource, const std::string& reference,
                  const std::string& base, const std::string& holder,
                  const std::vector<ResourceKind>& kinds) {
        ResourceKind kind = kinds.front();
        if (kinds.size() > 1 && TypeFromName(reference).Kind == ResourceKind::Font)
            kind = ResourceKind::Font;
        if (!m_leftOut.insert(KindName(kind) + "|" + base + "|" + reference).second) return;
        const LeftOutResource left{kind, reference, holder, resource.Status, resource.Reason};
        m_project.AddLog(holder + ": the " + KindName(kind) + " \"" + reference +
                         "\" is left out of the book: " + LeftOutReason(left));
        m_result.LeftOut.push_back(left);
    }

  public:
    static std::string LeftOutReason(const LeftOutResource& left) {
        switch (left.Status) {
            case ResourceStatus::Missing:
                return "the file is missing";
            case ResourceStatus::Remote:
                return "it is on another site";
            default:
                return left.Reason;
        }
    }

  private:
    BookProject& m_project;
    fs::path m_pages;  // the pages' folder, links resolved, no trailing "/"
    ResourceRoot m_root;
    std::string m_outside;          // the folder of OpsFolder for resources from outside m_pages
    std::set<std::string> m_taken;  // book paths in use, folded
    std::map<std::string, std::string> m_carried;  // resolved file -> book path
    std::set<std::string> m_leftOut;               // what was left out, once each
    // Each reference is resolved once per folder it is read in.
    std::map<std::string, ResolvedResource> m_resolved;
    CarriedResources m_result;
    int m_depth = 0;  // of style sheets being carried inside one another
};

std::string StatusWord(ResourceStatus status) {
    switch (status) {
        case ResourceStatus::Missing:
            return "missing";
        case ResourceStatus::Remote:
            return "on another site";
        default:
            return "refused";
    }
}

}  // namespace

std::string BookResourceRoot(const BookProject& project) {
    if (!project.ResourceRoot.empty() &&
        ResourceRoot(project.ResourceRoot).Holds(project.SourceFolder))
        return project.ResourceRoot;
    return project.SourceFolder;
}

CarriedResources CarryResources(BookProject& project, ChapterTexts& texts) {
    return Carrier(project).Run(texts);
}

std::string LeftOutSummary(const std::vector<LeftOutResource>& leftOut) {
    if (leftOut.empty()) return {};
    std::string summary;
    const ResourceKind kinds[] = {ResourceKind::Picture, ResourceKind::StyleSheet,
                                  ResourceKind::Font, ResourceKind::Other};
    std::vector<std::string> parts;
    for (const ResourceKind kind : kinds) {
        std::map<ResourceStatus, int> counts;
        int total = 0;
        for (const LeftOutResource& left : leftOut)
            if (left.Kind == kind) ++counts[left.Status], ++total;
        if (total == 0) continue;
        std::string part = std::to_string(total) + " " + KindName(kind, total != 1) + " (";
        bool first = true;
        for (const auto& [status, count] : counts) {
            part += (first ? "" : ", ") + std::to_string(count) + " " + StatusWord(status);
            first = false;
        }
        parts.push_back(part + ")");
    }
    summary = "Left out of the book: ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        summary += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    constexpr std::size_t kNamed = 3;
    summary += "; among them ";
    for (std::size_t i = 0; i < leftOut.size() && i < kNamed; ++i) {
        summary += (i == 0 ? "" : ", ") + leftOut[i].Reference + " (" +
                   Carrier::LeftOutReason(leftOut[i]) + ")";
    }
    if (leftOut.size() > kNamed)
        summary += " and " + std::to_string(leftOut.size() - kNamed) + " more";
    return summary + ". The build log names each.";
}

}  // namespace quirebook
