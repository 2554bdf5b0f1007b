// Tests of making SVG pictures what EPUB 2 validators take.
#include "html/SvgPictures.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(SvgPictures, DropsAccessibilityAttributesOfLaterStandardsFromTagsOnly) {
    EXPECT_EQ(
        ConformSvgPicture("<svg role=\"img\" aria-label='Title' width=\"2\">"
                          "<g aria-hidden=\"true\" id=\"a\"/><text>role=\"x\" a</text></svg>"),
        "<svg width=\"2\"><g id=\"a\"/><text>role=\"x\" a</text></svg>");
}

TEST(SvgPictures, GivesStopsWithoutOffsetTheDefaultOne) {
    EXPECT_EQ(ConformSvgPicture("<stop stop-color=\"#fff\"/><stop offset=\"1\"/>"
                                "<stop\n  style=\"x\"/><stopper/>"),
              "<stop offset=\"0\" stop-color=\"#fff\"/><stop offset=\"1\"/>"
              "<stop offset=\"0\"\n  style=\"x\"/><stopper/>");
}

}  // namespace
}  // namespace quirebook
