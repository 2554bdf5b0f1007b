// Shows the open and save dialogs with the request's title, filter and starting place.
#include "gui/DialogFileChooser.h"

#include <QDir>
#include <QFileDialog>

#include "gui/FileFilters.h"

namespace quirebook {

QStringList DialogFileChooser::Choose(const FileRequest& request) {
    QFileDialog dialog(m_parent, request.Title, request.Folder, QtFileFilter(request.Filter));
    switch (request.Action) {
        case FileRequest::Kind::OpenOne:
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileRequest::Kind::OpenMany:
            dialog.setFileMode(QFileDialog::ExistingFiles);
            break;
        case FileRequest::Kind::Save:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            break;
    }
    if (!request.DefaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.DefaultSuffix);
    if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    QStringList chosen;
    for (const QString& file : dialog.selectedFiles()) chosen << QDir::cleanPath(file);
    return chosen;
}

}  // namespace quirebook
