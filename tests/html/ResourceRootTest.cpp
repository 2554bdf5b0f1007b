// Tests of the resource root: what a page may bring into a book and what is never read.
#include "html/ResourceRoot.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::TempFolder;

const std::string kPng("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);

// A root "book" holding the pages' folder "book/text", a sibling "book/images" and a secret
// beside the root.
class ResourceRootTest : public ::testing::Test {
  protected:
    ResourceRootTest() {
        fs::create_directories(Root + "/text");
        fs::create_directories(Root + "/images");
        fs::create_directories(Root + "/.hidden");
        SaveTextFile(Root + "/images/a.png", kPng);
        SaveTextFile(Root + "/images/b c.png", kPng);
        SaveTextFile(Root + "/images/notes.png", "just text");
        SaveTextFile(Root + "/images/.dot.png", kPng);
        SaveTextFile(Root + "/.hidden/x.png", kPng);
        SaveTextFile(Root + "/text/style.css", "p { color: red }");
        SaveTextFile(Root + "/text/binary.css", std::string("\0\1\2", 3));
        SaveTextFile(Temp / "secret.png", kPng);
    }

    ResolvedResource Picture(const std::string& reference) const {
        return ResourceRoot(Root).Resolve(reference, Pages, {ResourceKind::Picture});
    }

    TempFolder Temp;
    std::string Root = Temp / "book";
    std::string Pages = Root + "/text";
};

TEST_F(ResourceRootTest, FindsFilesBesideThePagesFolder) {
    const ResolvedResource found = Picture("../images/a.png?v=2#part");
    ASSERT_EQ(found.Status, ResourceStatus::Found) << found.Reason;
    EXPECT_EQ(found.File, Root + "/images/a.png");
    EXPECT_EQ(found.Fragment, "#part");
    EXPECT_EQ(found.Type.MediaType, "image/png");
    // Escapes and "\" separators lead to the same file.
    EXPECT_EQ(Picture("..\\images\\b%20c.png").Status, ResourceStatus::Found);
    EXPECT_EQ(Picture("../text/../images/a.png").Status, ResourceStatus::Found);
}

TEST_F(ResourceRootTest, RefusesWhatLeavesTheRootWhateverIsOnDisk) {
    for (const char* reference : {"../../secret.png", "../../../../../../etc/passwd.png",
                                  "/etc/x.png", "file:///etc/passwd.png", "FILE:../images/a.png",
                                  "C:\\x.png", "javascript:x.png", "../images/../../secret.png"}) {
        const ResolvedResource refused = Picture(reference);
        EXPECT_EQ(refused.Status, ResourceStatus::Refused) << reference;
        EXPECT_FALSE(refused.Reason.empty()) << reference;
    }
    EXPECT_THAT(Picture("../../secret.png").Reason, HasSubstr("outside the resource root"));
    EXPECT_THAT(Picture("file:///etc/passwd.png").Reason, HasSubstr("file: URL"));
    EXPECT_THAT(Picture("/etc/x.png").Reason, HasSubstr("absolute path"));
}

TEST_F(ResourceRootTest, RefusesASymbolicLinkOutOfTheRoot) {
    fs::create_symlink(Temp / "secret.png", Root + "/images/link.png");
    fs::create_directory_symlink(Temp.Path(), Root + "/images/up");
    fs::create_symlink(Root + "/images/a.png", Root + "/images/inside.png");
    EXPECT_THAT(Picture("../images/link.png").Reason, HasSubstr("symbolic link"));
    EXPECT_EQ(Picture("../images/up/secret.png").Status, ResourceStatus::Refused);
    // A link that stays inside the root is followed.
    EXPECT_EQ(Picture("../images/inside.png").Status, ResourceStatus::Found);
}

TEST_F(ResourceRootTest, RefusesNamesBeginningWithADot) {
    EXPECT_THAT(Picture("../.hidden/x.png").Reason, HasSubstr("beginning with \".\""));
    EXPECT_EQ(Picture("../images/.dot.png").Status, ResourceStatus::Refused);
    fs::create_symlink(Root + "/.hidden/x.png", Root + "/images/plain.png");
    EXPECT_EQ(Picture("../images/plain.png").Status, ResourceStatus::Refused);
}

TEST_F(ResourceRootTest, RefusesFilesWhoseNameOrContentIsNotOfTheKind) {
    EXPECT_THAT(Picture("../images/notes.png").Reason, HasSubstr("content is not image/png"));
    SaveTextFile(Root + "/images/w.webp", std::string("RIFF\x10\0\0\0WEBPVP8 ", 16));
    EXPECT_THAT(Picture("../images/w.webp").Reason, HasSubstr("WebP"));
    EXPECT_THAT(Picture("style.css").Reason, HasSubstr("not that of a picture"));
    const ResourceRoot root(Root);
    EXPECT_EQ(root.Resolve("style.css", Pages, {ResourceKind::StyleSheet}).Status,
              ResourceStatus::Found);
    EXPECT_EQ(root.Resolve("binary.css", Pages, {ResourceKind::StyleSheet}).Status,
              ResourceStatus::Refused);
}

TEST_F(ResourceRootTest, TellsMissingRemoteAndInlineApart) {
    EXPECT_EQ(Picture("../images/gone.png").Status, ResourceStatus::Missing);
    EXPECT_EQ(Picture("../images").Status, ResourceStatus::Refused);  // no picture name
    EXPECT_EQ(Picture("http://example.org/a.png").Status, ResourceStatus::Remote);
    EXPECT_EQ(Picture("//example.org/a.png").Status, ResourceStatus::Remote);
    EXPECT_EQ(Picture("data:image/png;base64,AAAA").Status, ResourceStatus::NotAFile);
    EXPECT_EQ(Picture("#fragment").Status, ResourceStatus::NotAFile);
}

TEST_F(ResourceRootTest, ANarrowRootRefusesTheSiblingFolder) {
    const ResourceRoot narrow(Pages + "/");
    EXPECT_EQ(narrow.Resolve("../images/a.png", Pages, {ResourceKind::Picture}).Status,
              ResourceStatus::Refused);
    EXPECT_TRUE(narrow.Holds(Pages));
    EXPECT_FALSE(narrow.Holds(Root));
    EXPECT_TRUE(ResourceRoot(Root).Holds(Pages));
}

TEST_F(ResourceRootTest, DefaultRootIsTheParentUnlessThatIsTheTopOrHome) {
    EXPECT_EQ(DefaultResourceRoot(Pages + "/", "/nowhere"), fs::canonical(Root).string());
    EXPECT_EQ(DefaultResourceRoot(Pages, Root), fs::canonical(Pages).string());
    EXPECT_EQ(DefaultResourceRoot("/tmp", ""), "/tmp");
    EXPECT_EQ(DefaultResourceRoot("/", ""), "/");
}

TEST(ResourceTypes, SignaturesMustMatchTheName) {
    EXPECT_TRUE(ContentIsOfType(TypeFromName("a.PNG"), kPng));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("a.jpg"), "\xff\xd8\xff\xe0"));
    EXPECT_FALSE(ContentIsOfType(TypeFromName("a.jpg"), kPng));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("a.gif"), "GIF89a..."));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("a.webp"), std::string("RIFF\x10\0\0\0WEBPVP8 ", 16)));
    EXPECT_FALSE(ContentIsOfType(TypeFromName("a.webp"), "RIFF"));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("a.svg"), "<?xml version=\"1.0\"?>\n<svg/>"));
    EXPECT_FALSE(ContentIsOfType(TypeFromName("a.svg"), "<html>no picture</html>"));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("f.ttf"), std::string("\0\1\0\0", 4)));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("f.otf"), "OTTO"));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("f.woff"), "wOFF"));
    EXPECT_FALSE(ContentIsOfType(TypeFromName("f.woff"), "wOF2"));
    EXPECT_TRUE(ContentIsOfType(TypeFromName("f.woff2"), "wOF2"));
    EXPECT_EQ(TypeFromName("x.exe").Kind, ResourceKind::Other);
    EXPECT_EQ(TypeFromName("noextension").Kind, ResourceKind::Other);
    EXPECT_EQ(TypeFromName("dir.png/file").Kind, ResourceKind::Other);
}

}  // namespace
}  // namespace quirebook
