// Lays out the "Cover" page and shows the picture in its frame document.
#include "gui/CoverPage.h"

#include <QHBoxLayout>
#include <QImageReader>
#include <QUrl>
#include <QVBoxLayout>

namespace quirebook {

namespace {

// The frame document: a picture in its body stretches over the whole view.
QString FrameDocument(const QString& body) {
    return "<html><head><style>body{margin:0px;padding:0px;overflow:hidden}img{margin:0px;"
           "border:none;height:100%;width:100%}</style></head><body>" +
           body + "</body></html>";
}

}  // namespace

CoverPage::CoverPage(QWidget* parent)
    : QWidget(parent),
      LoadButton(new QPushButton("Load a cover picture")),
      ClearButton(new QPushButton("Clear")),
      PictureLabel(new QLabel),
      NoteLabel(new QLabel("300*400 to 600*800 JPEG(*.jpg) recommended")),
      WidthLabel(new QLabel),
      HeightLabel(new QLabel),
      View(new QWebEngineView) {
    PictureLabel->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(LoadButton);
    buttons->addWidget(ClearButton);
    buttons->addStretch();
    auto* size = new QHBoxLayout;
    size->addWidget(WidthLabel);
    size->addWidget(HeightLabel);
    size->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(PictureLabel);
    layout->addWidget(NoteLabel);
    layout->addLayout(size);
    layout->addWidget(View, 1);
    View->setMinimumSize(150, 200);
    connect(View, &QWebEngineView::loadFinished, this, [this] { m_ready = true; });
    View->setUrl(QUrl("about:blank"));
    ShowPicture(QString(), NoteLabel->text());
}

void CoverPage::ShowPicture(const QString& path, const QString& note) {
    m_ready = false;
    PictureLabel->setText(path);
    NoteLabel->setText(note);
    QString body;
    if (path.isEmpty()) {
        WidthLabel->clear();
        HeightLabel->clear();
    } else {
        const QSize size = QImageReader(path).size();
        WidthLabel->setText(QString("Width: %1").arg(size.width()));
        HeightLabel->setText(QString("Height: %1").arg(size.height()));
        body = "<img src=\"" + QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + "\">";
    }
    View->setHtml(FrameDocument(body), QUrl::fromLocalFile("/"));
}

}  // namespace quirebook
