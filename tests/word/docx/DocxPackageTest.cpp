// Tests of reading a .docx package from outside: parts by name, relationships resolved and kept
// inside the package, and the refusals (no archive, no document, hostile names, entities, parts
// that unpack too far).
#include "word/docx/DocxPackage.h"

#include <gtest/gtest.h>

#include "CorpusBook.h"
#include "TempFolder.h"
#include "text/TextFiles.h"
#include "word/docx/DocxFixture.h"

namespace quirebook {
namespace {

using testing::MinimalDocxParts;
using testing::TempFolder;
using testing::WriteDocx;

const std::string kImageType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";

std::string Relationship(const std::string& id, const std::string& target,
                         const std::string& mode = "") {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kImageType + "\" Target=\"" + target + "\"" +
           (mode.empty() ? "" : " TargetMode=\"" + mode + "\"") + "/>";
}

// The message of the WordDocumentError that `open` raises, or "" when it raises none.
template <typename Action>
std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const WordDocumentError& error) {
        return error.what();
    }
    return "";
}

TEST(DocxPackage, ReadsPartsByNameWithoutRegardToCase) {
    const TempFolder folder;
    auto parts = MinimalDocxParts("<w:p/>");
    parts["word/media/Image1.PNG"] = "picture bytes";
    WriteDocx(folder / "a.docx", parts);
    const DocxPackage package(folder / "a.docx");
    EXPECT_EQ(package.MainDocumentPart(), "word/document.xml");
    EXPECT_TRUE(package.Has("word/media/image1.png"));
    EXPECT_EQ(package.Read("WORD/MEDIA/image1.png"), "picture bytes");
    pugi::xml_document document;
    ASSERT_TRUE(package.ReadXml("word/document.xml", document));
    EXPECT_STREQ(document.document_element().name(), "w:document");
    EXPECT_FALSE(package.ReadXml("word/styles.xml", document));
    EXPECT_NE(ErrorOf([&] { package.Read("word/styles.xml"); }).find("word/styles.xml"),
              std::string::npos);
}

TEST(DocxPackage, FindsTheMainDocumentThroughThePackageRelationships) {
    const TempFolder folder;
    auto parts = MinimalDocxParts("<w:p/>");
    parts["content/main.xml"] = parts["word/document.xml"];
    parts.erase("word/document.xml");
    parts["_rels/.rels"] =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/officeDocument\" Target=\"/content/main.xml\"/></Relationships>";
    WriteDocx(folder / "moved.docx", parts);
    EXPECT_EQ(DocxPackage(folder / "moved.docx").MainDocumentPart(), "content/main.xml");
}

TEST(DocxPackage, RefusesWhatIsNoWordDocument) {
    const TempFolder folder;
    SaveTextFile(folder / "text.docx", "just some text, no archive");
    EXPECT_NE(ErrorOf([&] {
                  DocxPackage package(folder / "text.docx");
              }).find("text.docx cannot be read: it is not a .docx package"),
              std::string::npos);
    WriteDocx(folder / "empty.docx", {{"readme.txt", "hello"}});
    EXPECT_NE(ErrorOf([&] {
                  DocxPackage package(folder / "empty.docx");
              }).find("holds no Word document part"),
              std::string::npos);
}

TEST(DocxPackage, ResolvesRelationshipsInsideThePackageOnly) {
    const TempFolder folder;
    WriteDocx(folder / "rels.docx",
              MinimalDocxParts("<w:p/>",
                               Relationship("plain", "media/image1.png") +
                                   Relationship("up", "../customXml/item1.xml") +
                                   Relationship("rooted", "/word/media/image2.png") +
                                   Relationship("spaced", "media/my%20image.png") +
                                   Relationship("climbing", "media/../../../../tmp/evil.png") +
                                   Relationship("encoded", "%2e%2e/%2e%2e/etc/passwd") +
                                   Relationship("backslash", "..\\..\\evil.png") +
                                   Relationship("drive", "C:/Windows/Temp/evil.png") +
                                   Relationship("web", "https://example.org/a?b=1", "External")));
    const auto relationships = DocxPackage(folder / "rels.docx").Relationships("word/document.xml");
    EXPECT_EQ(relationships.at("plain").Target, "word/media/image1.png");
    EXPECT_EQ(relationships.at("plain").Type, "image");
    EXPECT_EQ(relationships.at("up").Target, "customXml/item1.xml");
    EXPECT_EQ(relationships.at("rooted").Target, "word/media/image2.png");
    EXPECT_EQ(relationships.at("spaced").Target, "word/media/my image.png");
    for (const char* hostile : {"climbing", "encoded", "backslash", "drive"})
        EXPECT_EQ(relationships.count(hostile), 0u) << hostile;
    EXPECT_TRUE(relationships.at("web").External);
    EXPECT_EQ(relationships.at("web").Target, "https://example.org/a?b=1");
}

TEST(DocxPackage, NeverReadsEntriesWithHostileNames) {
    const TempFolder folder;
    auto parts = MinimalDocxParts("<w:p/>");
    for (const char* name : {"../evil.xml", "/tmp/evil-absolute.png", "C:/Windows/evil.png",
                             "word/..\\..\\evil.png", "word/media/../../../../tmp/evil.png"})
        parts[name] = "evil";
    WriteDocx(folder / "slip.docx", parts);
    const DocxPackage package(folder / "slip.docx");
    for (const char* name : {"../evil.xml", "evil.xml", "tmp/evil-absolute.png",
                             "/tmp/evil-absolute.png", "tmp/evil.png"})
        EXPECT_FALSE(package.Has(name)) << name;
}

TEST(DocxPackage, RefusesEntitiesAndMalformedXml) {
    const TempFolder folder;
    auto parts = MinimalDocxParts("<w:p/>");
    parts["word/styles.xml"] =
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
        "<w:styles>&x;</w:styles>";
    parts["word/numbering.xml"] = "<w:numbering><w:num></w:numbering>";
    WriteDocx(folder / "xml.docx", parts);
    const DocxPackage package(folder / "xml.docx");
    pugi::xml_document document;
    EXPECT_NE(ErrorOf([&] {
                  package.ReadXml("word/styles.xml", document);
              }).find("word/styles.xml declares a document type or entities"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] {
                  package.ReadXml("word/numbering.xml", document);
              }).find("word/numbering.xml is not well-formed XML"),
              std::string::npos);
}

TEST(DocxPackage, RefusesAPartThatUnpacksBeyondTheBound) {
    const TempFolder folder;
    auto parts = MinimalDocxParts("<w:p/>");
    // A quarter of a megabyte in the archive, over 256 MB unpacked.
    parts["word/media/bomb.bin"] = std::string(DocxPackage::MaximumPartSize + 1, 'a');
    WriteDocx(folder / "bomb.docx", parts);
    parts.clear();
    const DocxPackage package(folder / "bomb.docx");
    EXPECT_NE(ErrorOf([&] {
                  package.Read("word/media/bomb.bin");
              }).find("is refused: it unpacks to more than 256 MB in word/media/bomb.bin"),
              std::string::npos);
}

TEST(DocxPackage, CorpusDamagedPackagesGiveMessages) {
    const std::string bad = testing::CorpusPath("bad");
    if (bad.empty()) GTEST_SKIP() << "corpus not present";
    EXPECT_NE(ErrorOf([&] { DocxPackage package(bad + "/not-a-zip.docx"); }), "");
    EXPECT_NE(ErrorOf([&] { DocxPackage package(bad + "/truncated-zip.docx"); }), "");
    const DocxPackage truncated(bad + "/truncated-document-xml.docx");
    pugi::xml_document document;
    EXPECT_NE(ErrorOf([&] { truncated.ReadXml("word/document.xml", document); }).find("is damaged"),
              std::string::npos);
    const DocxPackage slip(bad + "/zip-path-traversal.docx");
    for (const auto& [id, relationship] : slip.Relationships("word/document.xml"))
        EXPECT_EQ(relationship.Target.find(".."), std::string::npos) << relationship.Target;
}

}  // namespace
}  // namespace quirebook
