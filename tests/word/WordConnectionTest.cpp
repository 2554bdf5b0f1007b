// Tests of the connection to Word against a recording stand-in for Word: how Word is started and
// which save format its version gets, the order of the calls of a conversion, the document
// closed when Word fails, and the cleaning the options ask for afterwards.
#include "word/WordConnection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "RecordingUserInterface.h"
#include "TempFolder.h"
#include "text/TextFiles.h"

namespace quirebook {
namespace {

using ::testing::ElementsAre;
using testing::RecordingUserInterface;
using testing::TempFolder;

// What the stand-in Word is asked, in order, and how it answers.
struct WordScript {
    std::string Version = "16.0";
    std::string Page;         // what SaveAs writes
    bool FailSaving = false;  // SaveAs raises
    std::vector<std::string> Calls;
    int Created = 0;
};

class FakeDocument : public WordDocument, WordWebOptions, WordDocumentProperties {
  public:
    explicit FakeDocument(WordScript& script) : m_script(script) {}
    WordWebOptions& WebOptions() override { return *this; }
    void SetEncoding(int codePage) override {
        m_script.Calls.push_back("Encoding " + std::to_string(codePage));
    }
    void SaveAs(const std::string& fileName, int fileFormat) override {
        m_script.Calls.push_back("SaveAs format " + std::to_string(fileFormat));
        if (m_script.FailSaving) throw std::runtime_error("Word failed");
        SaveTextFile(fileName, m_script.Page);
    }
    const WordDocumentProperties& BuiltInDocumentProperties() const override { return *this; }
    WordDocumentProperty Item(int index) const override {
        m_script.Calls.push_back("Property " + std::to_string(index));
        return {"property " + std::to_string(index)};
    }
    void Close() override { m_script.Calls.push_back("Close"); }

  private:
    WordScript& m_script;
};

class FakeWord : public WordApplication, WordDocuments {
  public:
    explicit FakeWord(WordScript& script) : m_script(script), m_document(script) {}
    std::string Version() const override { return m_script.Version; }
    WordDocuments& Documents() override { return *this; }
    void SetVisible(bool visible) override {
        m_script.Calls.push_back(visible ? "Visible" : "Hidden");
    }
    void Quit() override { m_script.Calls.push_back("Quit"); }
    void Add() override { m_script.Calls.push_back("Add"); }
    void Open(const std::string& fileName, bool readOnly) override {
        m_script.Calls.push_back("Open " + fileName + (readOnly ? " read-only" : ""));
    }
    WordDocument& Item(int index) override {
        if (index != 1) throw std::out_of_range("no such document");
        return m_document;
    }

  private:
    WordScript& m_script;
    FakeDocument m_document;
};

WordApplicationFactory FakeWordFactory(WordScript& script) {
    return [&script](const std::string& id) -> std::unique_ptr<WordApplication> {
        EXPECT_EQ(id, "Word.Application");
        ++script.Created;
        return std::make_unique<FakeWord>(script);
    };
}

class WordConnectionTest : public ::testing::Test {
  protected:
    WordConnectionTest() : Book({QUIREBOOK_SOURCE_DIR "/data", Temp.Path()}, Temp / "work") {}
    TempFolder Temp;
    BookProject Book;
    RecordingUserInterface Ui;
    WordScript Script;
};

TEST_F(WordConnectionTest, ChoosesTheSaveFormatFromTheMajorVersion) {
    for (const auto& [version, format] : std::vector<std::pair<std::string, int>>{
             {"9.0", 8}, {"10.0", 10}, {"12.0.4518.1014", 10}, {"16.0", 10}}) {
        Script.Version = version;
        WordConnection word(FakeWordFactory(Script));
        word.StartWord(Ui);
        EXPECT_TRUE(word.WordAvailable);
        EXPECT_EQ(word.WordSaveFormat, format) << version;
    }
    EXPECT_TRUE(Ui.Messages.empty());
}

TEST_F(WordConnectionTest, StartsWordOnceUntilItIsQuit) {
    WordConnection word(FakeWordFactory(Script));
    word.StartWord(Ui);
    word.StartWord(Ui);
    EXPECT_EQ(Script.Created, 1);
    word.QuitWord();
    word.QuitWord();
    EXPECT_THAT(Script.Calls, ElementsAre("Quit"));
    word.StartWord(Ui);
    EXPECT_EQ(Script.Created, 2);
}

TEST_F(WordConnectionTest, SaysWhyWordCannotBeUsed) {
    WordConnection failing([](const std::string&) -> std::unique_ptr<WordApplication> {
        throw std::runtime_error("class not registered");
    });
    failing.StartWord(Ui);
    EXPECT_FALSE(failing.WordAvailable);
    WordConnection missing([](const std::string&) { return std::unique_ptr<WordApplication>(); });
    missing.StartWord(Ui);
    EXPECT_FALSE(missing.WordAvailable);
    EXPECT_THAT(Ui.Messages,
                ElementsAre("This tool need MS Word installed.\r\nIt will not work now.",
                            "No MS Word detected, conversion will not run."));
    // Without Word nothing is converted.
    EXPECT_FALSE(missing.ConvertAndCleanWordDocument(Book, Ui, Temp / "a.docx", Temp / "a.html"));
}

TEST_F(WordConnectionTest, ConvertsReadOnlyIntoUtf8AndReadsThreeProperties) {
    WordConnection word(FakeWordFactory(Script));
    word.StartWord(Ui);
    word.ConvertWithWord(Book, Ui, "/in/a.docx", Temp / "a.html");
    EXPECT_THAT(Script.Calls, ElementsAre("Add", "Hidden", "Open /in/a.docx read-only",
                                          "Encoding 65001", "SaveAs format 10", "Property 1",
                                          "Property 3", "Property 5", "Close", "Hidden"));
    EXPECT_EQ(word.WordTitle, "property 1");
    EXPECT_EQ(word.WordAuthor, "property 3");
    EXPECT_EQ(word.WordComments, "property 5");
    ASSERT_EQ(Ui.Progress.size(), 2u);
    EXPECT_EQ(Ui.Progress[0].first, "Opening /in/a.docx");
    EXPECT_EQ(Ui.Progress[1].first, "Converting /in/a.docx");
}

TEST_F(WordConnectionTest, ClosesTheDocumentWhenWordFails) {
    Script.FailSaving = true;
    WordConnection word(FakeWordFactory(Script));
    word.StartWord(Ui);
    EXPECT_THROW(word.ConvertWithWord(Book, Ui, "/in/a.docx", Temp / "a.html"), std::runtime_error);
    EXPECT_THAT(Script.Calls, ElementsAre("Add", "Hidden", "Open /in/a.docx read-only",
                                          "Encoding 65001", "SaveAs format 10", "Close", "Hidden"));
}

TEST_F(WordConnectionTest, CleansThePageAsTheOptionsSay) {
    Script.Page =
        "<html>\n<head>\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\n"
        "<meta name=Generator content=\"Microsoft Word 15 (filtered)\">\n<style>\n<!--\n"
        " /* Style Definitions */\n p.MsoNormal\n\t{margin:0in;\n\tfont-size:12.0pt;}\n-->\n"
        "</style>\n</head>\n<body lang=EN-US>\n<div class=WordSection1>\n"
        "<p class=MsoNormal><span lang=EN-GB style='font-size:12.0pt'>Text</span></p>\n"
        "</div>\n</body>\n</html>\n";
    const std::string page = Temp / "a.html";
    WordConnection word(FakeWordFactory(Script));
    word.StartWord(Ui);

    Book.Options.OptimizeWordHtml = false;
    ASSERT_TRUE(word.ConvertAndCleanWordDocument(Book, Ui, "/in/a.docx", page));
    EXPECT_EQ(LoadTextFile(page), Script.Page);

    Book.Options.OptimizeWordHtml = true;
    Book.Options.ExtremeMode = true;
    ASSERT_TRUE(word.ConvertAndCleanWordDocument(Book, Ui, "/in/a.docx", page));
    const std::string light = LoadTextFile(page);
    EXPECT_NE(light, Script.Page);
    EXPECT_NE(light.find("Text"), std::string::npos);

    Book.Options.ExtremeMode = false;
    ASSERT_TRUE(word.ConvertAndCleanWordDocument(Book, Ui, "/in/a.docx", page));
    const std::string full = LoadTextFile(page);
    EXPECT_NE(full, light);
    EXPECT_EQ(full.find("lang=EN-GB"), std::string::npos);
    EXPECT_NE(full.find("Text"), std::string::npos);
}

}  // namespace
}  // namespace quirebook
