#include "epub/NavigationDocument.h"

#include <algorithm>

#include "epub/EscapeRules.h"
#include "epub/PackageDocuments.h"
#include "text/TextFiles.h"

namespace quirebook {

namespace {

// The link of one entry; a label left empty (a chapter without a title) shows its target, since
// a link in a navigation document must have text.
std::string EntryLink(const NavigationEntry& entry) {
    const std::string& label = entry.Text.empty() ? entry.Href : entry.Text;
    return "<a href=\"" + entry.Href + "\">" + label + "</a>";
}

std::string Indent(std::size_t depth) {
    return std::string(2 * depth + 2, ' ');
}

// The entries as one ordered list. Each open item is kept on a stack with its level: an entry
// deeper than the open item opens a list inside it; any other entry closes the open item and
// every enclosing item whose level is not above its own, then opens an item beside them.
std::string ContentsList(const std::vector<NavigationEntry>& entries) {
    std::string list = "<ol>\n";
    std::vector<int> open;
    for (const NavigationEntry& entry : entries) {
        if (!open.empty() && entry.Level > open.back()) {
            list += "\n" + Indent(open.size()) + "<ol>\n";
        } else if (!open.empty()) {
            list += "</li>\n";
            open.pop_back();
            while (!open.empty() && entry.Level <= open.back()) {
                list += Indent(open.size()) + "</ol>\n" + Indent(open.size() - 1) + "</li>\n";
                open.pop_back();
            }
        }
        list += Indent(open.size()) + "<li>" + EntryLink(entry);
        open.push_back(entry.Level);
    }
    for (bool innermost = true; !open.empty(); innermost = false) {
        open.pop_back();
        list += innermost ? "</li>\n"
                          : Indent(open.size() + 1) + "</ol>\n" + Indent(open.size()) + "</li>\n";
    }
    return list + "</ol>\n";
}

std::string LandmarksList(const std::vector<Landmark>& landmarks) {
    std::string list = "<ol>\n";
    for (const Landmark& landmark : landmarks)
        list += "  <li><a epub:type=\"" + landmark.Type + "\" href=\"" + landmark.Href + "\">" +
                landmark.Label + "</a></li>\n";
    return list + "</ol>\n";
}

}  // namespace

std::string NavigationDocumentName(const BookProject& project) {
    const auto taken = [&](const std::string& name) {
        return std::find(project.ChapterFiles.begin(), project.ChapterFiles.end(), name) !=
               project.ChapterFiles.end();
    };
    std::string name = "nav.xhtml";
    for (int number = 2; taken(name); ++number) name = "nav-" + std::to_string(number) + ".xhtml";
    return name;
}

std::vector<Landmark> BookLandmarks(const BookProject& project) {
    std::vector<Landmark> landmarks;
    if (!project.CoverPicture.empty())
        landmarks.push_back({"cover", "Cover", CoverPageFile(project)});
    if (project.Options.MakeTitlePage)
        landmarks.push_back({"titlepage", "Title Page", TitlePageFile(project)});
    if (!project.ChapterFiles.empty())
        landmarks.push_back({"bodymatter", "Start", EscapeMarkup(project.ChapterFiles.front())});
    return landmarks;
}

std::vector<NavigationListOf> BookNavigationLists(const BookProject& project) {
    std::vector<NavigationListOf> lists;
    if (!project.Options.TocFromHeadings) return lists;
    for (NavigationListOf list :
         {NavigationListOf{"lot", "List of Tables",
                           HeadingNavigation(project, NavigationList::Tables)},
          NavigationListOf{"loi", "List of Figures",
                           HeadingNavigation(project, NavigationList::Figures)}})
        if (!list.Entries.empty()) lists.push_back(std::move(list));
    return lists;
}

std::string NavigationDocument(const std::vector<NavigationEntry>& entries,
                               const std::vector<NavigationListOf>& lists,
                               const std::vector<Landmark>& landmarks, const std::string& title,
                               const std::string& language) {
    const std::string lang =
        language.empty() ? "" : " xml:lang=\"" + language + "\" lang=\"" + language + "\"";
    std::string page =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE html>\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:epub=\"http://www.idpf.org/2007/ops\"" +
        lang + ">\n<head>\n<title>" + title +
        "</title>\n<style type=\"text/css\">ol { list-style-type: none; }</style>\n</head>\n"
        "<body>\n<nav epub:type=\"toc\" id=\"toc\">\n<h1>Contents</h1>\n" +
        ContentsList(entries) + "</nav>\n";
    for (const NavigationListOf& list : lists)
        page += "<nav epub:type=\"" + list.Type + "\" id=\"" + list.Type + "\">\n<h2>" +
                list.Label + "</h2>\n" + ContentsList(list.Entries) + "</nav>\n";
    if (!landmarks.empty())
        page +=
            "<nav epub:type=\"landmarks\" id=\"landmarks\" hidden=\"hidden\">\n"
            "<h2>Landmarks</h2>\n" +
            LandmarksList(landmarks) + "</nav>\n";
    return page + "</body>\n</html>\n";
}

void WriteNavigationDocument(const BookProject& project,
                             const std::vector<NavigationEntry>& entries) {
    SaveTextFile(project.OpsFolder + NavigationDocumentName(project),
                 NavigationDocument(entries, BookNavigationLists(project), BookLandmarks(project),
                                    project.BookMetadata.Title, project.BookMetadata.Language));
}

}  // namespace quirebook
