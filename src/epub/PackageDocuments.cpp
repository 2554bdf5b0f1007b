#include "epub/PackageDocuments.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <random>
#include <set>

#include "epub/Epub3Package.h"
#include "epub/EscapeRules.h"
#include "epub/HeadingNavigation.h"
#include "epub/NavigationDocument.h"
#include "epub/ResourceTypes.h"
#include "text/FolderFiles.h"
#include "text/PatternHelpers.h"
#include "text/PlainText.h"
#include "text/TextFiles.h"
#include "text/TextUtilities.h"

namespace quirebook {

namespace fs = std::filesystem;

namespace {

std::string LoadTemplate(const BookProject& project, const std::string& name) {
    return LoadTextFile(project.TemplateFolder + name);
}

// Inserts `block` before the first `closingTag` of `text` (exact case).
void InsertBefore(std::string& text, std::string_view closingTag, std::string_view block,
                  const std::string& templateName) {
    const std::size_t at = text.find(closingTag);
    if (at == std::string::npos)
        throw TemplateError("The template " + templateName + " is broken: it has no " +
                            std::string(closingTag));
    text.insert(at, block);
}

std::string FileNameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char day[16];
    std::strftime(day, sizeof day, "%Y-%m-%d", &local);
    return day;
}

// Optional metadata left empty would be empty elements, which reading systems and validators
// dislike; they are dropped instead.
void DropEmptyMetadata(std::string& opf) {
    DeletePattern(opf, "[ \\t]*<dc:(subject|description)>\\s*</dc:\\1>\\r?\\n?");
}

// A guide needs at least one reference: without a cover or title page it goes.
void DropEmptyGuide(std::string& opf) {
    DeletePattern(opf, "[ \\t]*<guide>\\s*</guide>\\r?\\n?");
}

// A listed resource already carried into OpsFolder stays as it is; one that is not yet there is
// copied from SourceFolder under the same relative path. Resources that would lie outside
// either folder are refused.
enum class CopyResult { Copied, Missing, Outside };
CopyResult CopyResource(const BookProject& project, const std::string& path) {
    const std::string source = project.SourceFolder + path;
    const std::string target = project.OpsFolder + path;
    if (!IsSafeRelativePath(path)) return CopyResult::Outside;
    std::error_code error;
    if (fs::is_regular_file(target, error) && IsInsideFolder(target, project.OpsFolder))
        return CopyResult::Copied;
    if (!IsInsideFolder(source, project.SourceFolder)) return CopyResult::Outside;
    if (!fs::is_regular_file(source, error)) return CopyResult::Missing;
    fs::create_directories(fs::path(target).parent_path(), error);
    if (!fs::equivalent(source, target, error)) CopyFile(source, target);
    return CopyResult::Copied;
}

// How the manifest items of one kind of listed resource are written.
struct ManifestKind {
    const char* IdPrefix;
    const char* Lead;         // white space before the item
    const char* Trail;        // line end and white space after it
    const char* MissingNote;  // appended to the path in the log when the file is missing
};
constexpr ManifestKind kStyleSheets{"css", "\t\t", "\r\n", "does not exist, give up"};
constexpr ManifestKind kImages{"img", "\t", "\r\n\t", "does not exist"};
constexpr ManifestKind kFonts{"font", "\t", "\r\n\t", "does not exist"};

std::string ManifestItem(const ManifestKind& kind, const std::string& id, const std::string& href,
                         const std::string& mediaType) {
    return std::string(kind.Lead) + "<item id=\"" + id + "\" href=\"" + EscapeMarkup(href) +
           "\" media-type=\"" + mediaType + "\" />" + kind.Trail;
}

std::string CssMediaType(const std::string&) {
    return "text/css";
}
std::string ImageMediaType(const std::string& path) {
    return "image/" + ImageMediaSubtype(path);
}
std::string FontMediaType(const std::string& path) {
    return TypeFromName(path).MediaType;
}

// Copies each listed resource into the book and gives the manifest items of those copied. An
// entry whose href is already listed is left out: a manifest names each file once. Ids keep the
// entry's index, so a skipped entry leaves a gap.
std::string ListedResourceItems(BookProject& project, const std::vector<std::string>& paths,
                                const ManifestKind& kind,
                                std::string (*mediaType)(const std::string&),
                                std::set<std::string>& listed) {
    std::string items;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string path = PlainReplace(paths[i], "\\", "/");
        const CopyResult copied = CopyResource(project, path);
        if (copied == CopyResult::Missing) project.AddLog(path + kind.MissingNote);
        if (copied == CopyResult::Outside)
            project.AddLog(path + " lies outside the book, left out");
        if (copied != CopyResult::Copied || !listed.insert(path).second) continue;
        items += ManifestItem(kind, kind.IdPrefix + std::to_string(i), path, mediaType(path));
    }
    return items;
}

// The manifest items of the style sheets and the images, in that order, each optional single
// file (replacement style sheet, cover picture) before its kind's listed files.
std::string ResourceItems(BookProject& project, std::set<std::string>& listed) {
    std::string items;
    if (!project.ReplacementStyleSheet.empty()) {
        const std::string name = FileNameOf(project.ReplacementStyleSheet);
        listed.insert(name);
        items += ManifestItem(kStyleSheets, "style", name, "text/css");
    }
    items +=
        ListedResourceItems(project, project.StyleSheetFiles, kStyleSheets, CssMediaType, listed);
    if (!project.CoverPicture.empty()) {
        const std::string name = FileNameOf(project.CoverPicture);
        listed.insert(name);
        items += ManifestItem(kImages, "coverPic", name, ImageMediaType(name));
    }
    items += ListedResourceItems(project, project.ImageFiles, kImages, ImageMediaType, listed);
    return items + ListedResourceItems(project, project.FontFiles, kFonts, FontMediaType, listed);
}

// One entry per chapter, titled as in the grid.
std::vector<NavigationEntry> ChapterNavigation(const BookProject& project) {
    std::vector<NavigationEntry> entries;
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        std::string name = EscapeMarkup(project.ChapterFiles[i]);
        std::string title = i < project.ChapterTitles.size() ? project.ChapterTitles[i] : name;
        entries.push_back({std::move(title), 1, std::move(name)});
    }
    return entries;
}

bool IsEpub3(const BookProject& project) {
    return project.Options.EpubVersion >= 3;
}

// The EPUB 3 additions to the package document: version, modification time, accessibility
// metadata drawn from `book`, the cover picture's and the navigation document's properties.
void AddEpub3Package(std::string& opf, const BookProject& project, const BookFeatures& book,
                     const std::string& templateName) {
    opf = Epub3PackageDocument(std::move(opf));
    InsertBefore(opf, "</metadata>",
                 "  " + Epub3Metadata(book, ModifiedTime(std::time(nullptr))) + "  ", templateName);
    opf = PlainReplace(opf, "<item id=\"coverPic\" ",
                       "<item id=\"coverPic\" properties=\"cover-image\" ");
    InsertBefore(opf, "</manifest>",
                 "\t<item id=\"nav\" href=\"" + EscapeMarkup(NavigationDocumentName(project)) +
                     "\" media-type=\"application/xhtml+xml\" properties=\"nav\" />\r\n\t",
                 templateName);
}

}  // namespace

void PrepareWorkFolder(BookProject& project) {
    std::error_code ignored;  // a folder that cannot be made shows up when it is written to
    for (const std::string& folder : {project.OutputFolder, project.WorkFolder,
                                      project.WorkFolder + "META-INF", project.WorkFolder + "OPS"})
        fs::create_directories(folder, ignored);
    project.OpsFolder = project.WorkFolder + "OPS/";
    CopyFile(project.TemplateFolder + "mimetype", project.WorkFolder + "mimetype");
    CopyFile(project.TemplateFolder + "META-INF/container.xml",
             project.WorkFolder + "META-INF/container.xml");
}

void WriteContentOpf(BookProject& project) {
    const std::string templateName = "OPS/content.opf";
    std::string opf = LoadTemplate(project, templateName);
    BookMetadataRecord& meta = project.BookMetadata;
    if (meta.Identifier.empty()) meta.Identifier = NewBookIdentifier();
    opf = PlainReplace(opf, "$$title$$", meta.Title);
    opf = PlainReplace(opf, "$$creator$$", meta.Creator);
    meta.Date = Today();
    opf = PlainReplace(opf, "$$date$$", meta.Date);
    opf = PlainReplace(opf, "$$subject$$", meta.Subject);
    opf = PlainReplace(opf, "$$uid$$", meta.Identifier);
    opf = PlainReplace(opf, "$$lang$$", meta.Language);
    opf = PlainReplace(opf, "$$publisher$$", meta.Publisher);
    opf = PlainReplace(opf, "$$description$$", meta.Description);
    DropEmptyMetadata(opf);

    const bool hasCover = !project.CoverPicture.empty();
    const bool hasTitlePage = project.Options.MakeTitlePage;
    std::set<std::string> listed;
    std::string manifest;
    std::string spine;
    if (hasCover) {
        manifest = "\t<item id=\"coverpage\" href=\"" + CoverPageFile(project) +
                   "\" media-type=\"application/xhtml+xml\" />\r\n\t";
        spine = "\t<itemref idref=\"coverpage\" />\r\n\t";
        listed.insert(CoverPageFile(project));
        // Reading systems find the cover picture through this entry.
        InsertBefore(opf, "</metadata>", "  <meta name=\"cover\" content=\"coverPic\" />\r\n  ",
                     templateName);
    }
    if (hasTitlePage) {
        manifest += "\t<item id=\"titlepage\" href=\"" + TitlePageFile(project) +
                    "\" media-type=\"application/xhtml+xml\" />\r\n\t";
        spine += "\t<itemref idref=\"titlepage\" />\r\n\t";
        listed.insert(TitlePageFile(project));
    }
    BookFeatures book{{}, project.ChapterFiles.size(), hasCover};
    for (std::size_t i = 0; i < project.ChapterFiles.size(); ++i) {
        const std::string id = "n" + std::to_string(i);
        std::string properties;
        if (IsEpub3(project)) {
            const ChapterFeatures chapter =
                ScanChapter(LoadTextFile(project.OpsFolder + project.ChapterFiles[i]));
            properties = ItemProperties(chapter);
            book.Chapters += chapter;
        }
        manifest += "\t<item id=\"" + id + "\" href=\"" + EscapeMarkup(project.ChapterFiles[i]) +
                    "\" media-type=\"application/xhtml+xml\"" + properties + " />\r\n\t";
        spine += "\t<itemref idref=\"" + id + "\" />\r\n\t";
        listed.insert(project.ChapterFiles[i]);
    }
    InsertBefore(opf, "</manifest>", manifest, templateName);
    InsertBefore(opf, "</spine>", spine, templateName);

    const std::string guideTarget = hasCover       ? CoverPageFile(project)
                                    : hasTitlePage ? TitlePageFile(project)
                                                   : std::string();
    if (!guideTarget.empty()) {
        InsertBefore(opf, "</guide>",
                     std::string("\t<reference href=\"") + guideTarget +
                         "\" type=\"cover\" title=\"Cover\"/>\r\n\t",
                     templateName);
    }
    DropEmptyGuide(opf);

    const std::string resources = ResourceItems(project, listed);
    if (!resources.empty()) InsertBefore(opf, "</manifest>", resources, templateName);
    if (IsEpub3(project)) AddEpub3Package(opf, project, book, templateName);
    SaveTextFile(project.OpsFolder + "content.opf", opf);
}

void WriteTocNcx(BookProject& project) {
    const std::string templateName = "OPS/toc.ncx";
    std::string ncx = LoadTemplate(project, templateName);
    ncx = PlainReplace(ncx, "$$title$$", project.BookMetadata.Title);
    project.AddLog("Making TOC");
    std::vector<NavigationEntry> entries;
    if (project.Options.TocFromHeadings) entries = HeadingNavigation(project);
    // A navigation map needs at least one point: without the entries from headings, one per
    // chapter.
    const bool fromHeadings = !entries.empty();
    if (!fromHeadings) entries = ChapterNavigation(project);
    PlayOrder order;
    InsertBefore(ncx, "</navMap>", NcxNavPoints(entries, order, fromHeadings ? "/>" : " />"),
                 templateName);
    // The lists of tables and figures follow the map, as the NCX orders its parts.
    std::string lists;
    for (const NavigationListOf& list : BookNavigationLists(project))
        lists += NcxNavList(list.Type, list.Label, list.Entries, order);
    if (!lists.empty()) InsertBefore(ncx, "</ncx>", lists, templateName);
    int depth = 1;
    for (const NavigationEntry& entry : entries) depth = std::max(depth, entry.Level);
    ncx = PlainReplace(ncx, "<meta name=\"dtb:depth\" content=\"1\" />",
                       "<meta name=\"dtb:depth\" content=\"" + std::to_string(depth) + "\" />");
    ncx = PlainReplace(ncx, "$$uid$$", project.BookMetadata.Identifier);
    // EPUB 3 allows no external identifier in a document type declaration.
    if (IsEpub3(project)) DeletePattern(ncx, "<!DOCTYPE\\s+ncx\\b[^>]*>\\r?\\n?");
    SaveTextFile(project.OpsFolder + "toc.ncx", ncx);
    // The navigation document of EPUB 3 lists the same entries.
    if (IsEpub3(project)) WriteNavigationDocument(project, entries);
}

void WriteCoverPage(const BookProject& project) {
    const std::string templateName = "OPS/coverpage.htm";
    std::string page = LoadTemplate(project, templateName);
    InsertBefore(page, "</body>",
                 "<div>\r\n<img src=\"" + EscapeMarkup(FileNameOf(project.CoverPicture)) +
                     "\" alt=\"Cover Image\" style=\"height: 100%\"/>\r\n</div>\r\n",
                 templateName);
    if (IsEpub3(project)) page = WithHtml5DocumentType(std::move(page));
    SaveTextFile(project.OpsFolder + CoverPageFile(project), page);
}

void WriteTitlePage(const BookProject& project) {
    std::string page = LoadTemplate(project, "OPS/titlepage.htm");
    page = PlainReplace(page, "$$title$$", project.BookMetadata.Title);
    page = PlainReplace(page, "$$author$$", project.BookMetadata.Creator);
    page = PlainReplace(page, "$$publisher$$", project.BookMetadata.Publisher);
    if (IsEpub3(project)) page = WithHtml5DocumentType(std::move(page));
    SaveTextFile(project.OpsFolder + TitlePageFile(project), page);
}

// EPUB 3 expects XHTML pages to be named .xhtml; EPUB 2 books keep the names they always had.
std::string CoverPageFile(const BookProject& project) {
    return IsEpub3(project) ? "coverpage.xhtml" : "coverpage.htm";
}

std::string TitlePageFile(const BookProject& project) {
    return IsEpub3(project) ? "titlepage.xhtml" : "titlepage.htm";
}

std::string ImageMediaSubtype(std::string_view path) {
    std::string extension = AsciiLower(fs::path(path).extension().string());
    if (!extension.empty()) extension.erase(0, 1);
    if (extension == "jpg" || extension == "jpe" || extension == "jpeg" || extension == "jfif")
        return "jpeg";
    if (extension == "svg" || extension == "svgz") return "svg+xml";
    if (extension == "tif") return "tiff";
    if (extension == "ico") return "vnd.microsoft.icon";
    return extension;  // png, gif, bmp, webp, tiff, avif ... are their own subtypes
}

std::string NewBookIdentifier() {
    std::random_device random;
    unsigned char bytes[16];
    for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    static const char* const digits = "0123456789abcdef";
    std::string uuid = "urn:uuid:";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) uuid += '-';
        uuid += digits[bytes[i] >> 4];
        uuid += digits[bytes[i] & 0x0F];
    }
    return uuid;
}

}  // namespace quirebook
