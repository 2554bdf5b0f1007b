// The marks of Word's footnotes and endnotes raised once. Word raises a note's mark in its page by
// the note reference style's class (twice, on nested spans), by a sup element when the run is
// superscript too, and the book later puts the reference's label in a sup of its own: each
// raising adds to the others, and the mark stands far above the line and tiny.
#pragma once

#include <string>

namespace quirebook {

// In every link of a note reference ("#_ftn1", "#_edn1") and of a note's own mark ("#_ftnref1",
// "#_ednref1"), the raising inside goes: the note reference classes, sup elements and
// vertical-align:super declarations. The note's own mark is then put in one sup; a reference
// gets its sup when the chapter is finished (WrapFootnoteReferences), for which its start tag
// is put on one line.
void RaiseNoteMarksOnce(std::string& page);

}  // namespace quirebook
