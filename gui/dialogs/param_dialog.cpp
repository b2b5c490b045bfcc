#include "gui/dialogs/param_dialog.h"
#include "gui/common/qt_prompter.h"

#include "gui/common/accessible_names.h"
#include "gui/dialogs/input_controls.h"
#include "core/image/strings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace rt62 {
namespace {

constexpr const char* kHelpTopicProperty = "rt62HelpTopic";

QString FromTable(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

bool TakesTabFocus(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) != 0; }

void CollectControls(QLayout* layout, QList<QWidget*>& out);

// A control, or the controls inside a container (a group box), in the order its layout holds them.
void CollectWidget(QWidget* w, QList<QWidget*>& out) {
    if (TakesTabFocus(w))
        out << w;
    else if (w->layout())
        CollectControls(w->layout(), out);
}

void CollectControls(QLayout* layout, QList<QWidget*>& out) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QWidget* w = item->widget())
            CollectWidget(w, out);
        else if (QLayout* inner = item->layout())
            CollectControls(inner, out);
    }
}

}  // namespace

// A status-bar pane that shows as much of its line as fits: a long help line is cut with an ellipsis
// (the whole line is its tool tip) instead of widening the dialog.
class HelpPane : public QLabel {
public:
    // widthText: what the pane asks room for (nothing for the stretching pane).
    HelpPane(const QString& widthText, QWidget* parent) : QLabel(parent), widthText_(widthText) {}
    void setLine(const QString& line) {
        line_ = line;
        setToolTip(line);
        setAccessibleName(line);  // read whole, however much of it the pane has room for
        fit();
    }
    const QString& line() const { return line_; }
    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(widthText_) + 2 * margin() + 4, QLabel::sizeHint().height()};
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        fit();
    }

private:
    void fit() {
        setText(fontMetrics().elidedText(line_, Qt::ElideRight, std::max(0, contentsRect().width())));
    }
    QString widthText_;
    QString line_;
};

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
    ok_->setText(TableText(kStrOk));
    cancel_->setText(TableText(kStrCancel));
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
    pane0_ = new HelpPane(QString(), bar_);
    pane1_ = new HelpPane(FromTable(StringText(kKeyOperationIndicator)), bar_);
    pane1_->setLine(FromTable(StringText(kKeyOperationIndicator)));
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
    pane0_->setLine(FromTable(line1));
    pane1_->setLine(FromTable(line2));
    return previous;
}

QString ParamDialog::helpPaneText() const { return pane0_->line(); }

QString ParamDialog::indicatorText() const { return pane1_->line(); }

void ParamDialog::showEvent(QShowEvent* event) {
    if (!focusArranged_) {
        focusArranged_ = true;
        arrangeFocus();
    }
    QDialog::showEvent(event);
}

void ParamDialog::arrangeFocus() {
    NameControlsFromLabels(this);
    QList<QWidget*> chain;
    CollectControls(body_, chain);
    chain << ok_ << cancel_;
    for (qsizetype i = 0; i + 1 < chain.size(); ++i) setTabOrder(chain[i], chain[i + 1]);
    for (QWidget* w : chain) {
        if (w->isEnabled() && !w->isHidden()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

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

QString ParamDialog::HelpDescription(int id) {
    const std::string_view text = StringText(id);
    return FromTable(text.substr(0, text.find('\n')));
}

EnterCombo* ParamDialog::makeCombo(int id, const QStringList& items) {
    auto* c = new EnterCombo(this);
    c->setObjectName(ControlName(id));
    c->setAccessibleDescription(HelpDescription(id));
    c->addItems(items);
    connect(c, &EnterCombo::focusEntered, this, [this, id] { ShowHelpLine(id); });
    connect(c, &QComboBox::activated, this, [this, id](int index) { SelectionChanged(id, index); });
    connect(c, &EnterCombo::aboutToDropDown, this, [this, id] { DroppingDown(id); });
    return c;
}

FilterEdit* ParamDialog::makeFilterEdit(int id, unsigned filterKind, unsigned maxLength) {
    auto* e = new FilterEdit(this);
    e->setObjectName(ControlName(id));
    e->setAccessibleDescription(HelpDescription(id));
    e->setFilterKind(filterKind);
    e->setMaximumLength(maxLength);
    connect(e, &ToggleEdit::focusEntered, this, [this, id] { ShowHelpLine(id); });
    connect(e, &ToggleEdit::commitCheck, this, [this, id, e] { checkCommit(id, e); });
    return e;
}

void ParamDialog::addRow(QFormLayout* form, const QString& label, QWidget* control) {
    auto* l = new QLabel(label);
    l->setBuddy(control);
    control->setAccessibleName(WithoutMnemonic(label));
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
