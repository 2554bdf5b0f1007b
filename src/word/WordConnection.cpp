#include "word/WordConnection.h"

#include <cstdlib>
#include <exception>

#include "html/PageLanguage.h"
#include "text/TextFiles.h"
#include "word/LightWordCleaning.h"
#include "word/WordHtmlCleaner.h"

namespace quirebook {

WordConnection::WordConnection(WordApplicationFactory createObject)
    : m_createObject(std::move(createObject)) {}

WordConnection::~WordConnection() {
    try {
        QuitWord();
    } catch (const std::exception&) {
        // Word is going away with the connection either way.
    }
}

void WordConnection::StartWord(UserInterface& ui) {
    if (m_wordApplication) return;
    try {
        m_wordApplication = m_createObject("Word.Application");
    } catch (const std::exception&) {
        WordAvailable = false;
        ui.ShowMessage("This tool need MS Word installed.\r\nIt will not work now.");
        return;
    }
    if (!m_wordApplication) {
        WordAvailable = false;
        ui.ShowMessage("No MS Word detected, conversion will not run.");
        return;
    }
    WordAvailable = true;
    const std::string version = m_wordApplication->Version();
    const long major = std::strtol(version.substr(0, version.find('.')).c_str(), nullptr, 10);
    WordSaveFormat = major <= 9 ? wdFormatHTML : wdFormatFilteredHTML;
}

void WordConnection::ConvertWithWord(BookProject& project, UserInterface& ui,
                                     const std::string& documentPath, const std::string& htmlPath) {
    if (!WordAvailable || !m_wordApplication) return;
    WordApplication& word = *m_wordApplication;
    // Whatever happens, the document is closed and Word hidden before the error goes on.
    struct CloseDocument {
        WordApplication& Word;
        ~CloseDocument() {
            try {
                Word.Documents().Item(1).Close();
                Word.SetVisible(false);
            } catch (const std::exception&) {
                // Nothing was open: there is nothing to close.
            }
        }
    };
    project.StepProgress(ui, "Opening " + documentPath);
    word.Documents().Add();
    const CloseDocument closeDocument{word};
    word.SetVisible(false);
    word.Documents().Open(documentPath, true);
    project.StepProgress(ui, "Converting " + documentPath);
    WordDocument& document = word.Documents().Item(1);
    document.WebOptions().SetEncoding(msoEncodingUTF8);
    document.SaveAs(htmlPath, WordSaveFormat);
    for (const std::string& remark : document.ConversionRemarks()) project.AddLog(remark);
    WordTitle.clear();
    WordAuthor.clear();
    WordComments.clear();
    WordLanguage.clear();
    const WordDocumentProperties& properties = document.BuiltInDocumentProperties();
    WordTitle = properties.Item(wdPropertyTitle).Value;
    WordAuthor = properties.Item(wdPropertyAuthor).Value;
    WordComments = properties.Item(wdPropertyComments).Value;
    // Read before the cleaning takes the body's attributes.
    WordLanguage = PageLanguage(LoadTextFile(htmlPath));
}

void WordConnection::QuitWord() {
    if (!m_wordApplication) return;
    const std::unique_ptr<WordApplication> word = std::move(m_wordApplication);
    word->Quit();
}

bool WordConnection::ConvertAndCleanWordDocument(BookProject& project, UserInterface& ui,
                                                 const std::string& documentPath,
                                                 const std::string& htmlPath) {
    if (!WordAvailable) return false;
    ConvertWithWord(project, ui, documentPath, htmlPath);
    if (!project.Options.OptimizeWordHtml) return true;
    if (project.Options.ExtremeMode) return SimpleCleanFile(htmlPath);
    const auto progress = [&](const std::string& status) { project.StepProgress(ui, status); };
    return CleanWordFile(htmlPath, project.Options, progress);
}

}  // namespace quirebook
