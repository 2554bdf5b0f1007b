// Tells web pages, Word documents and Word's web pages apart, as a file manager hands them over.
#include "gui/CommandLineFiles.h"

#include <QFile>
#include <QFileInfo>

namespace quirebook {

namespace {

bool IsWordDocument(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "docx" || suffix == "doc";
}

}  // namespace

bool IsWordWebPage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(1 << 16).toLower();
    const qsizetype end = head.indexOf("</head>");
    const QByteArray inHead = end < 0 ? head : head.left(end);
    return inHead.contains("<meta name=generator content=\"microsoft word ") ||
           inHead.contains("<meta name=\"generator\" content=\"microsoft word ");
}

HandedFiles KindOfHandedFiles(const QStringList& files) {
    if (files.isEmpty()) return HandedFiles::None;
    if (files.size() == 1) {
        if (IsWordDocument(files.front())) return HandedFiles::WordDocument;
        if (IsWordWebPage(files.front())) return HandedFiles::WordPage;
        return HandedFiles::WebPages;
    }
    for (const QString& file : files)
        if (IsWordDocument(file)) return HandedFiles::Mixed;
    return HandedFiles::WebPages;
}

}  // namespace quirebook
