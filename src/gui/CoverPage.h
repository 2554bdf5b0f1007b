// The "Cover" page: the chosen cover picture and a view of it filling the frame.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWebEngineView>
#include <QWidget>

namespace quirebook {

class CoverPage : public QWidget {
    Q_OBJECT
  public:
    explicit CoverPage(QWidget* parent = nullptr);

    // Shows the picture at `path` (its path, its size in pixels, the picture itself); an empty
    // path empties the page. `note` is the text of the note under the buttons.
    void ShowPicture(const QString& path, const QString& note);
    // The view's page was loaded.
    bool Ready() const { return m_ready; }

    QPushButton* LoadButton;
    QPushButton* ClearButton;
    QLabel* PictureLabel;
    QLabel* NoteLabel;
    QLabel* WidthLabel;
    QLabel* HeightLabel;
    QWebEngineView* View;

  private:
    bool m_ready = false;
};

}  // namespace quirebook
