#include "html/WebPageCleaning.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

OptionFlags NoRemovals() {
    OptionFlags options;
    options.RemoveScripts = options.RemoveMedia = options.RemoveForms = false;
    options.RemoveImages = options.RemoveLinks = false;
    return options;
}

TEST(CleanWebPage, TrimsAndMakesEverySpaceRunSingle) {
    const OptionFlags options = NoRemovals();
    EXPECT_EQ(CleanWebPage(" \r\n\t<p>a  b</p> \x01\n", options), "<p>a b</p>");
    // Also inside values; tabs and line breaks are not spaces here.
    EXPECT_EQ(CleanWebPage("<p>x   y\t\t z\n\n w</p><p title=\"a   b\">", options),
              "<p>x y\t\t z\n\n w</p><p title=\"a b\">");
    EXPECT_EQ(CleanWebPage("", options), "");
    EXPECT_EQ(CleanWebPage(" \n ", options), "");
}

TEST(CleanWebPage, KeepsTheSpacesOfPreformattedText) {
    const OptionFlags options = NoRemovals();
    // Indented code keeps its indentation, in any case of the tag; text around is made single.
    EXPECT_EQ(CleanWebPage("<p>a  b</p><PRE class=\"code\">if x:\n    y  = 1</Pre >  <p>c  d</p>",
                           options),
              "<p>a b</p><PRE class=\"code\">if x:\n    y  = 1</Pre > <p>c d</p>");
    EXPECT_EQ(
        CleanWebPage("<textarea>a   b</textarea><xmp>c  d</xmp><listing>e  f</listing>", options),
        "<textarea>a   b</textarea><xmp>c  d</xmp><listing>e  f</listing>");
    // Elements whose names only begin alike are ordinary text; an end tag inside that names
    // another element does not end the preformatted one.
    EXPECT_EQ(
        CleanWebPage("<prefix>a  b</prefix><pre>c  <b>d  e</b>  </prefix> f</pre>g  h", options),
        "<prefix>a b</prefix><pre>c  <b>d  e</b>  </prefix> f</pre>g h");
    // A pre never closed keeps its spaces to the end of the page.
    EXPECT_EQ(CleanWebPage("a  b<pre>c   d", options), "a b<pre>c   d");
    EXPECT_EQ(CleanWebPage("a  <pre", options), "a <pre");
}

TEST(CleanWebPage, RemovesScriptsAndEventHandlers) {
    OptionFlags options = NoRemovals();
    const std::string page =
        "<p>a</p><SCRIPT type=x>f();\n</Script><noscript>no</noscript><p>b</p>";
    EXPECT_EQ(CleanWebPage(page, options), page);
    options.RemoveScripts = true;
    EXPECT_EQ(CleanWebPage(page, options), "<p>a</p><p>b</p>");
    // A script that never ends is left alone, with the text after it.
    EXPECT_EQ(CleanWebPage("<p>a</p><script>f();<p>b</p>", options),
              "<p>a</p><script>f();<p>b</p>");
    // A handler is cut at the first space or ">" after it, which stays.
    EXPECT_EQ(CleanWebPage("<body onload=\"go()\"><a onclick=\"f(1, 2)\" href=x>", options),
              "<body><a 2)\" href=x>");
}

TEST(CleanWebPage, RemovesMediaFormsAndImagesByTheirFlags) {
    OptionFlags options = NoRemovals();
    const std::string page =
        "<object data=a><embed src=b></embed></object><form action=x><p>Name</p>"
        "<input type=text><textarea>t</textarea><select><option>o</select></form>"
        "<img src=\"a.png\"></img><p>end</p>";
    EXPECT_EQ(CleanWebPage(page, options), page);
    options.RemoveMedia = true;
    options.RemoveForms = true;
    // Form tags go but what the form holds stays.
    EXPECT_EQ(CleanWebPage(page, options), "<p>Name</p><img src=\"a.png\"></img><p>end</p>");
    options.RemoveImages = true;
    EXPECT_EQ(CleanWebPage(page, options), "<p>Name</p><p>end</p>");
    options.RemoveLinks = true;
    EXPECT_EQ(CleanWebPage("<p><a href=\"x.html\">Next</a></p>", options), "<p>Next</p>");
}

TEST(CleanWebPageFile, CleansSourceIntoTarget) {
    testing::TempFolder folder;
    SaveTextFile(folder / "in.html", "  <p>a   b</p><script>x</script>\n");
    CleanWebPageFile(folder / "in.html", folder / "out.html", OptionFlags{});
    EXPECT_EQ(LoadTextFile(folder / "out.html"), "<p>a b</p>");
    // A missing source is cleaned as the empty text.
    CleanWebPageFile(folder / "none.html", folder / "out.html", OptionFlags{});
    EXPECT_EQ(LoadTextFile(folder / "out.html"), "");
}

TEST(RemoveHyperlinks, KeepsLinkTextAndNotes) {
    EXPECT_EQ(RemoveHyperlinks("<p><a href=\"x.html\">Next <b>page</b></a>.</p>"),
              "<p>Next <b>page</b>.</p>");
    EXPECT_EQ(RemoveHyperlinks("x<a name=\"top\"/>y"), "xy");
    const std::string note = "<a href=\"#_ftn1\" name=\"_ftnref1\">[1]</a>";
    EXPECT_EQ(RemoveHyperlinks("a" + note + "b<a href=\"#_edn2\">[2]</a>"),
              "a" + note + "b<a href=\"#_edn2\">[2]</a>");
    // Only the exact lower-case "<a " is a link.
    EXPECT_EQ(RemoveHyperlinks("<A HREF=x>X</A><abbr>y</abbr>"), "<A HREF=x>X</A><abbr>y</abbr>");
    // A link at the very start, and links that follow each other at once, all go.
    EXPECT_EQ(RemoveHyperlinks("<a href=1>A</a><a href=2>B</a><a name=n/><a href=3>C</a>"), "ABC");
    EXPECT_EQ(RemoveHyperlinks(note + "<a href=x>D</a>"), note + "D");
}

TEST(RemoveHyperlinks, LeavesUnfinishedLinksAsTheyAre) {
    // No ">" after the "<a ": the rest from there is kept unchanged.
    EXPECT_EQ(RemoveHyperlinks("<a href=1>A</a> b <a href=\"x"), "A b <a href=\"x");
    // A start tag without an end tag: likewise.
    EXPECT_EQ(RemoveHyperlinks("<a href=1>A</a> b <a href=2>C<p>d</p>"), "A b <a href=2>C<p>d</p>");
    EXPECT_EQ(RemoveHyperlinks(""), "");
}

TEST(RemoveEmptyElements, RemovesEmptyAndBlankInlineElements) {
    EXPECT_EQ(RemoveEmptyElements("a<p class=x></p>b<SPAN></span>c<b></i>"), "abc<b></i>");
    EXPECT_EQ(RemoveEmptyElements("<b> &nbsp; </b>|<font face=x>\n</font>|<u>x </u>"),
              " &nbsp; |\n|<u>x </u>");
    // A paragraph holding a space is not empty; strong is not in the list.
    EXPECT_EQ(RemoveEmptyElements("<p> </p><strong></strong>"), "<p> </p><strong></strong>");
    EXPECT_EQ(RemoveEmptyElements("<span style=a> <div class=x/>\n</span>"), "<div class=x/>");
}

}  // namespace
}  // namespace quirebook
