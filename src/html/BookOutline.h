// The outlines of a book's chapters and what is made of them: the entries of the book's table
// of contents, and the anchors at the headings those entries lead to.
#pragma once

#include <string>
#include <vector>

#include "book/BookProject.h"
#include "book/ChapterTexts.h"
#include "html/PageFurniture.h"
#include "html/PageOutline.h"

namespace quirebook {

// The outline of each of `texts` (the pages of project.ChapterFiles, in their order), side by
// side on the book's threads. Style sheets are read from inside the book's resource root,
// relative to each page in SourceFolder.
std::vector<PageOutline> OutlineChapters(const BookProject& project, const ChapterTexts& texts);

// The book's table of contents: one entry per chapter at its level (ChapterLevels, at most one
// below the chapter before it; 1 by default), labelled with its title
// (ChapterTitles, escaped; a chapter without one takes its first heading's label, else its file
// name), and beneath it the headings of its outline, nested as their levels nest. A chapter's
// first heading whose label is the chapter's title is the chapter's own entry. Labels are
// escaped and shortened (ShortenedLabel). After the table of contents, the lists of the titled
// tables and of the titled figures (NavigationList), each entry at level 1. An entry's anchor is
// the id its heading (table, figure) already has (see OutlineHeading::Id), empty for a chapter or
// a heading without one.
std::vector<HeadingEntry> BookNavigation(const BookProject& project,
                                         const std::vector<PageOutline>& outlines);

// Gives every heading entry without an anchor one, written into its chapter's text: the id
// "a" + the heading's number in its chapter ("a3", or "a3_2" ... when the page holds that id; "t"
// for a table, "f" for a figure), on the heading's start tag, or on an empty anchor just inside
// it when the tag has an id the outline could not use. A heading whose start tag the page does not
// write keeps no anchor: its entry leads to the chapter.
void AnchorHeadings(std::vector<HeadingEntry>& entries, const std::vector<PageOutline>& outlines,
                    ChapterTexts& texts);

// Takes away the anchors that `texts` (the chapters as the book holds them) do not hold, so that
// every entry leads to a place in the book; each is named in the log.
void KeepHeldAnchors(BookProject& project, const ChapterTexts& texts);

// Cuts the furniture `choice` finds out of `texts` (RemovePageFurniture) and gives each chapter's
// outline in `outlines`, read from the parse the furniture is looked for in, so that a page is
// parsed once for both: its places move as the cuts move the text, and what stood in a cut is
// no part of it. A chapter the furniture pass does not parse is outlined on its own. Gives the
// blocks found.
std::vector<FurnitureBlock> LeaveOutFurnitureAndOutline(const BookProject& project,
                                                        ChapterTexts& texts, FurnitureChoice choice,
                                                        std::vector<PageOutline>& outlines);

// Every UTF-16 page of `texts` made the UTF-8 page it reads as (its charset named so), so that
// its markup can be parsed.
void MakeUtf16PagesUtf8(ChapterTexts& texts);

// The table of contents of a book being made from `texts` (the pages just placed, before their
// conversion): BookNavigation with the headings when TocFromHeadings is set, their anchors
// written by AnchorHeadings (the log says so when no chapter has a heading); empty without
// TocFromHeadings. `outlines` are the chapters' when they were read already (one a text), else
// they are read here.
std::vector<HeadingEntry> OutlineBook(BookProject& project, ChapterTexts& texts,
                                      std::vector<PageOutline> outlines = {});

}  // namespace quirebook
