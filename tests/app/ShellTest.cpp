// Tests of handing files to other programs: the editor and validator field checks, the external
// editor, and the desktop's opener (a stand-in script found on PATH).
#include "app/Shell.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "app/FakePrograms.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::RecordingUserInterface;
using testing::TempFolder;

// A stand-in program at `path` that writes its arguments, one a line, to `marker`, and adds them
// to `marker`.all, which so holds every start in turn.
void WriteRecorder(const std::string& path, const std::string& marker) {
    testing::WriteScript(path, "printf '%s\\n' \"$@\" >> '" + marker +
                                   ".all'; printf '%s\\n' \"$@\" > '" + marker + ".tmp'; mv '" +
                                   marker + ".tmp' '" + marker + "'");
}

TEST(SettingPathChecks, TakeOnlyExistingFilesAndClearOnAnEmptyField) {
    TempFolder temp;
    SaveTextFile(temp / "editor", "");
    SaveTextFile(temp / "check.jar", "");
    OptionFlags options;
    options.ExternalEditor = "old editor";
    options.EpubCheckJar = "old jar";
    RecordingUserInterface ui;

    EXPECT_FALSE(CheckEditorPath(options, ui, temp / "missing"));
    EXPECT_FALSE(CheckEditorPath(options, ui, temp.Path()));
    EXPECT_FALSE(CheckEpubCheckPath(options, ui, temp / "missing.jar"));
    EXPECT_THAT(ui.Messages, ElementsAre("External editor does not exist, please check.",
                                         "External editor does not exist, please check.",
                                         "ePubCheck does not exist, please check."));
    EXPECT_EQ(options.ExternalEditor, "old editor");
    EXPECT_EQ(options.EpubCheckJar, "old jar");

    ui.Messages.clear();
    EXPECT_TRUE(CheckEditorPath(options, ui, temp / "editor"));
    EXPECT_TRUE(CheckEpubCheckPath(options, ui, temp / "check.jar"));
    EXPECT_EQ(options.ExternalEditor, temp / "editor");
    EXPECT_EQ(options.EpubCheckJar, temp / "check.jar");
    EXPECT_THAT(ui.Messages, IsEmpty());
    // An emptied field is refused like any other path that is no file.
    EXPECT_FALSE(CheckEditorPath(options, ui, ""));
    EXPECT_FALSE(CheckEpubCheckPath(options, ui, ""));
    EXPECT_EQ(options.ExternalEditor, temp / "editor");
    EXPECT_EQ(options.EpubCheckJar, temp / "check.jar");
    EXPECT_THAT(ui.Messages, ElementsAre("External editor does not exist, please check.",
                                         "ePubCheck does not exist, please check."));
}

TEST(OpenInExternalEditor, StartsTheEditorWithTheFileOnlyWhenItIsThere) {
    TempFolder temp;
    BookProject book({temp.Path(), temp.Path()}, temp / "work");
    const std::string marker = temp / "marker";
    RecordingUserInterface ui;

    EXPECT_FALSE(OpenInExternalEditor(book, ui, temp / "content.opf"));
    book.Options.ExternalEditor = temp / "my editor";
    EXPECT_FALSE(OpenInExternalEditor(book, ui, temp / "content.opf"));
    EXPECT_THAT(ui.Messages, ElementsAre("Please set an external editor in Advanced tab first.",
                                         "Specified editor does not exist, please check."));

    ui.Messages.clear();
    WriteRecorder(temp / "my editor", marker);
    const std::string file = temp / "a b \"c\" $(touch x).opf";
    ASSERT_TRUE(OpenInExternalEditor(book, ui, file));
    EXPECT_EQ(testing::WaitForFile(marker), file + "\n");
    EXPECT_THAT(ui.Messages, IsEmpty());
    EXPECT_FALSE(fs::exists(temp / "x"));
}

TEST(OpenWithProgram, GivesAbsolutePathsSoNoNameIsReadAsAnOption) {
    TempFolder temp;
    const std::string marker = temp / "marker";
    WriteRecorder(temp / "editor", marker);
    const fs::path old = fs::current_path();
    fs::current_path(temp.Path());
    const bool started = OpenWithProgram("editor", "-n.htm");
    fs::current_path(old);
    ASSERT_TRUE(started);
    EXPECT_EQ(testing::WaitForFile(marker), fs::canonical(temp.Path()).string() + "/-n.htm\n");
    EXPECT_FALSE(OpenWithProgram(temp / "missing", "a.htm"));
}

class DesktopOpener : public ::testing::Test {
  protected:
    DesktopOpener() { WriteRecorder(Temp / "xdg-open", Marker); }
    TempFolder Temp;
    const std::string Marker = Temp / "marker";
    testing::ScopedSearchPath Path{Temp.Path(), true};
};

TEST_F(DesktopOpener, OpensDocumentsAndHelpFiles) {
    ASSERT_TRUE(OpenDocument(Temp / "my book.epub"));
    EXPECT_EQ(testing::WaitForFile(Marker), Temp / "my book.epub\n");
    fs::remove(Marker);

    EXPECT_FALSE(OpenHelpFile(Temp / "help/index.htm"));
    fs::create_directories(Temp / "help");
    EXPECT_FALSE(OpenHelpFile(Temp / "help"));
    SaveTextFile(Temp / "help/index.htm", "<html/>");
    ASSERT_TRUE(OpenHelpFile(Temp / "help/index.htm"));
    EXPECT_EQ(testing::WaitForFile(Marker), Temp / "help/index.htm\n");
    // The refused calls started nothing: the opener ran for the document and the help file only.
    EXPECT_EQ(LoadTextFile(Marker + ".all"), Temp / "my book.epub\n" + Temp / "help/index.htm\n");
}

TEST_F(DesktopOpener, OpensOnlyWebAddressesAndFailsWithoutAnOpener) {
    EXPECT_FALSE(OpenWebAddress("--help"));
    EXPECT_FALSE(OpenWebAddress("file:///etc/passwd"));
    EXPECT_FALSE(OpenWebAddress(""));
    ASSERT_TRUE(OpenWebAddress("https://example.org/a?b=c&d=$(e)"));
    EXPECT_EQ(testing::WaitForFile(Marker), "https://example.org/a?b=c&d=$(e)\n");
    // Without an opener nothing can be opened, and the caller is told.
    testing::ScopedSearchPath none(Temp / "none", false);
    EXPECT_FALSE(OpenWebAddress("https://example.org/"));
    EXPECT_FALSE(OpenDocument(Temp / "book.epub"));
}

}  // namespace
}  // namespace quirebook
