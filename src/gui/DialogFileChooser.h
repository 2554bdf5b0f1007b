// File choices made in Qt's file dialogs.
#pragma once

#include <QWidget>

#include "gui/FileChooser.h"

namespace quirebook {

class DialogFileChooser : public FileChooser {
  public:
    QStringList Choose(const FileRequest& request) override;
    void SetParent(QWidget* parent) { m_parent = parent; }

  private:
    QWidget* m_parent = nullptr;
};

}  // namespace quirebook
