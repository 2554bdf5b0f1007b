// The part of Word's automation object model that the Word document import uses, as interfaces:
// creating the application, its version, opening a document read-only, saving it as a web page,
// reading its built-in properties, closing it and quitting. The program's own backend
// (docx/DocxWordApplication) implements them; an automation bridge to a real Word could too.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quirebook {

// Word's save-format codes for web pages, and the code page of UTF-8 for the web options.
constexpr int wdFormatHTML = 8;
constexpr int wdFormatFilteredHTML = 10;
constexpr int msoEncodingUTF8 = 65001;

// Built-in document property indices the import reads.
constexpr int wdPropertyTitle = 1;
constexpr int wdPropertyAuthor = 3;
constexpr int wdPropertyComments = 5;

struct WordDocumentProperty {
    std::string Value;
};

class WordDocumentProperties {
  public:
    virtual ~WordDocumentProperties() = default;
    virtual WordDocumentProperty Item(int index) const = 0;
};

class WordWebOptions {
  public:
    virtual ~WordWebOptions() = default;
    virtual void SetEncoding(int codePage) = 0;
};

class WordDocument {
  public:
    virtual ~WordDocument() = default;
    virtual WordWebOptions& WebOptions() = 0;
    // Writes the document as `fileFormat` to `fileName`, its pictures into the folder beside it
    // named like the file without extension + "_files".
    virtual void SaveAs(const std::string& fileName, int fileFormat) = 0;
    virtual const WordDocumentProperties& BuiltInDocumentProperties() const = 0;
    // Lines for the book's log from the last SaveAs: what the page could not show as the
    // document does. Word itself says nothing of the kind.
    virtual std::vector<std::string> ConversionRemarks() const { return {}; }
    virtual void Close() = 0;
};

class WordDocuments {
  public:
    virtual ~WordDocuments() = default;
    // A new blank document.
    virtual void Add() = 0;
    // Opens the document at `fileName`; it becomes item 1.
    virtual void Open(const std::string& fileName, bool readOnly) = 0;
    // The open documents from 1, the latest opened first.
    virtual WordDocument& Item(int index) = 0;
};

class WordApplication {
  public:
    virtual ~WordApplication() = default;
    // "major.minor...", e.g. "16.0".
    virtual std::string Version() const = 0;
    virtual WordDocuments& Documents() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void Quit() = 0;
};

// Creates the application object registered under a programmatic identifier ("Word.Application");
// null when none is, an exception when it cannot be started.
using WordApplicationFactory =
    std::function<std::unique_ptr<WordApplication>(const std::string& programmaticId)>;

}  // namespace quirebook
