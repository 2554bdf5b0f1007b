// VML pictures made plain images: the image a hand-edited page put inside its shape, the
// image data of a shape without one, and what is left alone.
#include "word/VmlPictures.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(VmlPicturesAsImages, KeepsTheImagesAShapeHoldsAtTheShapesSize) {
    EXPECT_EQ(
        VmlPicturesAsImages(
            "<p><span><v:shape id=\"Picture_x0020_68\" type=\"#_x0000_t75\"\n"
            " style='width:54pt;height:9pt;visibility:visible'>\n"
            "   <img src=\"index_files/image001.jpg\" alt=\"\">\n  </v:shape></span></p>"),
        "<p><span><img width=72 height=12 src=\"index_files/image001.jpg\" alt=\"\"></span></p>");
    // An image with a size of its own keeps it.
    EXPECT_EQ(VmlPicturesAsImages("<v:shape style='width:54pt;height:9pt'><IMG height=5 "
                                  "src=a.png></v:shape>"),
              "<IMG height=5 src=a.png>");
}

TEST(VmlPicturesAsImages, MakesAnImageOfTheImageData) {
    EXPECT_EQ(VmlPicturesAsImages("<v:shape id=s1 style='position:absolute;width:150pt;"
                                  "height:1.5in;z-index:1'><v:imagedata src=\"a_files/image002"
                                  ".png\" o:title='A \"quoted\" kite'/></v:shape>"),
              "<img width=200 height=144 src=\"a_files/image002.png\" "
              "alt=\"A &quot;quoted&quot; kite\">");
    EXPECT_EQ(VmlPicturesAsImages("<v:shape><v:imagedata src='b.fld/image1.gif' "
                                  "o:title='Map &amp; key'></v:imagedata></v:shape>"),
              "<img src=\"b.fld/image1.gif\" alt=\"Map &amp; key\">");
}

TEST(VmlPicturesAsImages, LeavesShapesWithoutPicturesAndConditionalVmlAlone) {
    const std::string line = "<v:shape style='width:10pt'><v:stroke/></v:shape>";
    EXPECT_EQ(VmlPicturesAsImages(line), line);
    const std::string conditional =
        "<!--[if gte vml 1]><v:shape style='width:10pt'><v:imagedata src=\"x_files/i.png\"/>"
        "</v:shape><![endif]--><![if !vml]><img src=\"x_files/i.png\"><![endif]>";
    EXPECT_EQ(VmlPicturesAsImages(conditional), conditional);
    const std::string shapeType = "<v:shapetype id=t75><v:imagedata src=\"y.png\"/></v:shapetype>";
    EXPECT_EQ(VmlPicturesAsImages(shapeType), shapeType);
}

}  // namespace
}  // namespace quirebook
