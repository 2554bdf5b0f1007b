// The file choices the window asks the user for: which files to open, where to save. The window
// shows dialogs; the tests hand in their answers.
#pragma once

#include <QString>
#include <QStringList>

namespace quirebook {

struct FileRequest {
    enum class Kind { OpenOne, OpenMany, Save };
    Kind Action = Kind::OpenOne;
    QString Title;
    QString Filter;  // as the window writes it: "Caption|*.a;*.b|..."
    QString Folder;  // where the dialog starts
    QString FileName;
    QString DefaultSuffix;  // added to a saved name without one
};

class FileChooser {
  public:
    virtual ~FileChooser() = default;
    // The chosen files, full paths, in the order chosen; empty when the user cancelled.
    virtual QStringList Choose(const FileRequest& request) = 0;
};

}  // namespace quirebook
