// The in-place frequency editor laid over a Receive or Transmit cell of the channel grid (rules: cell_input.h).
#pragma once

#include <QLineEdit>

namespace rt62 {

class GridCellEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit GridCellEdit(QWidget* parent = nullptr);

  signals:
    void enterPressed();
    void escapePressed();
    // Any loss of the keyboard focus: a click elsewhere, a menu, another window.
    void focusLost();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace rt62
