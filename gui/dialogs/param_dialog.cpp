#include "dialogs/param_dialog.h"

#include "dialogs/input_controls.h"
#include "image/strings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

namespace rt62 {
namespace {

constexpr const char* kHelpTopicProperty = "rt62HelpTopic";

QString FromTable(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

QString ControlName(int id) { return QStringLiteral("ctl%1").arg(id); }

ParamDialog::ParamDialog(int resourceId, bool focusCheck, QWidget* parent)
    : QDialog(parent), resourceId_(resourceId), focusCheck_(focusCheck) {
    setObjectName(QStringLiteral("dlg%1").arg(resourceId));
    setModal(true);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* content = new QVBoxLayout;
    const int m = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    content->setContentsMargins(m, m, m, m);
    body_ = new QVBoxLayout;
    content->addLayout(body_);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons_->button(QDialogButtonBox::Ok);
    cancel_ = buttons_->button(QDialogButtonBox::Cancel);
    ok_->setText(QStringLiteral("OK"));
    cancel_->setText(QStringLiteral("Cancel"));
    ok_->setObjectName(ControlName(kIdOk));
    cancel_->setObjectName(ControlName(kIdCancel));
    ok_->setDefault(true);
    connect(buttons_, &QDialogButtonBox::accepted, this, &ParamDialog::okPressed);
    connect(buttons_, &QDialogButtonBox::rejected, this, &ParamDialog::reject);
    content->addWidget(buttons_);
    outer->addLayout(content, 1);

    // Pane 0 stretches and carries the help line; pane 1 is the key indicator.
    bar_ = new QStatusBar(this);
    bar_->setObjectName(QStringLiteral("ctl59393"));
    bar_->setSizeGripEnabled(false);
    pane0_ = new QLabel(bar_);
    pane1_ = new QLabel(FromTable(StringText(kKeyOperationIndicator)), bar_);
    pane1_->setObjectName(ControlName(kKeyOperationIndicator));
    bar_->addWidget(pane0_, 1);
    bar_->addPermanentWidget(pane1_);
    outer->addWidget(bar_);
    ShowHelpLine(kBlankHelpLine);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &ParamDialog::showHelpTopic);
}

ParamDialog::~ParamDialog() {
    // Hiding the window moves the focus out of a field; the concrete dialog is gone by then.
    closing_ = true;
    // The fields' signals would otherwise reach this dialog (and the handlers of the dialogs built on
    // it) while QWidget's destructor deletes the fields, when only a QWidget is left of it.
    const QList<QObject*> children = findChildren<QObject*>();
    for (QObject* child : children)
        child->disconnect(this);
}

std::function<void(int)>& ParamDialog::HelpHook() {
    static std::function<void(int)> hook;
    return hook;
}

void ParamDialog::SetControlHelpTopic(QWidget* w, int topic) { w->setProperty(kHelpTopicProperty, topic); }

int ParamDialog::ShowHelpLine(int id) {
    const int previous = helpId_;
    helpId_ = id;
    if (id == 0 || !HasString(id)) return previous;
    const std::string_view text = StringText(id);
    const std::size_t nl = text.find('\n');
    std::string_view line1 = text.substr(0, nl);
    std::string_view line2;
    if (nl != std::string_view::npos) {
        line2 = text.substr(nl + 1);
        line2 = line2.substr(0, line2.find('\n'));
    }
    pane0_->setText(FromTable(line1));
    pane1_->setText(FromTable(line2));
    return previous;
}

QString ParamDialog::helpPaneText() const { return pane0_->text(); }

QString ParamDialog::indicatorText() const { return pane1_->text(); }

int ParamDialog::helpTopic() const {
    if (const QWidget* f = focusWidget()) {
        const int own = f->property(kHelpTopicProperty).toInt();
        if (own != 0) return own;
    }
    return kDialogHelpBase + resourceId_;
}

void ParamDialog::showHelpTopic() {
    if (HelpHook()) HelpHook()(helpTopic());
}

EnterCombo* ParamDialog::makeCombo(int id, const QStringList& items) {
    auto* c = new EnterCombo(this);
    c->setObjectName(ControlName(id));
    c->addItems(items);
    connect(c, &EnterCombo::focusEntered, this, [this, id] { ShowHelpLine(id); });
    connect(c, &QComboBox::activated, this, [this, id](int index) { SelectionChanged(id, index); });
    connect(c, &EnterCombo::aboutToDropDown, this, [this, id] { DroppingDown(id); });
    return c;
}

FilterEdit* ParamDialog::makeFilterEdit(int id, unsigned filterKind, unsigned maxLength) {
    auto* e = new FilterEdit(this);
    e->setObjectName(ControlName(id));
    e->setFilterKind(filterKind);
    e->setMaximumLength(maxLength);
    connect(e, &ToggleEdit::focusEntered, this, [this, id] { ShowHelpLine(id); });
    connect(e, &ToggleEdit::commitCheck, this, [this, id, e] { checkCommit(id, e); });
    return e;
}

void ParamDialog::addRow(QFormLayout* form, const QString& label, QWidget* control) {
    auto* l = new QLabel(label);
    l->setBuddy(control);
    form->addRow(l, control);
}

void ParamDialog::checkCommit(int id, FilterEdit* edit) {
    if (closing_ || !edit->commitPending()) return;
    edit->clearCommitPending();
    CommitField(id, edit);
}

void ParamDialog::okPressed() {
    BeforeFocusCheck();
    if (focusCheck_ && focusWidget() != ok_) return;
    StoreOnOk();
    closing_ = true;
    accept();
}

void ParamDialog::reject() {
    RestoreOnCancel();
    closing_ = true;
    QDialog::reject();
}

}  // namespace rt62
