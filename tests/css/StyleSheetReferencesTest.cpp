// Tests of rewriting and removing what style sheets name through @import and url().
#include "css/StyleSheetReferences.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quirebook {
namespace {

using ::testing::ElementsAre;

// Maps "gone..." to removal, "keep..." to itself and anything else to "new/" + it, recording
// what it was asked.
struct RecordingMap {
    std::vector<std::string> Seen;
    std::string operator()(std::string_view style) {
        return RewriteStyleReferences(
            style, [this](StyleReferenceKind kind, const std::string& value) {
                Seen.push_back((kind == StyleReferenceKind::Import ? "import:" : "url:") + value);
                if (value.rfind("gone", 0) == 0) return std::optional<std::string>();
                if (value.rfind("keep", 0) == 0) return std::optional<std::string>(value);
                return std::optional<std::string>("new/" + value);
            });
    }
};

TEST(StyleSheetReferences, FindsEachFormOfImportAndUrlOutsideCommentsAndStrings) {
    RecordingMap map;
    const std::string result =
        map("@import url(\"a.css\") screen;\n@IMPORT 'b.css';\n/* url(c.png) @import 'x.css'; */\n"
            "p { background: URL( d\\ e.png ) }\nq { content: \"url(f.png)\"; "
            "list-style: url('g.png') }\n.x { curl(h.png) }");
    EXPECT_THAT(map.Seen, ElementsAre("import:a.css", "import:b.css", "url:d e.png", "url:g.png"));
    EXPECT_EQ(result,
              "@import url(\"new/a.css\") screen;\n@import url(\"new/b.css\");\n"
              "/* url(c.png) @import 'x.css'; */\n"
              "p { background: url(\"new/d e.png\") }\nq { content: \"url(f.png)\"; "
              "list-style: url(\"new/g.png\") }\n.x { curl(h.png) }");
}

TEST(StyleSheetReferences, UnchangedValuesKeepTheirText) {
    RecordingMap map;
    const std::string sheet = "@import 'keep.css' print;\na{b:url( keep.png )}";
    EXPECT_EQ(map(sheet), sheet);
}

TEST(StyleSheetReferences, RemovedImportLosesItsWholeRule) {
    RecordingMap map;
    EXPECT_EQ(map("@import url(gone.css) screen and (min-width: 1px);\n@import 'keep.css';"),
              "\n@import 'keep.css';");
    // An unterminated last rule goes to the end of the sheet.
    EXPECT_EQ(map("p{}@import 'gone.css'"), "p{}");
}

TEST(StyleSheetReferences, RemovedUrlTakesItsItemOrItsDeclaration) {
    RecordingMap map;
    // The only item: the whole declaration goes, the other declarations stay.
    EXPECT_EQ(map("p { color: red; background: url(gone.png) no-repeat !important; margin: 0 }"),
              "p { color: red; margin: 0 }");
    EXPECT_EQ(map("p{background-image:url(gone.png)}"), "p{}");
    // One item of a list: the rest of the list stays valid.
    EXPECT_EQ(map("@font-face { font-family: A; src: url(gone.woff2) format(\"woff2\"), "
                  "url(keep.woff) format(\"woff\") }"),
              "@font-face { font-family: A; src: url(keep.woff) format(\"woff\") }");
    EXPECT_EQ(map("@font-face{src:local(A), url(gone.ttf)}"), "@font-face{src:local(A)}");
    EXPECT_EQ(map("p{background:url(gone.png),url(gone2.png);color:red}"), "p{color:red}");
}

TEST(StyleSheetReferences, CommasOutsideDeclarationsAndInsideFunctionsAreNotItems) {
    RecordingMap map;
    EXPECT_EQ(map("a:hover, b { background: rgb(1, 2, 3) url(gone.png) }\nc, d { x: y }"),
              "a:hover, b {}\nc, d { x: y }");
}

TEST(StyleSheetReferences, BrokenTextIsLeftAsItIs) {
    RecordingMap map;
    EXPECT_EQ(map("p { background: url(never-closed.png"), "p { background: url(never-closed.png");
    EXPECT_EQ(map("/* open comment url(a.png)"), "/* open comment url(a.png)");
    EXPECT_EQ(map("@import ;"), "@import ;");
    EXPECT_TRUE(map.Seen.empty());
}

TEST(StyleSheetReferences, NewValuesAreQuotedAndEscaped) {
    const std::string result = RewriteStyleReferences(
        "p{b:url(x)}", [](auto, const auto&) { return std::optional<std::string>("a\"b\\c.png"); });
    EXPECT_EQ(result, "p{b:url(\"a\\\"b\\\\c.png\")}");
}

}  // namespace
}  // namespace quirebook
