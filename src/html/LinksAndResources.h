// Links, anchors and resources of the chapters: the image and style-sheet paths they refer to,
// and fragment links that must point into another chapter file once each chapter is a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "book/BookProject.h"
#include "book/ChapterTexts.h"

namespace quirebook {

// The image paths referenced by the chapter files (OpsFolder + each ChapterFiles entry), in
// order of first appearance: quoted "src" values of "<img" tags, with "/" as separator, "&amp;",
// "&nbsp;" and "%HH" unescaped, each path once (compared without regard to ASCII case). Paths
// that name a scheme or drive (":"), are absolute or climb out with ".." are left out.
std::vector<std::string> CollectImageReferences(const BookProject& project);

// The style-sheet paths linked from the same chapter files: "href" values of "<link" tags up to
// their ".css", which is written in lower case; cleaned and filtered as the image paths.
std::vector<std::string> CollectStyleSheetReferences(const BookProject& project);

// The path with "&amp;" turned into "&" and "&nbsp;" into a space, in one pass (so that
// "&amp;nbsp;" stays the literal "&nbsp;").
std::string UnescapeReferencePath(std::string_view path);

// Each link href="#x" (written exactly so) in any chapter text, where x is an id defined in the
// body of some chapter, becomes href="F#x", F being the file name of the link's own chapter when
// it defines x, else of the first chapter in ChapterFiles order whose body defines x. Only
// chapters holding such links change.
void RepairInBookLinks(const BookProject& project, ChapterTexts& texts);

// Every image of the chapter texts that the book does not hold (its file not carried into
// OpsFolder, or on another site) replaced by its alt text, with a log line: a book must not
// refer to files it does not contain.
void ReplaceUnavailableImages(BookProject& project, ChapterTexts& texts);

}  // namespace quirebook
