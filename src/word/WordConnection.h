// The connection to Word: starting it, converting a document to a web page with it (properties
// included), quitting it, and the conversion followed by the cleaning the options ask for.
#pragma once

#include <memory>
#include <string>

#include "book/BookProject.h"
#include "text/UserInterface.h"
#include "word/WordObjectModel.h"

namespace quirebook {

class WordConnection {
  public:
    explicit WordConnection(WordApplicationFactory createObject);
    ~WordConnection();
    WordConnection(const WordConnection&) = delete;
    WordConnection& operator=(const WordConnection&) = delete;

    // Creates the application object unless Word is running, and sets WordAvailable and
    // WordSaveFormat (8 for Word 9 and older, 10 after); a message when Word cannot be used.
    void StartWord(UserInterface& ui);
    // Saves the document at `documentPath` as a UTF-8 web page at `htmlPath` and reads its title,
    // author and comments, and the language the page says it is in. The document is closed
    // whatever happens; errors go on to the caller (WordDocumentError for a document that cannot
    // be read).
    void ConvertWithWord(BookProject& project, UserInterface& ui, const std::string& documentPath,
                         const std::string& htmlPath);
    // Quits Word when it runs, so that the next import starts it again.
    void QuitWord();
    // ConvertWithWord, then the cleaning of the page in place: none without OptimizeWordHtml,
    // light with ExtremeMode, full otherwise. False when the cleaner finds no Word page in it.
    bool ConvertAndCleanWordDocument(BookProject& project, UserInterface& ui,
                                     const std::string& documentPath, const std::string& htmlPath);

    bool WordAvailable = false;
    int WordSaveFormat = wdFormatFilteredHTML;
    std::string WordTitle, WordAuthor, WordComments;
    std::string WordLanguage;  // a language tag ("FR-FR"), empty when the page says none

  private:
    WordApplicationFactory m_createObject;
    std::unique_ptr<WordApplication> m_wordApplication;
};

}  // namespace quirebook
