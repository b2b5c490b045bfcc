// The "Visible" dialog: all fifteen column items switched at once.
#pragma once

#include <QDialog>

#include <array>

#include "gui/common/app_settings.h"

class QCheckBox;
class QPushButton;

namespace rt62 {

class VisibleDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDialogId = 169;
    static constexpr int kFirstCheckId = 2701;

    // items: the application's column-item values; written only when OK is chosen.
    explicit VisibleDialog(std::array<int, kColumnItemCount>& items, QWidget* parent = nullptr);

    QCheckBox* checkBox(int item) const { return checks_[static_cast<std::size_t>(item)]; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void onOk();

    std::array<int, kColumnItemCount>& items_;
    std::array<QCheckBox*, kColumnItemCount> checks_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Runs the dialog over the settings; true when it closed with OK. The caller refreshes the grid and
// writes the values to the INI file (also after Cancel).
bool RunVisibleDialog(AppSettings& settings, QWidget* parent);

} // namespace rt62
