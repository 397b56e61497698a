// A label that looks and acts like a link: navy, bold, italic, underlined, a hand cursor, and a
// clicked() signal when the left button is released over it.
#pragma once

#include <QLabel>

namespace vorthal {

class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    LinkLabel(const QString& text, QWidget* parent);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vorthal
