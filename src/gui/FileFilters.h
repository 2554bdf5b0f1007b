// File dialog filters: the "Caption|*.a;*.b|..." filters of the window's dialogs as Qt writes
// them ("Caption (*.a *.b);;...").
#pragma once

#include <QString>

namespace quirebook {

// Each pair "caption|patterns" becomes "caption (patterns)", the patterns separated by blanks.
// A caption that carries its own pattern list in brackets keeps only its words, since Qt reads
// the patterns from the brackets; an empty caption is replaced by the patterns.
QString QtFileFilter(const QString& filter);

}  // namespace quirebook
