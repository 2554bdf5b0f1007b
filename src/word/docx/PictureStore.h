// The pictures of a web page made from a Word document: each picture part copied once, at its
// first use, into the folder beside the page as image001.png, image002.jpg ... (names made
// here, never taken from the archive).
//
// Only pictures a browser and an EPUB reader show are kept: PNG, JPEG and GIF (known by their
// first bytes, whatever the part is called) and SVG. Word turns Windows metafiles (EMF, WMF),
// TIFF and BMP into PNG; this program has no converter for them, so for those the page holds
// the picture's description as text instead (nothing when it has none).
#pragma once

#include <map>
#include <string>

#include "word/docx/DocxPackage.h"

namespace quirebook {

class PictureStore {
  public:
    // Pictures go into `folder`; the page refers to them as `sourcePrefix` + file name.
    PictureStore(const DocxPackage& package, std::string folder, std::string sourcePrefix);

    // The page's reference to the picture in part `partName` ("page_files/image001.png"),
    // copying it at its first use; empty when the part is missing, damaged or no picture the
    // page can show.
    std::string Source(const std::string& partName);

    // Picture files written.
    int Count() const { return m_count; }

  private:
    const DocxPackage& m_package;
    std::string m_folder;
    std::string m_sourcePrefix;
    std::map<std::string, std::string> m_sources;  // part name -> reference, empty when refused
    int m_count = 0;
};

// The name a page's pictures are referred to by: `pageStem` + "_files/", each space written
// "%20" as Word writes it.
std::string PictureSourcePrefix(const std::string& pageStem);

}  // namespace quirebook
