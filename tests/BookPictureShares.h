// Test support: the pictures of a made book as a reader gets them: the chapters of its spine,
// read from the archive, and the width each image's style gives it as a share of what it stands
// in.
#pragma once

#include <string>
#include <vector>

namespace quirebook::testing {

// The texts of the book's spine documents in reading order, read from the .epub at `book`.
std::vector<std::string> SpineDocuments(const std::string& book);

// The width in percent that each <img> of `chapter` gets from its style attribute
// ("width:47.3%"), in order; -1 for an image whose style gives it none.
std::vector<double> ImageWidthShares(const std::string& chapter);

}  // namespace quirebook::testing
