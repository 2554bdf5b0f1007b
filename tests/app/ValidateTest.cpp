// Tests of validating a book: the refusals in their order, the command given to Java, the
// clean-up of the output, the verdict, and real runs of epubcheck when it is installed.
#include "app/Validate.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PackageFixture.h"
#include "RecordingUserInterface.h"
#include "app/FakePrograms.h"
#include "epub/EpubArchive.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::RecordingUserInterface;
using testing::TempFolder;

const std::string kValid = "The epub is valid.";
const std::string kInvalid = "The epub contains errors, please check the log.";
const std::string kHeading = "-------------ePubCheck result--------------\r\n";

TEST(CleanValidatorOutput, RemovesTheBookAndEndsEveryLineWithCrLf) {
    EXPECT_EQ(CleanValidatorOutput("a\r\nb\r\n", "x"), "a\r\nb\r\n");
    EXPECT_EQ(CleanValidatorOutput("a\rb\r", "x"), "a\r\nb\r\n");
    // epubcheck on Linux ends its lines with LF alone: they stay lines.
    EXPECT_EQ(CleanValidatorOutput("a\nb\n\nc", "x"), "a\r\nb\r\n\r\nc");
    EXPECT_EQ(CleanValidatorOutput("a\r\n\rb\n\r\nc", "x"), "a\r\n\r\nb\r\n\r\nc");
    EXPECT_EQ(CleanValidatorOutput("ERROR: ./b k.epub/OPS/a.htm(1,2): bad\nok ./b k.epub\n",
                                   "./b k.epub"),
              "ERROR: /OPS/a.htm(1,2): bad\r\nok \r\n");
    // The book is removed case-sensitively, and before the line ends are mended.
    EXPECT_EQ(CleanValidatorOutput("./B.epub ./b.epub\n", "./b.epub"), "./B.epub \r\n");
    EXPECT_EQ(CleanValidatorOutput("", "./b.epub"), "");
}

// A project with a book file and a jar file in place, to be taken away check by check.
class ValidateChecks : public ::testing::Test {
  protected:
    ValidateChecks() {
        Book.OutputName = "my book.epub";
        Book.OutputPath = Temp / "my book.epub";
        SaveTextFile(Book.OutputPath, "book");
        SaveTextFile(Temp / "epubcheck.jar", "jar");
        Book.Options.EpubCheckJar = Temp / "epubcheck.jar";
    }
    // Validates and expects a refusal with exactly `message`.
    void ExpectRefusal(const std::optional<std::string>& chosen, const std::string& message,
                       const std::string& systemJar = kSystemEpubCheckJar) {
        RecordingUserInterface ui;
        const ValidationResult result = ValidateBook(Book, ui, chosen, systemJar);
        EXPECT_FALSE(result.Ran);
        EXPECT_FALSE(result.Valid);
        EXPECT_EQ(result.LogText, "");
        EXPECT_THAT(ui.Messages, ElementsAre(message));
    }

    TempFolder Temp;
    BookProject Book{{Temp.Path(), Temp.Path()}, Temp / "work"};
};

TEST_F(ValidateChecks, RefusesInOrderWithTheirMessages) {
    // The book is checked before the jar: every check below also has no jar.
    Book.Options.EpubCheckJar = Temp / "missing.jar";
    Book.OutputName.clear();
    ExpectRefusal(std::nullopt, "Please make an ePub first.");
    Book.OutputName = "my book.epub";
    Book.OutputPath = Temp / "gone.epub";
    ExpectRefusal(std::nullopt, "Can not find my book.epub");
    Book.OutputPath.clear();
    ExpectRefusal(std::nullopt, "Can not find my book.epub");

    ExpectRefusal(std::string(), "Please specify an ePub file to check.");
    ExpectRefusal(Temp / "other.epub", "Can not find " + Temp / "other.epub");
    // A folder is no book.
    fs::create_directories(Temp / "folder.epub");
    ExpectRefusal(Temp / "folder.epub", "Can not find " + Temp / "folder.epub");

    Book.OutputPath = Temp / "my book.epub";
    ExpectRefusal(std::nullopt, "The epubcheck jar does not exist, please check the path.");
    Book.Options.EpubCheckJar = Temp.Path();
    ExpectRefusal(Temp / "my book.epub",
                  "The epubcheck jar does not exist, please check the path.");
    // No jar set and none installed by the system's package.
    Book.Options.EpubCheckJar.clear();
    ExpectRefusal(std::nullopt, "Please set the epubcheck path first.", Temp / "none.jar");
}

// A stand-in for Java that prints its arguments and working folder, then `verdict`.
class FakeJava : public ValidateChecks {
  protected:
    void InstallJava(const std::string& verdict) {
        fs::create_directories(Temp / "bin");
        testing::WriteScript(Temp / "bin/java",
                             "printf '%s\\n' \"$@\"; pwd; echo '" + verdict + "'");
    }
    std::string Folder() const { return fs::canonical(Temp.Path()).string(); }
};

TEST_F(FakeJava, RunsTheJarOnTheBookWithoutAShell) {
    InstallJava("No errors or warnings detected.");
    testing::ScopedSearchPath path(Temp / "bin", false);
    const std::string odd = "b \"q\" 'r' $(touch x) `touch y`.epub";
    fs::create_directories(Temp / "jar dir $(touch z)");
    const std::string jar = Temp / "jar dir $(touch z)/check \"it\".jar";
    SaveTextFile(jar, "jar");
    SaveTextFile(Temp / odd, "book");
    Book.Options.EpubCheckJar = jar;

    RecordingUserInterface ui;
    const ValidationResult result = ValidateBook(Book, ui, Temp / odd);
    EXPECT_TRUE(result.Ran);
    EXPECT_TRUE(result.Valid);
    EXPECT_THAT(ui.Messages, ElementsAre(kValid));
    // The book, given as "./NAME" in its own folder, is removed from the output.
    const std::string output =
        "-jar\r\n" + jar + "\r\n\r\n" + Folder() + "\r\nNo errors or warnings detected.\r\n";
    EXPECT_EQ(result.Output, output);
    EXPECT_EQ(result.LogText, "# checking \"" + Temp / odd + "\" ...\r\n" + kHeading + output);
    EXPECT_FALSE(fs::exists(Temp / "x"));
    EXPECT_FALSE(fs::exists(Temp / "y"));
    EXPECT_FALSE(fs::exists(Temp / "jar dir $(touch z)/z"));
    EXPECT_FALSE(fs::exists("z"));
}

TEST_F(FakeJava, TheLastBookWithTheSystemJarAndWithoutJava) {
    InstallJava("Check finished with errors");
    Book.Options.EpubCheckJar.clear();
    RecordingUserInterface ui;
    {
        testing::ScopedSearchPath path(Temp / "bin", false);
        const ValidationResult result =
            ValidateBook(Book, ui, std::nullopt, Temp / "epubcheck.jar");
        EXPECT_TRUE(result.Ran);
        EXPECT_FALSE(result.Valid);
        // No line naming the book for the book last made.
        EXPECT_EQ(result.LogText, kHeading + result.Output);
        EXPECT_EQ(result.Output, "-jar\r\n" + Temp / "epubcheck.jar\r\n\r\n" + Folder() +
                                     "\r\nCheck finished with errors\r\n");
    }
    // Without Java there is no output to find "No errors" in; the log says why.
    testing::ScopedSearchPath path(Temp / "empty", false);
    const ValidationResult result = ValidateBook(Book, ui, std::nullopt, Temp / "epubcheck.jar");
    EXPECT_FALSE(result.Valid);
    EXPECT_THAT(result.Output, HasSubstr("is Java installed?\r\n"));
    EXPECT_THAT(ui.Messages, ElementsAre(kInvalid, kInvalid));
}

// Real books checked by Debian's epubcheck.
class RealEpubCheck : public testing::PackageFixture {
  protected:
    void SetUp() override {
        if (!fs::is_regular_file(kSystemEpubCheckJar) ||
            std::system("command -v java >/dev/null") != 0)
            GTEST_SKIP() << "Java or " << kSystemEpubCheckJar
                         << " is missing: install default-jre-headless and epubcheck";
    }
    // Packs the book at `path`, its chapters holding `body`.
    void MakeBook(const std::string& path, const std::string& body) {
        for (const std::string& chapter : Book.ChapterFiles)
            SaveTextFile(Book.OpsFolder + chapter,
                         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                         "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
                         "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\r\n"
                         "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>T</title>"
                         "</head><body>" +
                             body + "</body></html>");
        WriteContentOpf(Book);
        WriteTocNcx(Book);
        PackEpub(Book.WorkFolder, path);
    }
};

TEST_F(RealEpubCheck, AValidBookWithAnAwkwardNameIsValid) {
    const std::string path = Temp / "a \"b\" 'c' $(touch x).epub";
    MakeBook(path, "<p>Text</p>");
    RecordingUserInterface ui;
    const ValidationResult result = ValidateBook(Book, ui, path);
    EXPECT_TRUE(result.Valid) << result.Output;
    EXPECT_THAT(ui.Messages, ElementsAre(kValid));
    EXPECT_THAT(result.Output, HasSubstr("No errors"));
    EXPECT_THAT(result.LogText,
                ::testing::StartsWith("# checking \"" + path + "\" ...\r\n" + kHeading));
    EXPECT_FALSE(fs::exists(Temp / "x"));
}

TEST_F(RealEpubCheck, ABrokenBookIsNotValidEvenWhenItsNameSaysNoErrors) {
    Book.OutputName = "No errors.epub";
    Book.OutputPath = Temp / "No errors.epub";
    MakeBook(Book.OutputPath, "<p>Unclosed</div>");
    RecordingUserInterface ui;
    const ValidationResult result = ValidateBook(Book, ui);
    EXPECT_TRUE(result.Ran);
    EXPECT_FALSE(result.Valid) << result.Output;
    EXPECT_THAT(ui.Messages, ElementsAre(kInvalid));
    EXPECT_THAT(result.Output, HasSubstr("ERROR"));
    EXPECT_THAT(result.Output, Not(HasSubstr("No errors")));
    EXPECT_THAT(result.Output, HasSubstr("/OPS/one.htm"));
    // Every line of epubcheck's LF-only output ends in CR LF.
    for (std::size_t at = result.Output.find('\n'); at != std::string::npos;
         at = result.Output.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && result.Output[at - 1] == '\r') << result.Output;
}

}  // namespace
}  // namespace quirebook
