// The About window: our contact lines beside the decorative picture. It stays on top of the other
// windows and is shown without blocking the main window.
#pragma once

#include <QDialog>

namespace vorthal {

class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent);
};

} // namespace vorthal
