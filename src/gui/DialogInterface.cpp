// Message boxes titled with the application's name.
#include "gui/DialogInterface.h"

#include <QApplication>
#include <QMessageBox>

namespace quirebook {

void DialogInterface::ShowMessage(const std::string& message) {
    QMessageBox::information(m_parent, QApplication::applicationName(),
                             QString::fromStdString(message));
}

bool DialogInterface::AskYesNo(const std::string& question) {
    return QMessageBox::question(
               m_parent, QApplication::applicationName(), QString::fromStdString(question),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace quirebook
