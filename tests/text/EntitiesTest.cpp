#include "text/Entities.h"

#include <gtest/gtest.h>

namespace quirebook {
namespace {

TEST(DecodeEntities, DecodesReferencesToUtf8) {
    EXPECT_EQ(DecodeEntities("Caf&eacute; &amp; &#233;&#xE9; &ndash;&mdash; &lt;b&gt;"),
              "Caf\xc3\xa9 & \xc3\xa9\xc3\xa9 \xe2\x80\x93\xe2\x80\x94 <b>");
    EXPECT_EQ(DecodeEntities("&unknown; & &#0; &#xD800; AT&T;"), "&unknown; & &#0; &#xD800; AT&T;");
}

}  // namespace
}  // namespace quirebook
