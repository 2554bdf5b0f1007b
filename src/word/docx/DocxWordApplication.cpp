#include "word/docx/DocxWordApplication.h"

#include <algorithm>
#include <array>
#include <deque>
#include <fstream>

#include "word/docx/CoreProperties.h"
#include "word/docx/DocxPackage.h"
#include "word/docx/FilteredWebPage.h"

namespace quirebook {

namespace {

// Word's built-in properties 1 to 5 as the document's core properties hold them.
class BuiltInProperties : public WordDocumentProperties {
  public:
    void Load(const DocxPackage& package) {
        const CoreProperties core = ReadCoreProperties(package);
        m_values = {core.Title, core.Subject, core.Author, core.Keywords, core.Comments};
    }
    WordDocumentProperty Item(int index) const override {
        if (index < 1 || index > static_cast<int>(m_values.size()))
            throw WordDocumentError("The requested member of the collection does not exist: " +
                                    std::to_string(index));
        return {m_values[static_cast<std::size_t>(index - 1)]};
    }

  private:
    std::array<std::string, 5> m_values;
};

class WebOptionsOfDocument : public WordWebOptions {
  public:
    void SetEncoding(int codePage) override { Encoding = codePage; }
    int Encoding = msoEncodingUTF8;
};

class DocxDocument : public WordDocument {
  public:
    // A blank document when `path` is empty.
    DocxDocument(std::function<void(DocxDocument&)> close, const std::string& path)
        : m_close(std::move(close)) {
        if (path.empty()) return;
        m_package = std::make_unique<DocxPackage>(path);
        m_properties.Load(*m_package);
    }
    WordWebOptions& WebOptions() override { return m_webOptions; }
    void SaveAs(const std::string& fileName, int fileFormat) override {
        if (!m_package) throw WordDocumentError("A blank document has nothing to save");
        // The layer writes one kind of page: Word's filtered web page in UTF-8.
        if (fileFormat != wdFormatFilteredHTML || m_webOptions.Encoding != msoEncodingUTF8) {
            throw WordDocumentError("The Word document " + m_package->Path() +
                                    " can only be saved as a filtered web page in UTF-8");
        }
        m_remarks = WriteFilteredWebPage(*m_package, fileName).Remarks;
    }
    std::vector<std::string> ConversionRemarks() const override { return m_remarks; }
    const WordDocumentProperties& BuiltInDocumentProperties() const override {
        return m_properties;
    }
    void Close() override { m_close(*this); }

  private:
    std::function<void(DocxDocument&)> m_close;
    std::unique_ptr<DocxPackage> m_package;
    BuiltInProperties m_properties;
    WebOptionsOfDocument m_webOptions;
    std::vector<std::string> m_remarks;
};

// True when the compound file at `path` holds an encrypted .docx: Word keeps a document saved
// with a password in a stream named "EncryptedPackage", whose name the file's directory holds in
// UTF-16.
bool IsEncryptedPackage(const std::string& path) {
    static const std::string kStreamName("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    std::ifstream file(path, std::ios::binary);
    // The directory may stand anywhere in the file: it is read in blocks, each overlapping the
    // last by the name's length.
    std::string window;
    char block[1 << 16];
    while (file.read(block, sizeof block) || file.gcount() > 0) {
        window.append(block, static_cast<std::size_t>(file.gcount()));
        if (window.find(kStreamName) != std::string::npos) return true;
        window.erase(0, window.size() - std::min(window.size(), kStreamName.size()));
    }
    return false;
}

class DocxDocuments : public WordDocuments {
  public:
    explicit DocxDocuments(LegacyDocumentConverter convertLegacy)
        : m_convertLegacy(std::move(convertLegacy)) {}
    void Add() override { m_open.push_front(MakeDocument("")); }
    void Open(const std::string& fileName,
              bool /*readOnly: the document is never written*/) override {
        if (!std::ifstream(fileName))
            throw WordDocumentError("The Word document " + fileName + " cannot be opened");
        const bool legacy = IsLegacyWordDocument(fileName);
        if (legacy && IsEncryptedPackage(fileName)) {
            throw WordDocumentError("The Word document " + fileName +
                                    " is protected by a password: open it in Word, remove the "
                                    "password and save it again");
        }
        const std::string package = legacy ? m_convertLegacy(fileName) : fileName;
        m_open.push_front(MakeDocument(package));
    }
    WordDocument& Item(int index) override {
        if (index < 1 || static_cast<std::size_t>(index) > m_open.size())
            throw WordDocumentError("The requested member of the collection does not exist: " +
                                    std::to_string(index));
        return *m_open[static_cast<std::size_t>(index - 1)];
    }
    void CloseAll() { m_open.clear(); }

  private:
    std::unique_ptr<DocxDocument> MakeDocument(const std::string& path) {
        return std::make_unique<DocxDocument>(
            [this](DocxDocument& closed) {
                std::erase_if(m_open, [&](const auto& open) { return open.get() == &closed; });
            },
            path);
    }
    LegacyDocumentConverter m_convertLegacy;
    std::deque<std::unique_ptr<DocxDocument>> m_open;
};

class DocxWordApplication : public WordApplication {
  public:
    explicit DocxWordApplication(LegacyDocumentConverter convertLegacy)
        : m_documents(std::move(convertLegacy)) {}
    std::string Version() const override { return "16.0"; }
    WordDocuments& Documents() override { return m_documents; }
    void SetVisible(bool /*visible: this Word has no window*/) override {}
    void Quit() override { m_documents.CloseAll(); }

  private:
    DocxDocuments m_documents;
};

}  // namespace

bool IsLegacyWordDocument(const std::string& path) {
    static const char kCompoundFileSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    char head[8] = {};
    std::ifstream file(path, std::ios::binary);
    return file.read(head, sizeof head) && std::equal(head, head + 8, kCompoundFileSignature);
}

WordApplicationFactory DocxWordApplicationFactory(LegacyDocumentConverter convertLegacy) {
    return [convertLegacy](const std::string& programmaticId) -> std::unique_ptr<WordApplication> {
        if (programmaticId != "Word.Application") return nullptr;
        return std::make_unique<DocxWordApplication>(convertLegacy);
    };
}

}  // namespace quirebook
