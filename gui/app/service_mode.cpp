#include "gui/app/service_mode.h"
#include "gui/common/qt_prompter.h"

#include "core/app/session_settings.h"
#include "gui/common/help_window.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QValidator>

namespace rt62 {
namespace {

// Lower-cases whatever reaches the field, typed or pasted, so capitals still match the password.
class LowerCaseValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toLower();
        return Acceptable;
    }
};

} // namespace

bool IsServiceModeSwitch(const QStringList& args) {
    if (args.size() != 1) return false;
    const QString& a = args.front();
    return a == QLatin1String("/m") || a == QLatin1String("/M") || a == QLatin1String("-m") ||
           a == QLatin1String("-M");
}

PasswordDialog::PasswordDialog(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this)) {
    setWindowTitle(TableText(4977));
    setProperty("helpContext", 131072 + 146);
    edit_->setObjectName(QStringLiteral("1073"));
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setAccessibleName(windowTitle()); // the field has no label of its own
    edit_->setValidator(new LowerCaseValidator(edit_));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    InstallHelpKey(this, 131072 + 146);
}

QString PasswordDialog::text() const {
    return edit_->text();
}

bool AskServicePassword(QWidget* parent) {
    PasswordDialog dlg(parent);
    return dlg.exec() == QDialog::Accepted && IsServicePassword(dlg.text().toStdString());
}

} // namespace rt62
