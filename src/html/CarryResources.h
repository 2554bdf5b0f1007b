// Carrying a book's resources: the pictures and style sheets its chapters show, and what those
// sheets import or reach with url(), copied from inside the resource root into the book, with
// every reference rewritten to the resource's place in the book.
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"
#include "book/ChapterTexts.h"
#include "html/ResourceRoot.h"

namespace quirebook {

// A resource a page or style sheet names that the book is made without.
struct LeftOutResource {
    ResourceKind Kind = ResourceKind::Picture;
    std::string Reference;  // as the page or sheet wrote it
    std::string Holder;     // the chapter or style sheet naming it, as a path in the book
    ResourceStatus Status = ResourceStatus::Missing;  // Missing, Remote or Refused
    std::string Reason;                               // why it was refused
};

// What CarryResources put into the book (paths relative to OpsFolder, each once, in order of
// first reference) and what it left out (each once).
struct CarriedResources {
    std::vector<std::string> Pictures;
    std::vector<std::string> StyleSheets;
    std::vector<std::string> Fonts;
    std::vector<LeftOutResource> LeftOut;
};

// The folder a book's resources are read from: its ResourceRoot when that holds SourceFolder,
// else SourceFolder.
std::string BookResourceRoot(const BookProject& project);

// Carries the resources of the chapters (`texts`, parallel to ChapterFiles, whose files are in
// OpsFolder; each written from SourceFolder + its name): the pictures of "<img>", the style sheets
// of "<link>", and the style sheets, pictures and fonts that those, the chapters' "<style>" blocks
// and style attributes reach through
// "@import" and "url()",
// recursively, once each. Only what ResourceRoot::Resolve finds inside the root (ResourceRoot,
// or SourceFolder when that is empty or does not hold SourceFolder) is carried. A resource of
// the pages' folder keeps its path below OpsFolder; one from elsewhere in the root goes below
// a folder of OpsFolder that no page or file of the book uses ("root/" + its path from the
// root); a path already taken gets "-2", "-3" ... before its extension. References are
// rewritten to match: in chapters relative to OpsFolder, in style sheets relative to the
// sheet. A chapter's reference that is not carried stays as written (the conformance stage
// removes it); a sheet's is removed so that the sheet stays valid CSS. Each resource left out
// gets one line in BuildLog. A web book's chapters are then fitted to narrow screens
// (FitForNarrowScreens, which changes the book's copies of the sheets, never the site's files),
// the fit sheet last among the style sheets.
CarriedResources CarryResources(BookProject& project, ChapterTexts& texts);

// The words of the final message on what was left out: how many pictures, style sheets and
// fonts and why, naming the first few. Empty when nothing was left out.
std::string LeftOutSummary(const std::vector<LeftOutResource>& leftOut);

}  // namespace quirebook
