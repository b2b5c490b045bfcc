// Service mode: the command-line switch and the Password dialog.
#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;

namespace rt62 {

// True when the arguments after the program name are exactly one of "/m", "/M", "-m", "-M".
bool IsServiceModeSwitch(const QStringList& argsAfterProgram);
// "Password": one masked field that turns letters to lower case as they are typed.
class PasswordDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PasswordDialog(QWidget* parent = nullptr);
    QString text() const;
    QLineEdit* edit() const { return edit_; }

  private:
    QLineEdit* edit_;
};

// Shows the Password dialog; true only for OK with the right password. No message either way.
bool AskServicePassword(QWidget* parent = nullptr);

} // namespace rt62
