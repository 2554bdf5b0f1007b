// A label that becomes a link: underlined, dark blue and with a hand cursor it reacts to a click;
// drawn plain it does not.
#pragma once

#include <QLabel>

namespace quirebook {

class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    explicit LinkLabel(QWidget* parent = nullptr);

    void SetLink(bool link);
    bool IsLink() const { return m_link; }

  signals:
    void Clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool m_link = false;
};

}  // namespace quirebook
