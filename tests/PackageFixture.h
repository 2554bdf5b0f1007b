// Test support: a book project laid out in a temporary folder with the real package templates,
// a source folder holding two chapters, a picture and a style sheet, and metadata as the
// publish command passes it (escaped).
#pragma once

#include <filesystem>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "book/BookProject.h"
#include "epub/PackageDocuments.h"
#include "text/TextFiles.h"

namespace quirebook::testing {

class PackageFixture : public ::testing::Test {
  protected:
    PackageFixture() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {
        Book.SourceFolder = Temp / "source/";
        Book.OutputFolder = Temp / "out/";
        std::filesystem::create_directories(Book.SourceFolder + "images");
        std::filesystem::create_directories(Book.SourceFolder + "css");
        SaveTextFile(Book.SourceFolder + "images/a.png", "png");
        SaveTextFile(Book.SourceFolder + "images/b.svg", "<svg/>");
        SaveTextFile(Book.SourceFolder + "css/book.css", "p{}");
        SaveTextFile(Temp / "mine.css", "body{}");
        PrepareWorkFolder(Book);
        Book.ChapterFiles = {"one.htm", "two.htm"};
        Book.ChapterTitles = {"One", "Two"};
        for (const std::string& chapter : Book.ChapterFiles)
            SaveTextFile(Book.OpsFolder + chapter, "<html/>");
        Book.BookMetadata = {
            "Tom &amp; Jerry", "Anonymous Author", "", "", "Unknown publisher", "id-1", "en", ""};
    }

    // A cover picture, copied into the book as the publish command does.
    void AddCover() {
        Book.CoverPicture = Temp / "cover.jpg";
        SaveTextFile(Book.CoverPicture, "jpg");
        SaveTextFile(Book.OpsFolder + "cover.jpg", "jpg");
    }

    TempFolder Temp;
    BookProject Book;
};

}  // namespace quirebook::testing
