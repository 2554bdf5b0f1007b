// The style element of a filtered web page as Word writes it: font definitions for the fonts
// the page uses, style definitions for Normal and every style the page uses (with Word's
// CxSpFirst/Middle/Last rules and its link rules), page definitions for each section, and
// Word's list definitions.
#pragma once

#include <string>

#include "word/docx/PageContext.h"

namespace quirebook {

// The whole <style> element, after the body has been written (it says what the page uses).
std::string StyleSheet(PageContext& context);

// The colour of links (`visited` false) or visited links: the Hyperlink or FollowedHyperlink
// style's, else "blue" and "purple".
std::string LinkColor(const DocxStyles& styles, bool visited);

}  // namespace quirebook
