// The output labels of the General page, plain before a book is made and links after.
#include "gui/LinkLabel.h"

#include <QMouseEvent>

namespace quirebook {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
    SetLink(false);
}

void LinkLabel::SetLink(bool link) {
    m_link = link;
    QFont font = this->font();
    font.setUnderline(link);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, link ? QColor(0, 0, 128) : QColor(Qt::black));
    setPalette(palette);
    setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (m_link && event->button() == Qt::LeftButton) emit Clicked();
    QLabel::mouseReleaseEvent(event);
}

}  // namespace quirebook
